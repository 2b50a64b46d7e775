"""A real SMTP server on 127.0.0.1 for the mail tests (aiosmtpd).

    smtp_test_server.py --mode implicit|starttls|plain --cert C --key K
                        --user U --password-file F --out DIR [--gate] [--lifetime S]

The password is read from a file so that it appears in no process's
arguments (the tests look for it there). implicit: TLS from the first byte. starttls: plain greeting that offers and
requires STARTTLS. plain: no TLS at all (and so no AUTH).

It picks a free port itself and prints "READY <port>" once it listens. Every
message it accepts is written to DIR as NNN.json, read back with Python's own
e-mail parser: envelope sender and recipients, decoded From, To and Subject,
the text body and each attachment (name, type, bytes in base64). With --gate
it prints "DATA" when a message arrives and holds it until a line comes in on
standard input. It stops itself when standard input closes or after
--lifetime seconds, whichever comes first.
"""

import argparse
import base64
import json
import os
import socket
import ssl
import sys
import threading

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword
from email import policy
from email.parser import BytesParser


def free_port():
    with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Handler:
    def __init__(self, out, gate):
        self.out = out
        self.gate = gate
        self.count = 0
        self.lock = threading.Lock()

    async def handle_DATA(self, server, session, envelope):
        if self.gate is not None:
            print("DATA", flush=True)
            await server.loop.run_in_executor(None, self.gate.acquire)
        message = BytesParser(policy=policy.default).parsebytes(envelope.original_content or envelope.content)
        body = message.get_body(preferencelist=("plain",))
        record = {
            "mail_from": envelope.mail_from,
            "rcpt_tos": envelope.rcpt_tos,
            "from": str(message["From"]),
            "to": str(message["To"]),
            "subject": str(message["Subject"]),
            "body": body.get_content() if body is not None else "",
            "attachments": [
                {
                    "name": part.get_filename(),
                    "type": part.get_content_type(),
                    "data": base64.b64encode(part.get_payload(decode=True)).decode("ascii"),
                }
                for part in message.iter_attachments()
            ],
        }
        with self.lock:
            self.count += 1
            name = os.path.join(self.out, "%03d.json" % self.count)
        with open(name + ".part", "w", encoding="utf-8") as f:
            json.dump(record, f, ensure_ascii=False)
        os.replace(name + ".part", name)
        return "250 Message accepted"


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--mode", choices=("implicit", "starttls", "plain"), required=True)
    ap.add_argument("--cert")
    ap.add_argument("--key")
    ap.add_argument("--user", default="")
    ap.add_argument("--password-file")
    ap.add_argument("--out", required=True)
    ap.add_argument("--gate", action="store_true")
    ap.add_argument("--lifetime", type=float, default=300)
    args = ap.parse_args()

    gate = threading.Semaphore(0) if args.gate else None
    password = ""
    if args.password_file:
        with open(args.password_file, encoding="utf-8") as f:
            password = f.read()

    def authenticator(server, session, envelope, mechanism, auth_data):
        if (isinstance(auth_data, LoginPassword)
                and auth_data.login.decode("utf-8") == args.user
                and auth_data.password.decode("utf-8") == password):
            return AuthResult(success=True)
        return AuthResult(success=False, handled=False, message="535 5.7.8 Authentication credentials invalid")

    context = None
    if args.mode != "plain":
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(args.cert, args.key)

    kwargs = {"authenticator": authenticator}
    if args.mode == "implicit":
        # aiosmtpd counts only STARTTLS as TLS for AUTH; here every byte is.
        kwargs.update(ssl_context=context, auth_required=True, auth_require_tls=False)
    elif args.mode == "starttls":
        kwargs.update(tls_context=context, require_starttls=True, auth_required=True)
    port = free_port()
    controller = Controller(Handler(args.out, gate), hostname="127.0.0.1", port=port, **kwargs)
    controller.start()
    print("READY %d" % port, flush=True)

    # Standard input: each line lets one held message through; its end (the
    # test is done, or gone) stops the server.
    def read_stdin():
        for _ in sys.stdin:
            if gate is not None:
                gate.release()
        os._exit(0)

    threading.Thread(target=read_stdin, daemon=True).start()
    threading.Timer(args.lifetime, lambda: os._exit(3)).start()
    threading.Event().wait()


if __name__ == "__main__":
    main()
