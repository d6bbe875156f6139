#include "platform/shell.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QUrl>

namespace {
std::function<void(const QString&, const QString&)>& Recorder()
{
    static std::function<void(const QString&, const QString&)> recorder;
    return recorder;
}
}  // namespace

void SetShellRecorderForTests(std::function<void(const QString& verb, const QString& path)> recorder)
{
    Recorder() = std::move(recorder);
}

void ShellOpen(const QString& path)
{
    if (!QFileInfo(path).isFile())
        return;
    if (Recorder()) {
        Recorder()(QStringLiteral("open"), path);
        return;
    }
    // The result is of no interest: with no handler for the type nothing happens.
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}

bool StartProgram(const QString& exe)
{
    const QFileInfo info(exe);
    if (!info.isFile())
        return false;
    if (Recorder()) {
        Recorder()(QStringLiteral("start"), exe);
        return true;
    }
    // No working directory of its own: it inherits ours, where the defaults files are.
    return QProcess::startDetached(info.absoluteFilePath(), {});
}

void ClipboardSetText(const QString& text)
{
    if (QClipboard* c = QGuiApplication::clipboard())
        c->setText(text);
}

QString ClipboardText()
{
    if (QClipboard* c = QGuiApplication::clipboard())
        return c->text();
    return {};
}
