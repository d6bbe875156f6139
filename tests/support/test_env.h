// Shared test fixtures: a scripted dialog set that records every box and
// answers from a queue, and a Bulgarian locale set explicitly.
#pragma once

#include "platform/dialogs.h"
#include "platform/locale.h"
#include "support/qstring_print.h"

#include <gtest/gtest.h>

#include <deque>
#include <QString>
#include <vector>

struct RecordedBox {
    QString text;
    QString caption;
    TMsgIcon icon;
    TMsgButtons buttons;
    QWidget* owner;
};

class ScriptedDialogs : public TDialogs {
public:
    std::vector<RecordedBox> boxes;
    std::deque<int> answers;           // for message boxes; default mrOk / mrCancel
    std::deque<QString> folders;       // for SelectDirectory; empty string = cancel
    std::deque<QString> files;         // for OpenPicture / SaveFile; empty = cancel
    std::deque<bool> printAnswers;     // for PrintDialog / PrinterSetup
    std::vector<QString> calls;
    QWidget* saveOwner = nullptr;      // owner of the last SaveFile

    int MessageBox(QWidget* owner, const QString& text, const QString& caption, TMsgIcon icon,
                   TMsgButtons buttons) override;
    bool SelectDirectory(const QString& caption, const QString& root, QString& folder) override;
    bool OpenPicture(QString& fileName) override;
    bool SaveFile(QWidget* owner, const QString& title, const QString& filter, QString& fileName) override;
    bool PrintDialog(QWidget* owner) override;
    bool PrinterSetup(QWidget* owner) override;
};

// Installs ScriptedDialogs for every test so that no test blocks on a modal window.
class QuarnelTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override;
    void TearDown() override;
};

// The scripted dialogs in force (reset at the start of each test that asks).
ScriptedDialogs& TestDialogs();
void ResetTestDialogs();

// Bulgarian settings with the given decimal separator and currency decimals,
// for the scope of a test.
class LocaleScope {
public:
    explicit LocaleScope(char sep, int decimals = 2) : saved_(FormatSettings())
    {
        SetBulgarianLocale();
        FormatSettings().DecimalSeparator = QLatin1Char(sep);
        FormatSettings().CurrencyDecimals = decimals;
    }
    ~LocaleScope() { FormatSettings() = saved_; }

private:
    TFormatSettings saved_;
};
