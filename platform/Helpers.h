#pragma once
// Helper functions that every part of the program calls: messages to the
// user and the log, string clean-up, and small file and widget chores.
// The last group shows alerts or touches widgets: it is defined in
// platform_widgets, so a library calling it must link that.

#include <QString>

class QWidget;

// Writes a non-empty message to the log.
void Show_NSLog_Message(const QString &msg);

// White space, line breaks and control characters taken off both ends.
QString Trim_Str(const QString &str);
// The characters / \ ? % * | " < > and white space taken off both ends of a
// file name; characters inside the name stay.
QString Remove_Reserve_Char_In_File_Name(const QString &name);
// The first n characters (none for n < 0, all when n reaches the length).
QString Left_Str_substringToIndex(const QString &str, int n);
// The last n characters (none for n < 0, all when n reaches the length).
QString Right_Str_substringFromIndex(const QString &str, int n);
// The characters from index n on (all for n < 0, none past the end).
QString Read_Str_FromIndex(const QString &str, int n);
// Every occurrence of `what` replaced by `by`; an empty `what` changes nothing.
QString Replace_char_in_string(const QString &s, const QString &what, const QString &by);
// The first `limit` characters as the user sees them (grapheme clusters: a
// letter with its accents, a surrogate pair, an emoji sequence), so a limit
// never cuts one in half; the whole text when it has no more (none for
// limit < 0).
QString Limit_Str_Characters(const QString &str, int limit);
// True when `part` is not empty and occurs in `text` (case sensitive).
bool Find_Str(const QString &text, const QString &part);

// Removes the file (or empty folder) when it can be removed; failures are
// silent. Folders with content are left alone.
void Delete_File(const QString &path);

// --- platform_widgets ---

// Shows the message (after a line break) with one "OK" button, on the main
// thread; the caller waits until it is closed.
void Show_MessageBox(const QString &msg);
// Asks with "Yes" (default) and "No" on the main thread; true for "Yes".
bool Show_YES_NO_MessageBox(const QString &msg);
// The answer to a question that the user may call off.
enum class YesNoCancel { Yes, No, Cancel };
// Asks with "Yes" (default), "No" and "Cancel" on the main thread. Escape
// and closing the alert answer Cancel: nothing is decided.
YesNoCancel Show_YES_NO_CANCEL_MessageBox(const QString &msg);
// Opens "Help.pdf" of the resource folder (the bundle's copy when the user
// has none) with the desktop's default application; says so when there is
// no file or no program to show it.
void Open_Help_File();
// Enables or disables a control; for a box (group box or plain container)
// every control inside it as well.
void SetObjEnabled(QWidget *view, bool enabled);
