// Message boxes and common dialogs behind one interface, so that tests can
// script the answers and no test ever blocks on a modal window.
#pragma once

#include <QString>

class QWidget;

enum class TMsgIcon { None, Information, Warning, Error, Question };
enum class TMsgButtons { Ok, YesNo, YesNoCancel };
enum TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };

class TDialogs {
public:
    virtual ~TDialogs() = default;
    // Returns the button pressed; closing the box counts as mrCancel.
    virtual int MessageBox(QWidget* owner, const QString& text, const QString& caption,
                           TMsgIcon icon, TMsgButtons buttons) = 0;
    virtual bool SelectDirectory(const QString& caption, const QString& root, QString& folder) = 0;
    virtual bool OpenPicture(QString& fileName) = 0;
    // Asks before overwriting an existing file; adds no default extension.
    virtual bool SaveFile(QWidget* owner, const QString& title, const QString& filter, QString& fileName) = 0;
    virtual bool PrintDialog(QWidget* owner) = 0;
    virtual bool PrinterSetup(QWidget* owner) = 0;
};

// The dialogs in force: Qt's own by default, a scripted one in tests.
TDialogs* Dialogs();
void SetDialogs(TDialogs* dialogs);  // nullptr restores Qt's dialogs

// The window a box belongs to: the window of the widget that raised it while
// that one is shown, else the open modal dialog, else the active window.
// Boxes stay above their window, and above any stay-on-top window shown.
QWidget* MessageOwner(QWidget* raisedBy);

// The plain message box: application title, OK, no icon.
void ShowMessage(const QString& text);
// The window-system box: owner, text, caption (empty: the application title), icon, OK.
int MessageBox(QWidget* owner, const QString& text, const QString& caption, TMsgIcon icon,
               TMsgButtons buttons = TMsgButtons::Ok);
