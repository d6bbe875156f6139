#include "update/updatei.h"

#include "app/mainform.h"
#include "app/splash.h"
#include "editor/orderform.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "platform/extctrls.h"
#include "platform/http.h"
#include "platform/shell.h"
#include "platform/stdctrls.h"
#include "platform/sysutils.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <climits>

#include <unistd.h>

TUpdateI* UpdateI = nullptr;

namespace {
const QString kVersionPath = QStringLiteral("/VORNASOFT3/Orlendix.txt");
const QString kProgramPath = QStringLiteral("/VORNASOFT3/Orlendix");
const QString kOldProgram = QStringLiteral("Orlendixold");
constexpr qint64 kBlock = 1024;
// A version file is a few digits; a longer reply is some page, not a version.
constexpr qint64 kMaxVersionReply = 1024;

int GaugeValue(qint64 v) { return int(std::min<qint64>(v, INT_MAX)); }

// Beside the program, so that the swap is a plain rename.
QString DownloadFile(const QString& program) { return program + QStringLiteral(".download"); }
}  // namespace

TUpdateProgress::TUpdateProgress(TComponent* owner) : TForm(owner)
{
    SetCaption(QStringLiteral("Обновяване на програмата"));
    SetClientSize(300, 100);
    Position = TPosition::poScreenCenter;
    Label1 = new TLabel(this);
    Label1->SetCaption(QStringLiteral("Обновяване..."));
    Label1->SetBounds(12, 10, 276, 16);
    CGauge1 = new TGauge(this);
    CGauge1->SetShowText(false);
    CGauge1->SetForeColor(33023);
    CGauge1->SetBackColor(13882323);
    CGauge1->SetBounds(12, 32, 276, 16);
    Button1 = new TButton(this);
    Button1->SetCaption(QStringLiteral("Отказ"));
    Button1->SetBounds(110, 62, 80, 26);
    Button1->SetCancel(true);
    Button1->OnClick = [this](TObject*) { Cancelled = true; };
    // The close box stops the update as "Отказ" does.
    OnClose = [this](TObject*, TCloseAction&) { Cancelled = true; };
    // The other windows repaint and move but take no input until it ends.
    setWindowModality(Qt::ApplicationModal);
    Loaded();
}

bool TUpdateProgress::KeepGoing()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return !Cancelled;
}

QString ProgramVersion() { return QStringLiteral("3.6.8.10"); }

std::optional<int> PackedVersionAnswer(const QByteArray& output)
{
    static const QRegularExpression version(QStringLiteral("\\A\\d\\.\\d\\.\\d\\.\\d\\d\\z"));
    QByteArray line = output;
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    const QString text = QString::fromLatin1(line);
    if (!version.match(text).hasMatch())
        return std::nullopt;
    return PackedVersion(text);
}

void RemoveLeftoverDownload()
{
    const QString name = kProgramPath.mid(kProgramPath.lastIndexOf(QLatin1Char('/')) + 1);
    QFile::remove(DownloadFile(InstallPath(name)));
}

QString DefaultUpdateServer()
{
    const QString fromEnvironment = qEnvironmentVariable("QUARNEL_UPDATE_SERVER");
    return fromEnvironment.isEmpty() ? QStringLiteral(QUARNEL_UPDATE_SERVER) : fromEnvironment;
}

int PackedVersion(const QString& caption)
{
    const QString v = caption.mid(caption.lastIndexOf(QLatin1Char(' ')) + 1);
    return StrToInt(Copy(v, 1, 1) + Copy(v, 3, 1) + Copy(v, 5, 1) + Copy(v, 7, 2));
}

std::optional<int> ParseRemoteVersion(const QString& text)
{
    auto blank = [](QChar c) {
        return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n');
    };
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && blank(text[from]))
        ++from;
    while (to > from && blank(text[to - 1]))
        --to;
    const QStringView digits = QStringView(text).mid(from, to - from);
    if (digits.isEmpty() || digits.size() > 9 || !IsDigits(digits))
        return std::nullopt;
    return digits.toInt();
}

TUpdateI::TUpdateI(TComponent* owner) : TForm(owner), Rename(&RenameFile)
{
    setupUi(this);
    Loaded();
    SpeedButton1->OnClick = Handler(this, &TUpdateI::SpeedButton1Click);
    SpeedButton2->OnClick = Handler(this, &TUpdateI::SpeedButton2Click);
    SetServer(DefaultUpdateServer());
}

void TUpdateI::SetServer(const QString& address)
{
    server_ = address;
    while (server_.endsWith(QLatin1Char('/')))
        server_.chop(1);
    Edit1->SetText(server_ + kProgramPath);
}

void TUpdateI::FetchRemoteVersion(int timeLimitMs)
{
    RemoteVersion.clear();
    THttpRequest http;
    http.SetTimeLimit(timeLimitMs);
    if (Progress) {
        http.SetStallLimit(StartUpInstallStallMs);
        http.SetWaitHook([p = Progress] { return p->KeepGoing(); });
    }
    if (!http.Open(server_ + kVersionPath))
        return;
    // An error page or a reply of unknown length is no answer.
    if (http.Status() != 200 || !http.ContentLength() || *http.ContentLength() > kMaxVersionReply)
        return;
    QByteArray data;
    char block[kBlock];
    for (;;) {
        const qint64 n = http.Read(block, kBlock);
        if (n < 0)
            return;
        if (n == 0)
            break;
        // A zero byte ends the text of its block.
        data.append(block, qsizetype(std::find(block, block + n, '\0') - block));
    }
    RemoteVersion = QString::fromLatin1(data);
}

void TUpdateI::CheckVersion(int timeLimitMs)
{
    FetchRemoteVersion(timeLimitMs);
    const int local = PackedVersion(Main->Caption());
    const std::optional<int> remote = ParseRemoteVersion(RemoteVersion);
    if (!remote) {
        Status = -1;
        RemoteVersion = IntToStr(local);
        return;
    }
    Status = *remote > local ? 1 : 0;
}

void TUpdateI::SpeedButton1Click(TObject*)
{
    if (Status != 1)
        return;
    // The new program's start ends this one: settle what is pending before
    // anything is fetched, not when it is too late to say no.
    if (Main && Main->isVisible() && !Main->SettlePendingWork())
        return;
    const Outcome outcome = Install();
    if (outcome == Outcome::Installed) {
        // Settled above, the document is not asked about again now that the
        // new program runs: a late "Отказ" would leave both running.
        if (OrderForm)
            OrderForm->MarkUnchanged();
        Main->Close();  // the new program runs; this one ends
        return;
    }
    if (Progress)
        Progress->Hide();
    if (outcome == Outcome::Cancelled)
        return;  // the user stopped it and knows
    QString text = QStringLiteral("Обновяването на програмата не може да бъде извършено!");
    if (outcome == Outcome::TimedOut)
        text += QStringLiteral("\nСървърът за обновяване не изпрати новата версия навреме. Програмата продължава "
                               "с досегашната си версия; опитайте отново по-късно с бутона „Обновяване“.");
    else if (outcome == Outcome::NotRunnable)
        text += QStringLiteral("\nИзтеглената нова версия не се стартира правилно и не беше инсталирана. Програмата "
                               "продължава с досегашната си версия; опитайте отново по-късно с бутона „Обновяване“.");
    MessageBox(this, text, QString(), TMsgIcon::Error);
}

void TUpdateI::SpeedButton2Click(TObject*) { Close(); }

// Downloads the new program next to the running one and swaps the two only
// when the download is complete. Anything but Installed leaves the install
// folder as it was.
TUpdateI::Outcome TUpdateI::Install()
{
    const QString address = Edit1->Text();
    const QString name = address.mid(address.lastIndexOf(QLatin1Char('/')) + 1);
    if (name.isEmpty())
        return Outcome::Failed;
    const QString dir = Application->InstallDir();
    const QString program = dir + QLatin1Char('/') + name;
    const QString old = dir + QLatin1Char('/') + kOldProgram;

    THttpRequest http;
    if (StartingUp) {
        // A slow server must not hold the start-up: the old program does.
        http.SetTimeLimit(StartUpInstallLimitMs);
        http.SetStallLimit(StartUpInstallStallMs);
    } else if (Progress) {
        // The user sees it move and may stop it; only a silent server is given up on.
        http.SetStallLimit(StartUpInstallStallMs);
        http.SetWaitHook([p = Progress] { return p->KeepGoing(); });
    }
    const auto transferFailed = [&http] {
        if (http.Cancelled())
            return Outcome::Cancelled;
        return http.TimedOut() ? Outcome::TimedOut : Outcome::Failed;
    };
    if (!http.Open(address))
        return transferFailed();
    if (http.Status() != 200 || !http.ContentLength() || *http.ContentLength() <= 0)
        return Outcome::Failed;
    const qint64 length = *http.ContentLength();

    // A leftover of an interrupted download is of no use.
    const QString downloaded = DownloadFile(program);
    QFile::remove(downloaded);
    QFile temp(downloaded);
    if (!temp.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return Outcome::Failed;
    struct RemoveUnlessKept {
        QFile& file;
        bool keep = false;
        ~RemoveUnlessKept()
        {
            if (!keep)
                file.remove();
        }
    } cleanup{temp};

    TGauge* gauge = Progress ? Progress->CGauge1 : SplashForm ? SplashForm->CGauge1 : nullptr;
    if (gauge) {
        gauge->SetProgress(0);
        gauge->SetMaxValue(GaugeValue(length));
    }
    qint64 written = 0;
    char block[kBlock];
    for (;;) {
        const qint64 n = http.Read(block, kBlock);
        if (n < 0)
            return transferFailed();  // time-out, reset, or a body shorter than announced
        if (n == 0)
            break;
        if (temp.write(block, n) != n)
            return Outcome::Failed;
        written += n;
        if (gauge)
            gauge->SetProgress(GaugeValue(written));
        if (Progress && !Progress->KeepGoing())
            return Outcome::Cancelled;
    }
    http.Close();
    if (written != length)
        return Outcome::Failed;
    // On disk before the old program is moved aside.
    if (!temp.flush() || ::fsync(temp.handle()) != 0)
        return Outcome::Failed;
    if (!temp.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                             QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser |
                             QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                             QFileDevice::ExeOther))
        return Outcome::Failed;
    // Closed before the start: a file open for writing cannot be executed.
    temp.close();
    // A program that does not run would replace one that does, for good.
    if (const Outcome checked = CheckProgram(downloaded); checked != Outcome::Installed)
        return checked;

    DeleteFile(old);  // left by an earlier update that was not started since
    const bool hadProgram = QFileInfo::exists(program);
    if (hadProgram && !Rename(program, old))
        return Outcome::Failed;
    if (!Rename(downloaded, program)) {
        if (hadProgram)
            Rename(old, program);
        return Outcome::Failed;
    }
    cleanup.keep = true;

    if (!StartProgram(program)) {
        // A new program that cannot start would be started at every launch
        // too: put the old one back, so that the file matches what runs on.
        QFile::remove(program);
        if (hadProgram)
            Rename(old, program);
        return Outcome::Failed;
    }
    return Outcome::Installed;
}

TUpdateI::Outcome TUpdateI::CheckProgram(const QString& file)
{
    const std::optional<int> expected = ParseRemoteVersion(RemoteVersion);
    if (!expected)
        return Outcome::NotRunnable;
    // Started from a folder of its own beside the program, so that a file that
    // ignores the check argument and starts as a whole program touches neither
    // the data folder nor the install folder.
    QTemporaryDir place(QFileInfo(file).absolutePath() + QStringLiteral("/.Orlendix-check-XXXXXX"));
    if (!place.isValid())
        return Outcome::NotRunnable;
    const QString copy = place.filePath(QFileInfo(Application->ExeName()).fileName());
    if (::link(QFile::encodeName(file).constData(), QFile::encodeName(copy).constData()) != 0 && !QFile::copy(file, copy))
        return Outcome::NotRunnable;
    QProcess check;
    check.setProgram(copy);
    check.setWorkingDirectory(place.path());
    check.setArguments({QStringLiteral("--version")});
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Nor may such a file show a window or update itself.
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QUARNEL_UPDATE_SERVER"), QStringLiteral("http://127.0.0.1:0"));
    check.setProcessEnvironment(env);
    check.setStandardInputFile(QProcess::nullDevice());
    check.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    check.start();
    if (!check.waitForStarted(ProgramCheckLimitMs))
        return Outcome::NotRunnable;
    const auto stop = [&check] {
        check.kill();
        check.waitForFinished(1000);
    };
    while (check.state() != QProcess::NotRunning) {
        if (check.waitForFinished(Progress ? 30 : 100))
            break;
        if (Progress && !Progress->KeepGoing()) {
            stop();
            return Outcome::Cancelled;
        }
        if (clock.elapsed() >= ProgramCheckLimitMs) {
            stop();
            return Outcome::NotRunnable;
        }
    }
    if (check.exitStatus() != QProcess::NormalExit || check.exitCode() != 0)
        return Outcome::NotRunnable;
    const std::optional<int> answer = PackedVersionAnswer(check.readAllStandardOutput());
    return answer && *answer == *expected ? Outcome::Installed : Outcome::NotRunnable;
}
