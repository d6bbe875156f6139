#include "platform/shell.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <utility>
#include <vector>

namespace {

QString WriteFile(const QString& path, const QByteArray& content, QFile::Permissions perms)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(content);
    f.close();
    f.setPermissions(perms);
    return path;
}

TEST(Shell, RecorderSeesOpenAndStartButNotMissingFiles)
{
    QTemporaryDir dir;
    const QString pdf = WriteFile(dir.filePath("Help.pdf"), "%PDF", QFile::ReadOwner | QFile::WriteOwner);
    const QString exe = WriteFile(dir.filePath("Orlendix"), "#!/bin/sh\n", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    std::vector<std::pair<QString, QString>> seen;
    SetShellRecorderForTests([&](const QString& verb, const QString& path) { seen.emplace_back(verb, path); });
    ShellOpen(pdf);
    ShellOpen(dir.filePath("Missing.pdf"));
    ShellOpen(dir.path());  // a folder is no document
    EXPECT_TRUE(StartProgram(exe));
    EXPECT_FALSE(StartProgram(dir.filePath("Gone")));
    SetShellRecorderForTests(nullptr);

    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], std::make_pair(QStringLiteral("open"), pdf));
    EXPECT_EQ(seen[1], std::make_pair(QStringLiteral("start"), exe));
}

TEST(Shell, StartsAProgramDetachedInOurWorkingDirectory)
{
    QTemporaryDir dir;
    const QString exe = WriteFile(dir.filePath("Orlendix"), "#!/bin/sh\npwd > \"$(dirname \"$0\")/started.txt\"\n",
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_NE(QDir::currentPath(), dir.path());
    ASSERT_TRUE(StartProgram(exe));

    const QString marker = dir.filePath("started.txt");
    QElapsedTimer t;
    t.start();
    QByteArray written;
    while (t.elapsed() < 5000) {
        QFile f(marker);
        if (f.open(QIODevice::ReadOnly) && (written = f.readAll()).endsWith('\n'))
            break;
        QThread::msleep(20);
    }
    // Inherited, as the defaults files are read from the working directory.
    EXPECT_EQ(QFileInfo(QString::fromLocal8Bit(written.trimmed())).canonicalFilePath(),
              QFileInfo(QDir::currentPath()).canonicalFilePath());

    // Without its execute permission the program does not start.
    const QString plain = WriteFile(dir.filePath("Plain"), "#!/bin/sh\n", QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_FALSE(StartProgram(plain));
}

TEST(Shell, ClipboardRoundTrip)
{
    ClipboardSetText(QStringLiteral("общо с ДДС: 120,00 лв."));
    if (ClipboardText().isEmpty())
        GTEST_SKIP() << "this platform plugin keeps no clipboard";
    EXPECT_EQ(ClipboardText(), QStringLiteral("общо с ДДС: 120,00 лв."));
    ClipboardSetText(QString());
    EXPECT_EQ(ClipboardText(), QString());
}

}  // namespace
