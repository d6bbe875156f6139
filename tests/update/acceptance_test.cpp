// The built program updates itself: a copy of it in a fresh install folder
// finds a newer version on the test server, puts it in its own place, starts
// it and ends.
#include "data/tables.h"
#include "update/update_server.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(UpdateAcceptance, TheProgramReplacesItselfWithTheServersVersionAndStartsIt)
{
    const QString built = QStringLiteral(QUARNEL_BUILD_DIR "/Orlendix");
    ASSERT_TRUE(QFileInfo(built).isExecutable()) << "build the program first: " << built.toStdString();
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString program = folder.filePath(QStringLiteral("Orlendix"));
    ASSERT_TRUE(QFile::copy(built, program));
    CreateShippedTables(folder.filePath(QStringLiteral("DB")));

    // The "new version" says where it was started from and in which working
    // directory, so that the test sees it run.
    // Before it takes the program's place it must answer its check with its version.
    const std::string newProgram =
        "#!/bin/sh\nif [ \"$1\" = --version ]; then echo 3.6.8.11; exit 0; fi\n"
        "d=\"$(dirname \"$0\")\"\n{ echo \"$0\"; pwd; } > \"$d/started.tmp\" && mv \"$d/started.tmp\" \"$d/started\"\n";
    UpdateServer server;
    server.ServeFile("/VORNASOFT3/Orlendix.txt", "36811\n");
    server.ServeFile("/VORNASOFT3/Orlendix", newProgram);

    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QUARNEL_UPDATE_SERVER"), server.Address());
    run.setProcessEnvironment(env);
    // Started from another folder, as from a desktop shortcut: the defaults files live there.
    QTemporaryDir workDir;
    ASSERT_TRUE(workDir.isValid());
    run.setWorkingDirectory(workDir.path());
    run.setProcessChannelMode(QProcess::MergedChannels);
    run.start(program, {});
    ASSERT_TRUE(run.waitForStarted(10000)) << run.errorString().toStdString();
    // It ends by itself once the new version runs; a message box would hold it.
    if (!run.waitForFinished(60000)) {
        run.kill();
        run.waitForFinished();
        FAIL() << "the program did not end after the update:\n" << run.readAll().toStdString();
    }
    EXPECT_EQ(run.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(run.exitCode(), 0) << run.readAll().toStdString();

    EXPECT_EQ(server.Requests(), (std::vector<std::string>{"/VORNASOFT3/Orlendix.txt", "/VORNASOFT3/Orlendix"}));
    EXPECT_EQ(ReadAll(program), QByteArray::fromStdString(newProgram));
    EXPECT_TRUE(QFileInfo(program).isExecutable());
    const QString old = folder.filePath(QStringLiteral("Orlendixold"));
    EXPECT_EQ(QFileInfo(old).size(), QFileInfo(built).size());
    EXPECT_TRUE(ReadAll(old) == ReadAll(built)) << "Orlendixold is not the program that ran";

    const QString started = folder.filePath(QStringLiteral("started"));
    const QDeadlineTimer deadline(10000);
    while (!QFileInfo::exists(started) && !deadline.hasExpired())
        QThread::msleep(20);
    ASSERT_TRUE(QFileInfo::exists(started)) << "the new version was not started";
    EXPECT_EQ(ReadAll(started).trimmed(), program.toUtf8() + '\n' + QFileInfo(workDir.path()).canonicalFilePath().toUtf8());
}

}  // namespace
