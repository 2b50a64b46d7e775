"""Sends one e-mail message through an SMTP server, always over TLS.

Quorvant runs it with Debian's /usr/bin/python3 for every message it sends:

    pyth_mail.py SENDER SERVER PORT SENDER RECIPIENT SUBJECT BODY SSL [ATTACHMENT ...]

SSL "Y" speaks TLS from the first byte (implicit TLS, usually port 465); any
other value connects in plain text and upgrades with STARTTLS (usually port
587). A server that does not offer STARTTLS is refused: nothing is ever sent
in clear text. The server's certificate must be trusted by the system and
name the server that was asked for.

The password is the first line of standard input, UTF-8; the rest of standard
input is ignored. It never appears among the arguments, where every user of
the machine could read it.

Exit status: 0 sent; 1 not sent (the server, the network, TLS or the login
failed); 2 not sent because the call itself is wrong (arguments, port,
attachment). One line on standard error says why.

The body arrives byte for byte as it was given: it travels in base64, so no
line is quoted (">From "), wrapped, or given a line end it did not have. An
attachment is named after its file's last path component; a name never
carries "/" or "\\", which some mail programs would take as a path.

Only the standard library is used.
"""

import base64
import email.generator
import io
import mimetypes
import os
import smtplib
import socket
import ssl
import sys
from email.message import EmailMessage
from email.utils import formatdate, make_msgid

# Seconds one network operation may take before the message counts as not
# sent; the caller has a longer limit for the whole script.
NETWORK_TIMEOUT = 60

EXIT_SENT = 0
EXIT_NOT_SENT = 1
EXIT_BAD_CALL = 2


class NotSent(Exception):
    def __init__(self, status, reason):
        super().__init__(reason)
        self.status = status


def argument_text(arg):
    # The arguments are UTF-8 whatever locale the interpreter guessed (the
    # caller passes no locale): take the bytes back and read them as UTF-8.
    return os.fsencode(arg).decode("utf-8", "replace")


def read_password():
    first_line = sys.stdin.buffer.readline()
    if not first_line:
        raise NotSent(EXIT_BAD_CALL, "No password was given on standard input.")
    try:
        text = first_line.decode("utf-8")
    except UnicodeDecodeError:
        raise NotSent(EXIT_BAD_CALL, "The password is not UTF-8 text.")
    return text.rstrip("\r\n")


def parse_port(text):
    try:
        port = int(text.strip())
    except ValueError:
        raise NotSent(EXIT_BAD_CALL, "The port \"%s\" is not a number." % text)
    if not 0 < port < 65536:
        raise NotSent(EXIT_BAD_CALL, "The port %d is out of range." % port)
    return port


def attachment_name(path):
    # A file name on this system may hold a backslash; neither separator
    # goes into the header.
    name = path.replace("\\", "/").rstrip("/").rpartition("/")[2]
    return name or "attachment"


def build_message(sender, recipient, subject, body, attachments):
    message = EmailMessage()
    message["From"] = sender
    message["To"] = recipient
    message["Subject"] = subject
    message["Date"] = formatdate(localtime=True)
    domain = sender.rpartition("@")[2] or "localhost"
    message["Message-ID"] = make_msgid(domain=domain)
    # As bytes in base64, not as text, which would be re-encoded line by line.
    message.set_content(body.encode("utf-8"), maintype="text", subtype="plain", cte="base64",
                        params={"charset": "utf-8"})
    for path in attachments:
        try:
            with open(path, "rb") as f:
                data = f.read()
        except OSError as e:
            raise NotSent(EXIT_BAD_CALL, "The attachment %s cannot be read: %s" % (path, e.strerror))
        kind, encoding = mimetypes.guess_type(path)
        if kind is None or encoding is not None:
            kind = "application/octet-stream"
        maintype, subtype = kind.split("/", 1)
        message.add_attachment(data, maintype=maintype, subtype=subtype,
                               filename=attachment_name(path))
    return message


def connect(server, port, implicit_tls, context):
    # The greeting name needs no DNS look-up (getfqdn() can stall for long).
    local_name = socket.gethostname() or "localhost"
    if implicit_tls:
        return smtplib.SMTP_SSL(server, port, local_hostname=local_name,
                                timeout=NETWORK_TIMEOUT, context=context)
    smtp = smtplib.SMTP(server, port, local_hostname=local_name, timeout=NETWORK_TIMEOUT)
    try:
        smtp.ehlo()
        if not smtp.has_extn("starttls"):
            raise NotSent(EXIT_NOT_SENT,
                          "The server does not offer STARTTLS; nothing was sent in clear text.")
        smtp.starttls(context=context)
        smtp.ehlo()
    except BaseException:
        smtp.close()
        raise
    return smtp


def login(smtp, user, password):
    # smtplib's own login sends the password as ASCII only; PLAIN and LOGIN
    # are written here so that any UTF-8 password works.
    def b64(text):
        return base64.b64encode(text.encode("utf-8")).decode("ascii")

    smtp.ehlo_or_helo_if_needed()
    methods = smtp.esmtp_features.get("auth", "").upper().split()
    if "PLAIN" in methods:
        code, reply = smtp.docmd("AUTH", "PLAIN " + b64("\0%s\0%s" % (user, password)))
    elif "LOGIN" in methods:
        code, reply = smtp.docmd("AUTH", "LOGIN " + b64(user))
        if code == 334:
            code, reply = smtp.docmd(b64(password))
    else:
        smtp.login(user, password)
        return
    if code != 235:
        raise smtplib.SMTPAuthenticationError(code, reply)


def send(argv, password):
    if len(argv) < 8:
        raise NotSent(EXIT_BAD_CALL,
                      "usage: pyth_mail.py SENDER SERVER PORT SENDER RECIPIENT SUBJECT BODY SSL [ATTACHMENT ...]")
    login_name, server, port_text, sender, recipient, subject, body, ssl_flag = (argument_text(a) for a in argv[:8])
    attachments = [argument_text(a) for a in argv[8:]]
    port = parse_port(port_text)
    recipient = recipient.strip()
    sender = sender.strip()
    message = build_message(sender, recipient, subject, body, attachments)

    context = ssl.create_default_context()
    smtp = connect(server.strip(), port, ssl_flag == "Y", context)
    try:
        login(smtp, login_name.strip(), password)
        # Flattened here with the message's own policy: smtplib's own
        # generator would quote every body line that begins with "From ".
        data = io.BytesIO()
        email.generator.BytesGenerator(data, policy=message.policy.clone(linesep="\r\n")).flatten(message)
        smtp.sendmail(sender, [recipient], data.getvalue())
    finally:
        try:
            smtp.quit()
        except (smtplib.SMTPException, OSError):
            smtp.close()


def main(argv):
    try:
        send(argv, read_password())
    except NotSent as e:
        print(str(e), file=sys.stderr)
        return e.status
    except smtplib.SMTPAuthenticationError as e:
        print("The server refused the login: %d %s" % (e.smtp_code, e.smtp_error.decode("utf-8", "replace")),
              file=sys.stderr)
        return EXIT_NOT_SENT
    except smtplib.SMTPResponseException as e:
        print("The server refused the message: %d %s" % (e.smtp_code, e.smtp_error.decode("utf-8", "replace")),
              file=sys.stderr)
        return EXIT_NOT_SENT
    except smtplib.SMTPRecipientsRefused as e:
        print("The server refused the recipient: %s" % ", ".join(e.recipients), file=sys.stderr)
        return EXIT_NOT_SENT
    except ssl.SSLCertVerificationError as e:
        print("The server's certificate is not trusted: %s" % e.verify_message, file=sys.stderr)
        return EXIT_NOT_SENT
    except (smtplib.SMTPException, ssl.SSLError, OSError) as e:
        reason = e.strerror if isinstance(e, OSError) and e.strerror else str(e)
        print("The message could not be sent: %s" % reason, file=sys.stderr)
        return EXIT_NOT_SENT
    except Exception as e:
        print("The message could not be sent: %s" % e, file=sys.stderr)
        return EXIT_NOT_SENT
    return EXIT_SENT


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
