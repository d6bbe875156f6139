// The desktop's services: opening documents, starting programs, the clipboard.
#pragma once

#include <QString>

#include <functional>

// Opens a document with the desktop's handler for its type. A missing file or
// a type nobody handles does nothing, silently.
void ShellOpen(const QString& path);

// Starts a program as a detached process without arguments, in its own folder.
// False when it could not be started (missing, not executable).
bool StartProgram(const QString& exe);

// While set, ShellOpen and StartProgram report to the recorder instead of
// acting, with verb "open" or "start" and the path; a missing file is still
// skipped (StartProgram then returns false). Pass nullptr to end recording.
void SetShellRecorderForTests(std::function<void(const QString& verb, const QString& path)> recorder);

void ClipboardSetText(const QString& text);
QString ClipboardText();
