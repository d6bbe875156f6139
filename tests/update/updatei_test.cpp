#include "update/updatei.h"

#include "app/mainform.h"
#include "app/splash.h"
#include "data/datamodule.h"
#include "data/tables.h"
#include "platform/application.h"
#include "platform/http.h"
#include "platform/shell.h"
#include "platform/sysutils.h"
#include "support/test_env.h"
#include "update/update_server.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <thread>

// The button pictures live in the program's resources.
static void LoadProgramResources() { Q_INIT_RESOURCE(app); }

namespace {
const std::string kVersionPath = "/VORNASOFT3/Orlendix.txt";
const std::string kProgramPath = "/VORNASOFT3/Orlendix";
const QString kNoConnection = QStringLiteral("Няма връзка със сървъра!");
const QString kUpToDate = QStringLiteral("Вашата версия на програмата е актуална!");
const QString kCannotUpdate = QStringLiteral("Обновяването на програмата не може да бъде извършено!");
const QString kTooSlow = kCannotUpdate + QStringLiteral(
    "\nСървърът за обновяване не изпрати новата версия навреме. Програмата продължава с досегашната си версия; "
    "опитайте отново по-късно с бутона „Обновяване“.");
const QString kNotRunnable = kCannotUpdate + QStringLiteral(
    "\nИзтеглената нова версия не се стартира правилно и не беше инсталирана. Програмата продължава с досегашната "
    "си версия; опитайте отново по-късно с бутона „Обновяване“.");
const QByteArray kOldProgram = "#!/bin/sh\n# the version that runs now\n";

QByteArray BuiltProgram()
{
    QFile f(QStringLiteral(QUARNEL_BUILD_DIR "/Orlendix"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A program that answers its check as version 3.6.8.11 and then runs no
// further; more than a few 1024-byte blocks in all, zero bytes included.
std::string NewProgram(size_t n = 5000)
{
    std::string s = "#!/bin/sh\nif [ \"$1\" = --version ]; then echo 3.6.8.11; fi\nexit 0\n";
    for (size_t i = s.size(); i < n; ++i)
        s += char((i * 13) % 251);
    return s;
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

std::string Chunked(const std::string& body)
{
    char size[16];
    std::snprintf(size, sizeof size, "%zx", body.size());
    return UpdateServer::Head(200, "Transfer-Encoding: chunked\r\n") + size + "\r\n" + body + "\r\n0\r\n\r\n";
}

class UpdateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder_.isValid());
        LoadProgramResources();
        ResetTestDialogs();
        Application->SetExeName(Path("Orlendix"));
        WriteFile(Path("Orlendix"), kOldProgram);
        SplashForm = new TSplashForm(nullptr);
        Main = new TMain(nullptr);
        // Closing the real main window would end the test binary's application.
        Main->OnClose = [this](TObject*, TCloseAction&) { ++mainCloses; };
        UpdateI = new TUpdateI(nullptr);
        UpdateI->SetServer(server.Address());
        SetShellRecorderForTests([this](const QString& verb, const QString& path) { started << verb + ' ' + path; });
    }

    void TearDown() override
    {
        SetShellRecorderForTests(nullptr);
        THttpRequest::ResetTimeouts();
        TUpdateI::StartUpInstallLimitMs = installLimit_;
        TUpdateI::StartUpInstallStallMs = installStall_;
        delete UpdateI;
        UpdateI = nullptr;
        delete Main;
        Main = nullptr;
        delete SplashForm;
        SplashForm = nullptr;
        Application->SetExeName(QString());
    }

    QString Path(const QString& name) const { return folder_.path() + QLatin1Char('/') + name; }

    QStringList Files() const
    {
        return QDir(folder_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    // Back to an install folder holding only the running program.
    void Reset()
    {
        for (const QString& name : Files()) {
            QFileInfo info(Path(name));
            if (info.isDir())
                QDir(info.filePath()).removeRecursively();
            else
                QFile::remove(info.filePath());
        }
        WriteFile(Path("Orlendix"), kOldProgram);
        ResetTestDialogs();
        started.clear();
        mainCloses = 0;
        server.ClearRequests();
        UpdateI->Status = -1;
    }

    QStringList BoxTexts() const
    {
        QStringList texts;
        for (const RecordedBox& b : TestDialogs().boxes)
            texts << b.text;
        return texts;
    }

    void ExpectOneBox(const QString& text, QWidget* owner, TMsgIcon icon) const
    {
        ASSERT_EQ(BoxTexts(), QStringList{text});
        const RecordedBox& b = TestDialogs().boxes[0];
        EXPECT_EQ(b.owner, owner);
        EXPECT_EQ(b.caption, QStringLiteral("Quarnel"));
        EXPECT_EQ(b.icon, icon);
        EXPECT_EQ(b.buttons, TMsgButtons::Ok);
    }

    // A failed install: reported (no text: stopped by the user, not reported),
    // nothing started, nothing on disk changed.
    void ExpectFailedInstall(const QStringList& filesBefore = {QStringLiteral("Orlendix")},
                             const QString& text = kCannotUpdate) const
    {
        if (text.isEmpty())
            EXPECT_TRUE(TestDialogs().boxes.empty()) << BoxTexts().join(QLatin1Char('|')).toStdString();
        else
            ExpectOneBox(text, UpdateI, TMsgIcon::Error);
        EXPECT_EQ(Files(), filesBefore);
        EXPECT_EQ(ReadAll(Path("Orlendix")), kOldProgram);
        EXPECT_TRUE(started.isEmpty()) << started.join(QLatin1Char(',')).toStdString();
        EXPECT_EQ(mainCloses, 0);
    }

    UpdateServer server;
    QTemporaryDir folder_;
    QStringList started;
    int mainCloses = 0;
    const int installLimit_ = TUpdateI::StartUpInstallLimitMs;
    const int installStall_ = TUpdateI::StartUpInstallStallMs;
};

// The program's 5000 bytes announced, then one byte every 20 ms for up to 20 s.
void Trickle(int fd, const std::atomic<bool>& stop)
{
    UpdateServer::Send(fd, UpdateServer::Head(200, "Content-Length: 5000\r\n"));
    const std::string program = NewProgram();
    for (size_t i = 0; i < 1000 && !stop && UpdateServer::Send(fd, program.substr(i, 1)); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

TEST_F(UpdateTest, TheUpdaterWindowHoldsNoAnswerUntilItAsks)
{
    EXPECT_EQ(UpdateI->Caption(), QStringLiteral("Обновяване на програмата"));
    EXPECT_EQ(UpdateI->Status, -1);
    EXPECT_EQ(UpdateI->RemoteVersion, QString());
    EXPECT_FALSE(UpdateI->Edit1->Visible());
    EXPECT_EQ(UpdateI->Edit1->Text(), server.Address() + QStringLiteral("/VORNASOFT3/Orlendix"));
    EXPECT_EQ(UpdateI->SpeedButton1->Caption(), QStringLiteral("Инсталирай"));
    EXPECT_EQ(UpdateI->SpeedButton2->Caption(), QStringLiteral("Изход"));

    // A trailing slash on the address does not double the one of the path.
    UpdateI->SetServer(QStringLiteral("https://updates.example/"));
    EXPECT_EQ(UpdateI->Edit1->Text(), QStringLiteral("https://updates.example/VORNASOFT3/Orlendix"));

    UpdateI->Show();
    UpdateI->SpeedButton2->Click();
    EXPECT_FALSE(UpdateI->isVisible());
}

TEST_F(UpdateTest, TheServerAddressComesFromTheEnvironmentBeforeTheBuildSetting)
{
    const QByteArray saved = qgetenv("QUARNEL_UPDATE_SERVER");
    qunsetenv("QUARNEL_UPDATE_SERVER");
    EXPECT_EQ(DefaultUpdateServer(), QStringLiteral(QUARNEL_UPDATE_SERVER));
    qputenv("QUARNEL_UPDATE_SERVER", "");
    EXPECT_EQ(DefaultUpdateServer(), QStringLiteral(QUARNEL_UPDATE_SERVER));
    qputenv("QUARNEL_UPDATE_SERVER", "http://127.0.0.1:1234");
    EXPECT_EQ(DefaultUpdateServer(), QStringLiteral("http://127.0.0.1:1234"));
    TUpdateI fresh;
    EXPECT_EQ(fresh.Edit1->Text(), QStringLiteral("http://127.0.0.1:1234/VORNASOFT3/Orlendix"));
    if (saved.isNull())
        qunsetenv("QUARNEL_UPDATE_SERVER");
    else
        qputenv("QUARNEL_UPDATE_SERVER", saved);
}

TEST_F(UpdateTest, VersionsArePackedFromTheCaptionAndReadFromPlainDigits)
{
    EXPECT_EQ(PackedVersion(Main->Caption()), 36810);
    EXPECT_EQ(PackedVersion(QStringLiteral("Quarnel version 4.0.1.07")), 40107);

    EXPECT_EQ(ParseRemoteVersion(QStringLiteral("36811")), 36811);
    EXPECT_EQ(ParseRemoteVersion(QStringLiteral(" \t36811\r\n\r\n")), 36811);
    EXPECT_EQ(ParseRemoteVersion(QStringLiteral("999999999")), 999999999);
    EXPECT_EQ(ParseRemoteVersion(QStringLiteral("000036811")), 36811);
    for (const char* bad : {"", " \r\n", "1234567890", "0000036811", "36811 abc", "368 11", "+36811", "-1",
                            "3.6.8.11", "٣٦٨١١"})
        EXPECT_EQ(ParseRemoteVersion(QString::fromUtf8(bad)), std::nullopt) << bad;

    // What "Orlendix --version" prints is the caption's version.
    EXPECT_TRUE(Main->Caption().endsWith(QLatin1Char(' ') + ProgramVersion())) << Main->Caption().toStdString();
    EXPECT_EQ(PackedVersionAnswer(ProgramVersion().toLatin1() + '\n'), 36810);
    EXPECT_EQ(PackedVersionAnswer("3.6.8.11\r\n"), 36811);
    for (const char* bad : {"", "\n", "36811\n", "3.6.8.11\n\n", "v3.6.8.11\n", "3.6.8.1\n", "3.6.8.11 x\n",
                            "Segmentation fault\n"})
        EXPECT_EQ(PackedVersionAnswer(bad), std::nullopt) << bad;
}

TEST_F(UpdateTest, ANewerVersionIsDownloadedSwappedInStartedAndTheMainWindowCloses)
{
    const std::string program = NewProgram();
    server.ServeFile(kVersionPath, "36811");
    server.ServeFile(kProgramPath, program);
    WriteFile(Path("Orlendixold"), "left by an update before");

    Main->CheckForUpdate(false);

    EXPECT_EQ(UpdateI->Status, 1);
    EXPECT_EQ(UpdateI->RemoteVersion, QStringLiteral("36811"));
    EXPECT_EQ(server.Requests(), (std::vector<std::string>{kVersionPath, kProgramPath}));
    EXPECT_TRUE(TestDialogs().boxes.empty()) << BoxTexts().join(QLatin1Char('|')).toStdString();
    // No temporary file stays behind.
    EXPECT_EQ(Files(), (QStringList{QStringLiteral("Orlendix"), QStringLiteral("Orlendixold")}));
    EXPECT_EQ(ReadAll(Path("Orlendix")), QByteArray::fromStdString(program));
    EXPECT_EQ(ReadAll(Path("Orlendixold")), kOldProgram);
    EXPECT_TRUE(QFileInfo(Path("Orlendix")).isExecutable());
    EXPECT_EQ(started, QStringList{QStringLiteral("start ") + Path("Orlendix")});
    EXPECT_EQ(mainCloses, 1);

    EXPECT_TRUE(SplashForm->CGauge1->Visible());
    EXPECT_EQ(SplashForm->Label1->Caption(), QStringLiteral("Обновяване..."));
    EXPECT_EQ(SplashForm->CGauge1->MaxValue(), int(program.size()));
    EXPECT_EQ(SplashForm->CGauge1->Progress(), int(program.size()));
}

TEST_F(UpdateTest, AVersionFileEndingInALineBreakOrAZeroByteInstallsToo)
{
    server.ServeFile(kProgramPath, NewProgram());
    // A zero byte ends the text of the block it stands in.
    for (const std::string& version : {std::string("36811\r\n"), std::string("36811\0", 6), std::string("36811\0zz", 8)}) {
        SCOPED_TRACE(version.size());
        Reset();
        server.ServeFile(kVersionPath, version);

        EXPECT_NO_THROW(Main->CheckForUpdate(true));

        EXPECT_EQ(UpdateI->Status, 1);
        EXPECT_TRUE(TestDialogs().boxes.empty());
        EXPECT_EQ(ReadAll(Path("Orlendix")), QByteArray::fromStdString(NewProgram()));
        EXPECT_EQ(ReadAll(Path("Orlendixold")), kOldProgram);
        EXPECT_EQ(started.size(), 1);
        EXPECT_EQ(mainCloses, 1);
    }
}

TEST_F(UpdateTest, AnEqualOrLowerVersionIsUpToDateAndNothingIsDownloaded)
{
    server.ServeFile(kProgramPath, NewProgram());
    for (const char* version : {"36810", "36809", "00036810", "1"}) {
        SCOPED_TRACE(version);
        Reset();
        server.ServeFile(kVersionPath, version);

        Main->CheckForUpdate(true);
        EXPECT_EQ(UpdateI->Status, 0);
        ExpectOneBox(kUpToDate, Main, TMsgIcon::Warning);

        ResetTestDialogs();
        Main->CheckForUpdate(false);
        EXPECT_EQ(UpdateI->Status, 0);
        EXPECT_TRUE(TestDialogs().boxes.empty());

        EXPECT_EQ(server.Requests(), (std::vector<std::string>{kVersionPath, kVersionPath}));
        EXPECT_EQ(Files(), QStringList{QStringLiteral("Orlendix")});
        EXPECT_TRUE(started.isEmpty());
        EXPECT_EQ(mainCloses, 0);
        EXPECT_FALSE(SplashForm->CGauge1->Visible());
    }

    // The installer itself refuses to run without a newer version found.
    UpdateI->SpeedButton1->Click();
    EXPECT_EQ(server.Requests(), (std::vector<std::string>{kVersionPath, kVersionPath}));
    EXPECT_EQ(Files(), QStringList{QStringLiteral("Orlendix")});
}

TEST_F(UpdateTest, RepliesThatAreNoVersionCountAsNoAnswerAndNeverRaise)
{
    server.ServeFile(kProgramPath, NewProgram());
    const std::string page = "<html><body>36811</body></html>";
    const std::vector<std::pair<const char*, std::string>> replies = {
        {"404 page", UpdateServer::Head(404, "Content-Length: " + std::to_string(page.size()) + "\r\n") + page},
        {"404 with digits", UpdateServer::Head(404, "Content-Length: 5\r\n") + "36811"},
        {"500 with digits", UpdateServer::Head(500, "Content-Length: 5\r\n") + "36811"},
        {"redirect", UpdateServer::Head(302, "Location: /elsewhere\r\nContent-Length: 5\r\n") + "36811"},
        {"chunked", Chunked("36811")},
        {"no length, closed", UpdateServer::Head(200, "") + "36811"},
        {"shorter than its length", UpdateServer::Head(200, "Content-Length: 10\r\n") + "36811"},
        {"words after the number", UpdateServer::Head(200, "Content-Length: 9\r\n") + "36811 abc"},
        {"empty", UpdateServer::Head(200, "Content-Length: 0\r\n")},
        {"ten digits", UpdateServer::Head(200, "Content-Length: 10\r\n") + "9999999999"},
        {"zero byte first", UpdateServer::Head(200, "Content-Length: 6\r\n") + std::string("\x00" "36811", 6)},
        {"long page", UpdateServer::Head(200, "Content-Length: 5000\r\n") + std::string(5000, '9')},
    };
    for (const auto& [name, reply] : replies) {
        SCOPED_TRACE(name);
        Reset();
        server.ServeRaw(kVersionPath, reply);

        EXPECT_NO_THROW(Main->CheckForUpdate(true));
        EXPECT_EQ(UpdateI->Status, -1);
        EXPECT_EQ(UpdateI->RemoteVersion, QStringLiteral("36810"));  // the local number
        ExpectOneBox(kNoConnection, Main, TMsgIcon::Warning);

        ResetTestDialogs();
        EXPECT_NO_THROW(Main->CheckForUpdate(false));
        EXPECT_EQ(UpdateI->Status, -1);
        EXPECT_TRUE(TestDialogs().boxes.empty());

        EXPECT_EQ(server.Requests(), (std::vector<std::string>{kVersionPath, kVersionPath}));
        EXPECT_EQ(Files(), QStringList{QStringLiteral("Orlendix")});
        EXPECT_EQ(mainCloses, 0);
    }
}

TEST_F(UpdateTest, AnUnreachableOrSilentServerIsNoAnswerAndSilentAtStartUp)
{
    UpdateI->SetServer(ClosedLocalAddress());
    Main->CheckForUpdate(true);
    EXPECT_EQ(UpdateI->Status, -1);
    ExpectOneBox(kNoConnection, Main, TMsgIcon::Warning);

    ResetTestDialogs();
    Main->CheckForUpdate(false);
    EXPECT_EQ(UpdateI->Status, -1);
    EXPECT_TRUE(TestDialogs().boxes.empty());

    // A server that accepts and then says nothing is given up on, not waited for.
    THttpRequest::SetTimeoutsForTests(300, 300);
    UpdateI->SetServer(server.Address());
    server.Serve(kVersionPath, [](int fd, const std::atomic<bool>& stop) { UpdateServer::Stall(fd, stop); });
    QElapsedTimer clock;
    clock.start();
    Main->CheckForUpdate(false);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(UpdateI->Status, -1);
    EXPECT_TRUE(TestDialogs().boxes.empty());
    EXPECT_EQ(Files(), QStringList{QStringLiteral("Orlendix")});
}

TEST_F(UpdateTest, TheSilentCheckGivesUpWithinItsOwnLimitWhileTheServerKeepsTrickling)
{
    // Headers one byte at a time, never finished: no stall time-out ever fires.
    server.Serve(kVersionPath, [](int fd, const std::atomic<bool>& stop) {
        const std::string head = "HTTP/1.1 200 OK\r\nX-Slow: ";
        UpdateServer::Send(fd, head);
        for (int i = 0; i < 400 && !stop; ++i) {
            UpdateServer::Send(fd, "a");
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });
    THttpRequest::SetTimeoutsForTests(1000, 1000);
    const int savedLimit = TUpdateI::SilentCheckLimitMs;
    TUpdateI::SilentCheckLimitMs = 400;
    QElapsedTimer clock;
    clock.start();
    Main->CheckForUpdate(false);
    const qint64 took = clock.elapsed();
    TUpdateI::SilentCheckLimitMs = savedLimit;
    EXPECT_LT(took, 2500);
    EXPECT_EQ(UpdateI->Status, -1);
    EXPECT_TRUE(TestDialogs().boxes.empty());
}

TEST_F(UpdateTest, AnIncompleteDownloadKeepsTheOldProgramAndIsReported)
{
    THttpRequest::SetTimeoutsForTests(300, 300);
    const std::string program = NewProgram();
    const std::vector<std::pair<const char*, UpdateServer::Reply>> replies = {
        {"shorter than its length",
         [&](int fd, const std::atomic<bool>&) {
             UpdateServer::Send(fd, UpdateServer::Head(200, "Content-Length: 5000\r\n") + program.substr(0, 3000));
         }},
        {"stalls half way",
         [&](int fd, const std::atomic<bool>& stop) {
             UpdateServer::Send(fd, UpdateServer::Head(200, "Content-Length: 5000\r\n") + program.substr(0, 2500));
             UpdateServer::Stall(fd, stop);
         }},
        {"missing",
         [&](int fd, const std::atomic<bool>&) {
             UpdateServer::Send(fd, UpdateServer::Head(404, "Content-Length: 9\r\n") + "not found");
         }},
        {"chunked", [&](int fd, const std::atomic<bool>&) { UpdateServer::Send(fd, Chunked(program)); }},
        {"no length, closed",
         [&](int fd, const std::atomic<bool>&) { UpdateServer::Send(fd, UpdateServer::Head(200, "") + program); }},
        {"empty",
         [&](int fd, const std::atomic<bool>&) { UpdateServer::Send(fd, UpdateServer::Head(200, "Content-Length: 0\r\n")); }},
    };
    for (const auto& [name, reply] : replies) {
        SCOPED_TRACE(name);
        Reset();
        WriteFile(Path("Orlendixold"), "left by an update before");
        server.ServeFile(kVersionPath, "36811");
        server.Serve(kProgramPath, reply);

        Main->CheckForUpdate(false);  // reported even at start-up

        EXPECT_EQ(UpdateI->Status, 1);
        ExpectFailedInstall({QStringLiteral("Orlendix"), QStringLiteral("Orlendixold")},
                            std::string(name) == "stalls half way" ? kTooSlow : kCannotUpdate);
        EXPECT_EQ(ReadAll(Path("Orlendixold")), "left by an update before");
    }
}

TEST_F(UpdateTest, TheStartUpInstallGivesUpOnASlowServerAndTheOldProgramStays)
{
    server.ServeFile(kVersionPath, "36811");
    // Never silent for long, so only the limit on the whole download ends it.
    TUpdateI::StartUpInstallLimitMs = 700;
    server.Serve(kProgramPath, Trickle);
    QElapsedTimer clock;
    clock.start();
    Main->CheckForUpdate(false);
    EXPECT_LT(clock.elapsed(), 3000);
    ExpectFailedInstall({QStringLiteral("Orlendix")}, kTooSlow);

    // Headers, a first block, then silence: the stall time ends it sooner.
    Reset();
    TUpdateI::StartUpInstallLimitMs = 60000;
    TUpdateI::StartUpInstallStallMs = 300;
    server.Serve(kProgramPath, [](int fd, const std::atomic<bool>& stop) {
        UpdateServer::Send(fd, UpdateServer::Head(200, "Content-Length: 5000\r\n") + NewProgram().substr(0, 1500));
        UpdateServer::Stall(fd, stop);
    });
    clock.restart();
    Main->CheckForUpdate(false);
    EXPECT_LT(clock.elapsed(), 3000);
    ExpectFailedInstall({QStringLiteral("Orlendix")}, kTooSlow);

    // Asked for from the main window, a slow download that keeps moving is let finish.
    Reset();
    TUpdateI::StartUpInstallLimitMs = 300;
    TUpdateI::StartUpInstallStallMs = 300;
    server.Serve(kProgramPath, [](int fd, const std::atomic<bool>&) {
        const std::string program = NewProgram();
        UpdateServer::Send(fd, UpdateServer::Head(200, "Content-Length: 5000\r\n"));
        for (size_t at = 0; at < program.size(); at += 1000) {
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
            UpdateServer::Send(fd, program.substr(at, 1000));
        }
    });
    Main->CheckForUpdate(true);
    EXPECT_TRUE(TestDialogs().boxes.empty()) << BoxTexts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(ReadAll(Path("Orlendix")), QByteArray::fromStdString(NewProgram()));
    EXPECT_EQ(mainCloses, 1);
}

TEST_F(UpdateTest, AFailedSwapPutsTheOldProgramBack)
{
    server.ServeFile(kVersionPath, "36811");
    server.ServeFile(kProgramPath, NewProgram());

    // The downloaded file cannot take the program's name.
    QStringList renames;
    UpdateI->Rename = [&](const QString& from, const QString& to) {
        renames << QFileInfo(from).fileName() + QStringLiteral(">") + QFileInfo(to).fileName();
        if (to == Path("Orlendix") && from != Path("Orlendixold"))
            return false;
        return RenameFile(from, to);
    };
    Main->CheckForUpdate(false);
    ExpectFailedInstall();
    ASSERT_EQ(renames.size(), 3);
    EXPECT_EQ(renames[0], QStringLiteral("Orlendix>Orlendixold"));
    EXPECT_EQ(renames[2], QStringLiteral("Orlendixold>Orlendix"));

    // The running program cannot be moved aside: an "Orlendixold" that is a
    // folder with files in it is neither deleted nor replaced.
    Reset();
    UpdateI->Rename = &RenameFile;
    ASSERT_TRUE(QDir(folder_.path()).mkpath(QStringLiteral("Orlendixold/keep")));
    Main->CheckForUpdate(false);
    ExpectFailedInstall({QStringLiteral("Orlendix"), QStringLiteral("Orlendixold")});
    EXPECT_TRUE(QFileInfo(Path("Orlendixold/keep")).isDir());
}

TEST_F(UpdateTest, ANewProgramThatCannotStartIsTakenBackOut)
{
    // No recorder: the start is real, and a file of no executable format fails it.
    SetShellRecorderForTests(nullptr);
    server.ServeFile(kVersionPath, "36811");
    server.ServeFile(kProgramPath, std::string("\x01\x02 not a program", 16));

    Main->CheckForUpdate(true);
    ExpectFailedInstall({QStringLiteral("Orlendix")}, kNotRunnable);
}

TEST_F(UpdateTest, ADownloadThatFailsItsCheckNeverReplacesTheProgramAndARealOneDoes)
{
    const QByteArray built = BuiltProgram();
    ASSERT_GT(built.size(), 65536) << "build the program first";
    server.ServeFile(kVersionPath, "36811");
    const int savedLimit = TUpdateI::ProgramCheckLimitMs;
    TUpdateI::ProgramCheckLimitMs = 700;
    const std::vector<std::pair<const char*, std::string>> programs = {
        {"exits 1 at once", "#!/bin/sh\nexit 1\n"},
        {"the first 64 KB of the real program", built.left(65536).toStdString()},
        {"answers another version", "#!/bin/sh\necho 3.6.8.12\n"},
        {"answers nothing", "#!/bin/sh\nexit 0\n"},
        {"never ends", "#!/bin/sh\nexec sleep 30\n"},
        // Ignores the check and starts as the whole program would, beside itself.
        {"writes beside itself", "#!/bin/sh\nmkdir \"$(dirname \"$0\")/DB\"\nexec sleep 30\n"},
        {"answers, then crashes", "#!/bin/sh\necho 3.6.8.11\nkill -SEGV $$\n"},
    };
    for (const auto& [name, program] : programs) {
        SCOPED_TRACE(name);
        Reset();
        WriteFile(Path("Orlendixold"), "left by an update before");
        server.ServeFile(kProgramPath, program);
        QElapsedTimer clock;
        clock.start();

        Main->CheckForUpdate(false);

        EXPECT_LT(clock.elapsed(), 3000);
        EXPECT_EQ(UpdateI->Status, 1);
        ExpectFailedInstall({QStringLiteral("Orlendix"), QStringLiteral("Orlendixold")}, kNotRunnable);
        EXPECT_EQ(ReadAll(Path("Orlendixold")), "left by an update before");
    }
    TUpdateI::ProgramCheckLimitMs = savedLimit;

    // The real program, one version above the one that runs, installs.
    Reset();
    Main->SetCaption(QStringLiteral("Quarnel + Dovrenta 2012 - version 3.6.8.09"));
    server.ServeFile(kVersionPath, "36810");
    server.ServeFile(kProgramPath, built.toStdString());
    Main->CheckForUpdate(true);
    EXPECT_TRUE(TestDialogs().boxes.empty()) << BoxTexts().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(ReadAll(Path("Orlendix")) == built);
    EXPECT_EQ(ReadAll(Path("Orlendixold")), kOldProgram);
    EXPECT_EQ(started, QStringList{QStringLiteral("start ") + Path("Orlendix")});
    EXPECT_EQ(mainCloses, 1);
}

TEST_F(UpdateTest, TheButtonsUpdateKeepsTheWindowAnsweringAndCancelStopsItAtOnce)
{
    server.ServeFile(kVersionPath, "36811");
    server.Serve(kProgramPath, Trickle);
    Main->Show();
    const QPoint moved = Main->pos() + QPoint(40, 30);
    int gaugeSeen = 0;
    bool wasModal = false;
    QElapsedTimer sinceCancel;
    QTimer::singleShot(400, Main, [&] {
        Main->move(moved);
        ASSERT_NE(UpdateI->Progress, nullptr);
        wasModal = UpdateI->Progress->isVisible() && UpdateI->Progress->isModal();
        gaugeSeen = UpdateI->Progress->CGauge1->Progress();
        EXPECT_EQ(UpdateI->Progress->Button1->Caption(), QStringLiteral("Отказ"));
        sinceCancel.start();
        UpdateI->Progress->Button1->Click();
    });
    QElapsedTimer clock;
    clock.start();

    Main->CheckForUpdate(true);

    ASSERT_TRUE(sinceCancel.isValid()) << "the window answered no event during the download";
    EXPECT_LT(sinceCancel.elapsed(), 1000);
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_EQ(Main->pos(), moved);
    EXPECT_TRUE(wasModal);
    EXPECT_GT(gaugeSeen, 0);
    EXPECT_EQ(UpdateI->Progress, nullptr);
    // Stopped by the user: nothing to report, nothing changed.
    ExpectFailedInstall({QStringLiteral("Orlendix")}, QString());

    // Headers, a first block, then silence: given up on with the start-up's stall time.
    Reset();
    TUpdateI::StartUpInstallStallMs = 400;
    server.Serve(kProgramPath, [](int fd, const std::atomic<bool>& stop) {
        UpdateServer::Send(fd, UpdateServer::Head(200, "Content-Length: 5000\r\n") + NewProgram().substr(0, 1500));
        UpdateServer::Stall(fd, stop);
    });
    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&ticks] { ++ticks; });
    tick.start(50);
    clock.restart();
    Main->CheckForUpdate(true);
    tick.stop();
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_GE(ticks, 4);
    ExpectFailedInstall({QStringLiteral("Orlendix")}, kTooSlow);

    // A version file whose headers never end: "Отказ" stops the check too, with no box.
    Reset();
    server.Serve(kVersionPath, [](int fd, const std::atomic<bool>& stop) {
        UpdateServer::Send(fd, "HTTP/1.1 200 OK\r\nX-Slow: ");
        for (int i = 0; i < 400 && !stop && UpdateServer::Send(fd, "a"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    });
    sinceCancel.invalidate();
    QTimer::singleShot(300, Main, [&] {
        sinceCancel.start();
        if (UpdateI->Progress)
            UpdateI->Progress->Close();  // its close box
    });
    Main->CheckForUpdate(true);
    ASSERT_TRUE(sinceCancel.isValid());
    EXPECT_LT(sinceCancel.elapsed(), 1000);
    EXPECT_TRUE(TestDialogs().boxes.empty()) << BoxTexts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(Files(), QStringList{QStringLiteral("Orlendix")});
}

TEST_F(UpdateTest, TheLeftoverOfTheLastUpdateIsDeletedAtTheNextStart)
{
    CreateShippedTables(Path("DB"));
    WriteFile(Path("Orlendixold"), kOldProgram);
    // A reply that once stopped the tables from opening.
    server.ServeFile(kVersionPath, "36811 abc");

    DataModule1 = new TDataModule1(nullptr);
    DataModule1->DataModuleCreate(DataModule1);

    EXPECT_FALSE(QFileInfo::exists(Path("Orlendixold")));
    EXPECT_EQ(UpdateI->Status, -1);
    EXPECT_TRUE(TestDialogs().boxes.empty()) << BoxTexts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(DataModule1->Folder(), Path("DB"));
    EXPECT_TRUE(DataModule1->cust->Active());
    EXPECT_TRUE(Main->SpeedButton4->Visible());
    EXPECT_EQ(server.Requests(), std::vector<std::string>{kVersionPath});

    DataModule1->DataModuleDestroy(DataModule1);
    delete DataModule1;
    DataModule1 = nullptr;
}

}  // namespace
