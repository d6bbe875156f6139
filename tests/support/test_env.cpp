#include "support/test_env.h"

#include "platform/locale.h"
#include "platform/printer.h"

namespace {
ScriptedDialogs* scripted = nullptr;

template <class T>
T Take(std::deque<T>& q, T fallback)
{
    if (q.empty())
        return fallback;
    T v = q.front();
    q.pop_front();
    return v;
}
}  // namespace

int ScriptedDialogs::MessageBox(QWidget* owner, const QString& text, const QString& caption,
                                TMsgIcon icon, TMsgButtons buttons)
{
    boxes.push_back({text, caption, icon, buttons, owner});
    calls.push_back(QStringLiteral("MessageBox"));
    return Take(answers, buttons == TMsgButtons::Ok ? int(mrOk) : int(mrCancel));
}

bool ScriptedDialogs::SelectDirectory(const QString& caption, const QString& root, QString& folder)
{
    calls.push_back(QStringLiteral("SelectDirectory:") + caption + QLatin1Char('|') + root + QLatin1Char('|') + folder);
    const QString f = Take(folders, QString());
    if (f.isEmpty())
        return false;
    folder = f;
    return true;
}

bool ScriptedDialogs::OpenPicture(QString& fileName)
{
    calls.push_back(QStringLiteral("OpenPicture"));
    const QString f = Take(files, QString());
    if (f.isEmpty())
        return false;
    fileName = f;
    return true;
}

bool ScriptedDialogs::SaveFile(QWidget* owner, const QString& title, const QString& filter, QString& fileName)
{
    calls.push_back(QStringLiteral("SaveFile:") + title + QLatin1Char('|') + filter);
    saveOwner = owner;
    const QString f = Take(files, QString());
    if (f.isEmpty())
        return false;
    fileName = f;
    return true;
}

bool ScriptedDialogs::PrintDialog(QWidget*)
{
    calls.push_back(QStringLiteral("PrintDialog"));
    return Take(printAnswers, false);
}

bool ScriptedDialogs::PrinterSetup(QWidget*)
{
    calls.push_back(QStringLiteral("PrinterSetup"));
    return Take(printAnswers, false);
}

void QuarnelTestEnvironment::SetUp()
{
    scripted = new ScriptedDialogs;
    SetDialogs(scripted);
    SetBulgarianLocale();
    // The machine's printers are none of the tests' business: tests print to files.
    SetInstalledPrintersForTests(QStringList());
}

void QuarnelTestEnvironment::TearDown()
{
    SetDialogs(nullptr);
    SetInstalledPrintersForTests(std::nullopt);
    delete scripted;
    scripted = nullptr;
}

ScriptedDialogs& TestDialogs() { return *scripted; }

void ResetTestDialogs() { *scripted = ScriptedDialogs(); }
