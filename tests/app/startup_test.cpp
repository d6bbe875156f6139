// Start-up: the windows, the data folder, the eight tables and shut-down.
#include "app/mainform.h"
#include "app/startup.h"
#include "data/datamodule.h"
#include "data/tables.h"
#include "platform/application.h"
#include "platform/extctrls.h"
#include "platform/menus.h"
#include "registers/custform.h"
#include "registers/sort.h"
#include "editor/orderform.h"
#include "platform/grids.h"
#include "platform/shell.h"
#include "platform/strings.h"
#include "registers/stocks.h"
#include "registers/statform.h"
#include "registers/emp.h"
#include "registers/fillfirm.h"
#include "platform/stdctrls.h"
#include "support/test_env.h"
#include "update/update_server.h"
#include "update/updatei.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

class StartupTest : public ::testing::Test {
protected:
    QTemporaryDir dir;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ResetTestDialogs();
        Application->SetExeName(dir.path() + QStringLiteral("/Orlendix"));
    }

    void TearDown() override
    {
        DestroyAllWindows();
        Application->SetExeName(QString());
        SetShellRecorderForTests(nullptr);
    }

    QString Path(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }
    QString DefaultFolder() const { return Path(QStringLiteral("DB")); }

    static void WriteBytes(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    static QByteArray ReadBytes(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    static void AddCompanies(const QString& folder, int count)
    {
        TTable firm;
        firm.SetDatabaseName(folder);
        firm.SetTableName(QStringLiteral("Firm.db"));
        firm.Open();
        for (int i = 1; i <= count; ++i) {
            firm.Append();
            firm.FieldByName(QStringLiteral("ДОСТАВЧИК"))->SetText(QStringLiteral("Фирма %1").arg(i));
            firm.Post();
        }
    }

    static void AddGoods(const QString& folder, const QString& description)
    {
        TTable stock;
        stock.SetDatabaseName(folder);
        stock.SetTableName(QStringLiteral("stock.db"));
        stock.Open();
        stock.Append();
        stock.FieldByName(QStringLiteral("Описание на стока/услуга"))->SetAsMemo(description);
        stock.FieldByName(QStringLiteral("Мярка"))->SetText(QStringLiteral("бр."));
        stock.Post();
    }

    static int Boxes() { return static_cast<int>(TestDialogs().boxes.size()); }
};

TEST_F(StartupTest, FirstStartCreatesAeDbAndOpensAllEightTables)
{
    CreateShippedTables(DefaultFolder());
    ASSERT_FALSE(QFile::exists(DefaultFolder() + QStringLiteral("/ae.db")));

    CreateAllWindows();

    EXPECT_TRUE(QFile::exists(DefaultFolder() + QStringLiteral("/ae.db")));
    for (TTable* t : DataModule1->Tables())
        EXPECT_TRUE(t->Active()) << t->Name().toStdString();
    ASSERT_EQ(DataModule1->Tableae->FieldCount(), 6);
    const QStringList names = {"VOP", "Supplier", "Address", "Resp.Person", "Place of publishment", "logo"};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(DataModule1->Tableae->Fields(i)->FieldName(), names[i]);
    EXPECT_EQ(DataModule1->Folder(), DefaultFolder());
    EXPECT_TRUE(Main->SpeedButton4->Visible());
    EXPECT_EQ(Boxes(), 0);
}

TEST_F(StartupTest, LeftoverOfTheLastUpdateIsDeleted)
{
    CreateShippedTables(DefaultFolder());
    WriteBytes(Path(QStringLiteral("Orlendixold")), "old program");
    WriteBytes(Path(QStringLiteral("Orlendix.download")), "half of a download killed with the program");
    CreateAllWindows();
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral("Orlendixold"))));
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral("Orlendix.download"))));
}

TEST_F(StartupTest, AnUpdateTricklingInIsGivenUpAndTheOldProgramStarts)
{
    CreateShippedTables(DefaultFolder());
    WriteBytes(Path(QStringLiteral("Orlendix")), "old program");
    UpdateServer server;
    server.ServeFile("/VORNASOFT3/Orlendix.txt", "36811");
    // A byte every 50 ms: 20 s for what it sends, days for what it announces.
    server.Serve("/VORNASOFT3/Orlendix", [](int fd, const std::atomic<bool>& stop) {
        UpdateServer::Send(fd, UpdateServer::Head(200, "Content-Length: 50000000\r\n"));
        for (int i = 0; i < 400 && !stop && UpdateServer::Send(fd, "x"); ++i)
            QThread::msleep(50);
    });
    const QByteArray savedServer = qgetenv("QUARNEL_UPDATE_SERVER");
    qputenv("QUARNEL_UPDATE_SERVER", server.Address().toUtf8());
    const int savedLimit = TUpdateI::StartUpInstallLimitMs;
    TUpdateI::StartUpInstallLimitMs = 1000;

    QElapsedTimer clock;
    clock.start();
    CreateAllWindows();
    const qint64 took = clock.elapsed();
    TUpdateI::StartUpInstallLimitMs = savedLimit;
    qputenv("QUARNEL_UPDATE_SERVER", savedServer);

    EXPECT_LT(took, 10000);
    ASSERT_EQ(Boxes(), 1);
    EXPECT_TRUE(TestDialogs().boxes[0].text.startsWith(
        QStringLiteral("Обновяването на програмата не може да бъде извършено!\nСървърът за обновяване не изпрати")));
    // Started as usual, with the old program in its place.
    for (TTable* t : DataModule1->Tables())
        EXPECT_TRUE(t->Active()) << t->Name().toStdString();
    EXPECT_TRUE(Main->SpeedButton4->Visible());
    EXPECT_NE(StatForm, nullptr);
    EXPECT_EQ(ReadBytes(Path(QStringLiteral("Orlendix"))), "old program");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Orlendix")});
}

TEST_F(StartupTest, NetworkFileChoosesTheDataFolder)
{
    // A Cyrillic folder name, stored in Windows-1251 with CR LF as the file is.
    const QString other = Path(QStringLiteral("Данни"));
    CreateShippedTables(DefaultFolder());
    CreateShippedTables(other);
    WriteBytes(Path(QStringLiteral("network.txt")), EncodeCp1251(other) + "\r\nignored\r\n");

    CreateAllWindows();

    EXPECT_EQ(DataModule1->Folder(), other);
    EXPECT_TRUE(DataModule1->store->Active());
    EXPECT_EQ(Boxes(), 0);
}

TEST_F(StartupTest, MissingNetworkFolderFallsBackToTheDefaultAndSaysSo)
{
    CreateShippedTables(DefaultFolder());
    const QString missing = Path(QStringLiteral("нямаја"));
    WriteBytes(Path(QStringLiteral("network.txt")), EncodeCp1251(missing) + "\r\n");

    CreateAllWindows();

    EXPECT_EQ(DataModule1->Folder(), DefaultFolder());
    for (TTable* t : DataModule1->Tables())
        EXPECT_TRUE(t->Active());
    ASSERT_EQ(Boxes(), 1);
    EXPECT_TRUE(TestDialogs().boxes[0].text.contains(QStringLiteral("„нямаја“")));
    EXPECT_TRUE(TestDialogs().boxes[0].text.contains(QStringLiteral("не е намерена")));
    EXPECT_TRUE(TestDialogs().boxes[0].text.contains(QStringLiteral("„DB“")));
    EXPECT_FALSE(TestDialogs().boxes[0].text.contains(Path(QString())));
    EXPECT_EQ(TestDialogs().boxes[0].caption, QStringLiteral("Quarnel"));
    EXPECT_TRUE(Main->SpeedButton4->Visible());
}

TEST_F(StartupTest, AMissingChosenFolderIsNamedWithItsReasonAndNoEmptyRegisterTakesItsPlace)
{
    WriteBytes(Path(QStringLiteral("network.txt")), EncodeCp1251(Path(QStringLiteral("Share"))) + "\r\n");

    CreateAllWindows();

    // No default folder was laid out: documents would start again from number 1.
    EXPECT_FALSE(QFileInfo::exists(DefaultFolder()));
    EXPECT_FALSE(DataModule1->store->Active());
    ASSERT_EQ(Boxes(), 1);
    const QString text = TestDialogs().boxes[0].text;
    EXPECT_TRUE(text.contains(QStringLiteral("„Share“"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("не е намерена"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("по подразбиране „DB“ също не е намерена"))) << text.toStdString();
    EXPECT_FALSE(text.contains(Path(QString()))) << text.toStdString();
    EXPECT_TRUE(Main->SpeedButton4->Visible());
}

TEST_F(StartupTest, EmptyFirstLineOfNetworkFileIsAnEmptyFolderName)
{
    CreateShippedTables(DefaultFolder());
    WriteBytes(Path(QStringLiteral("network.txt")), "\r\n" + EncodeCp1251(DefaultFolder()) + "\r\n");
    // An empty folder name is the working directory, which holds no tables.
    QTemporaryDir cwd;
    const QString before = QDir::currentPath();
    QDir::setCurrent(cwd.path());

    CreateAllWindows();
    QDir::setCurrent(before);

    EXPECT_EQ(DataModule1->Folder(), DefaultFolder());
    ASSERT_EQ(Boxes(), 1);  // the fall-back is reported, not silent
    EXPECT_TRUE(TestDialogs().boxes[0].text.contains(QStringLiteral("„“")));
}

TEST_F(StartupTest, ATableThatIsNoDatabaseIsNamedAndTheWorkplaceButtonStaysUsable)
{
    CreateShippedTables(DefaultFolder());
    WriteBytes(DefaultFolder() + QStringLiteral("/Store.DB"), QByteArray(4096, 'x'));

    CreateAllWindows();

    ASSERT_EQ(Boxes(), 1);
    const QString text = TestDialogs().boxes[0].text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("Не могат да се заредят база данните!\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("„Store.DB“"))) << text.toStdString();
    for (const char* foreign : {"BDE", "Windows", "Control Panel", "Start->"})
        EXPECT_FALSE(text.contains(QLatin1String(foreign))) << text.toStdString();
    EXPECT_FALSE(text.contains(DefaultFolder())) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("„Работно място“"))) << text.toStdString();
    EXPECT_EQ(TestDialogs().boxes[0].icon, TMsgIcon::None);
    ASSERT_NE(Main, nullptr);
    EXPECT_TRUE(Main->SpeedButton4->Visible());
    // The tables before the broken one stay open, the rest closed.
    EXPECT_TRUE(DataModule1->employee->Active());
    EXPECT_FALSE(DataModule1->store->Active());
    EXPECT_FALSE(DataModule1->Tableae->Active());
    // A later use of a closed table is reported, and the window stays usable.
    EXPECT_THROW(DataModule1->store->RecordCount(), EDatabaseError);
}

TEST_F(StartupTest, ACopiedProgramWithNoDataFolderLaysItOutAndStarts)
{
    ASSERT_FALSE(QFileInfo::exists(DefaultFolder()));

    CreateAllWindows();

    EXPECT_EQ(Boxes(), 0) << (Boxes() ? TestDialogs().boxes[0].text.toStdString() : std::string());
    EXPECT_EQ(DataModule1->Folder(), DefaultFolder());
    for (TTable* t : DataModule1->Tables())
        EXPECT_TRUE(t->Active()) << t->TableName().toStdString();
    for (const TableDefinition& def : TableDefinitions())
        EXPECT_TRUE(QFileInfo::exists(DefaultFolder() + QLatin1Char('/') + def.fileName)) << def.fileName.toStdString();
    EXPECT_TRUE(Main->SpeedButton4->Visible());
    Main->SpeedButton3->Click();
    EXPECT_TRUE(Stocks->Visible());
    EXPECT_EQ(Boxes(), 0);

}

TEST_F(StartupTest, WithADamagedFolderTheWindowsSayItIsNotOpenUntilAnotherIsChosen)
{
    CreateShippedTables(DefaultFolder());
    WriteBytes(DefaultFolder() + QStringLiteral("/Store.DB"), QByteArray(4096, 'x'));
    const QByteArray damaged = ReadBytes(DefaultFolder() + QStringLiteral("/Store.DB"));
    CreateAllWindows();
    ResetTestDialogs();

    const std::vector<std::pair<const char*, std::function<void()>>> needTables = {
        {"Статистика", [] { Main->N9Click(Main); }},
        {"Стоки и Услуги", [] { Main->SpeedButton3->Click(); }},
        {"Служители", [] { Main->SpeedButton1->Click(); }},
        {"Моите фирмени детайли", [] { Main->SpeedButton5->Click(); }},
    };
    for (const auto& [name, open] : needTables) {
        SCOPED_TRACE(name);
        ResetTestDialogs();
        open();
        ASSERT_EQ(Boxes(), 1);
        EXPECT_TRUE(TestDialogs().boxes[0].text.startsWith(QStringLiteral("Папката с данни не е отворена")));
        EXPECT_TRUE(TestDialogs().boxes[0].text.contains(QStringLiteral("„Работно място“")));
    }
    EXPECT_FALSE(StatForm->Visible());
    EXPECT_FALSE(Stocks->Visible());
    EXPECT_FALSE(Emp->Visible());
    EXPECT_FALSE(FillFirm->Visible());

    // Another damaged folder first: its own file is named and nothing breaks.
    const QString other = Path(QStringLiteral("other"));
    CreateShippedTables(other);
    WriteBytes(other + QStringLiteral("/customer.db"), QByteArray(4096, 'y'));
    ResetTestDialogs();
    TestDialogs().folders.push_back(other);
    Main->SpeedButton4->Click();
    ASSERT_EQ(Boxes(), 1);
    EXPECT_TRUE(TestDialogs().boxes[0].text.contains(QStringLiteral("„customer.db“"))) << TestDialogs().boxes[0].text.toStdString();
    EXPECT_FALSE(QFileInfo::exists(Path(QStringLiteral("network.txt"))));

    // Then a good one: the tables open, it is remembered and the windows open.
    const QString good = Path(QStringLiteral("good"));
    CreateShippedTables(good);
    AddGoods(good, QStringLiteral("Хартия А4"));
    ResetTestDialogs();
    TestDialogs().folders.push_back(good);
    Main->SpeedButton4->Click();
    EXPECT_EQ(Boxes(), 0);
    EXPECT_EQ(DataModule1->Folder(), good);
    for (TTable* t : DataModule1->Tables())
        EXPECT_TRUE(t->Active());
    EXPECT_EQ(ReadBytes(Path(QStringLiteral("network.txt"))), EncodeCp1251(good) + "\r\n");
    Main->SpeedButton3->Click();
    Main->SpeedButton1->Click();
    EXPECT_EQ(Boxes(), 0);
    EXPECT_TRUE(Stocks->Visible());
    EXPECT_TRUE(Emp->Visible());
    EXPECT_EQ(Stocks->StringGrid1->Cells(0, 1), QStringLiteral("Хартия А4"));
    // The damaged file was left as it was.
    EXPECT_EQ(ReadBytes(DefaultFolder() + QStringLiteral("/Store.DB")), damaged);
}

TEST_F(StartupTest, WithTheTablesClosedANewDocumentIsRefusedOnceAndTheProgramStillEnds)
{
    CreateShippedTables(DefaultFolder());
    WriteBytes(DefaultFolder() + QStringLiteral("/customer.db"), QByteArray(4096, 'x'));
    CreateAllWindows();
    ASSERT_EQ(Boxes(), 1);  // the start-up message, and no error of a later window
    ResetTestDialogs();
    Main->Show();
    const QString caption = OrderForm->Caption();

    Main->OrderBtn->Click();
    ASSERT_EQ(Boxes(), 1);
    EXPECT_TRUE(TestDialogs().boxes[0].text.startsWith(QStringLiteral("Папката с данни не е отворена")));
    EXPECT_FALSE(OrderForm->Visible());
    EXPECT_EQ(OrderForm->Caption(), caption);

    // The editor open as well: closing the main window ends the event loop.
    OrderForm->Show();
    bool stuck = false;
    QTimer::singleShot(0, Main, [] { Main->Close(); });
    // A timer of this test's own, so that it cannot fire in a later test.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&stuck] {
        stuck = true;
        QCoreApplication::exit(1);
    });
    guard.start(5000);
    Application->Run();
    EXPECT_FALSE(stuck);
    EXPECT_TRUE(Application->Terminated());
    EXPECT_EQ(Boxes(), 1);
    OrderForm->Close();
    EXPECT_EQ(Boxes(), 1);
}

TEST_F(StartupTest, AeDbIsPaddedToTheLengthOfFirmDb)
{
    CreateShippedTables(DefaultFolder());
    AddCompanies(DefaultFolder(), 3);

    CreateAllWindows();
    EXPECT_EQ(DataModule1->Tableae->RecordCount(), 3);
    EXPECT_EQ(DataModule1->firm->RecordCount(), 3);

    // A second start changes nothing more.
    DestroyAllWindows();
    CreateAllWindows();
    EXPECT_EQ(DataModule1->Tableae->RecordCount(), 3);
}

// English records that belong to no company would become the twins of the next ones added.
TEST_F(StartupTest, AeDbLongerThanFirmDbIsReportedAndItsExtraRecordsSetAside)
{
    CreateShippedTables(DefaultFolder());
    AddCompanies(DefaultFolder(), 1);
    CreateAllWindows();
    for (const char* name : {"First Ltd", "Stray Ltd"}) {
        DataModule1->Tableae->Append();
        DataModule1->Tableae->FieldByName(QStringLiteral("Supplier"))->SetText(QString::fromUtf8(name));
        DataModule1->Tableae->Post();
    }
    ASSERT_EQ(DataModule1->Tableae->RecordCount(), 3);  // the padded twin of company 1, then two more
    DestroyAllWindows();
    TestDialogs().boxes.clear();

    CreateAllWindows();
    ASSERT_EQ(Boxes(), 1);
    EXPECT_TRUE(TestDialogs().boxes[0].text.contains(QStringLiteral("First Ltd, Stray Ltd")));
    EXPECT_FALSE(TestDialogs().boxes[0].text.contains(DefaultFolder()));
    EXPECT_EQ(DataModule1->Tableae->RecordCount(), 1);
    EXPECT_EQ(DataModule1->firm->RecordCount(), 1);
    TTable copy;
    copy.SetDatabaseName(DefaultFolder());
    copy.SetTableName(QStringLiteral("ae.db.bak"));
    copy.Open();
    EXPECT_EQ(copy.RecordCount(), 3);
    copy.Close();

    // In step again: a second start says nothing.
    DestroyAllWindows();
    CreateAllWindows();
    EXPECT_EQ(Boxes(), 1);
}

class WorkplaceTest : public StartupTest {
protected:
    void SetUp() override
    {
        StartupTest::SetUp();
        CreateShippedTables(DefaultFolder());
        CreateAllWindows();
        TestDialogs().boxes.clear();
    }
};

TEST_F(WorkplaceTest, CancelChangesNothing)
{
    Main->SpeedButton4->Click();
    EXPECT_EQ(DataModule1->Folder(), DefaultFolder());
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral("network.txt"))));
    EXPECT_EQ(Boxes(), 0);
}

TEST_F(WorkplaceTest, AFolderThatDoesNotOpenKeepsThePreviousOneAndNetworkFile)
{
    const QString broken = Path(QStringLiteral("broken"));
    QDir().mkpath(broken);  // no customer.db there
    WriteBytes(Path(QStringLiteral("network.txt")), EncodeCp1251(DefaultFolder()) + "\r\n");
    const QByteArray before = ReadBytes(Path(QStringLiteral("network.txt")));
    TestDialogs().folders.push_back(broken);

    Main->SpeedButton4->Click();

    EXPECT_EQ(DataModule1->Folder(), DefaultFolder());
    for (TTable* t : DataModule1->Tables())
        EXPECT_TRUE(t->Active());
    EXPECT_EQ(ReadBytes(Path(QStringLiteral("network.txt"))), before);
    ASSERT_EQ(Boxes(), 1);
    // The folder by its name, as the chooser shows it, never its whole path.
    EXPECT_TRUE(TestDialogs().boxes[0].text.contains(QStringLiteral("„broken“")));
    EXPECT_FALSE(TestDialogs().boxes[0].text.contains(Path(QString())));
    EXPECT_TRUE(Application->MainForm() && !Application->Terminated());
    // The chooser was offered the folder network.txt names.
    ASSERT_FALSE(TestDialogs().calls.empty());
    EXPECT_EQ(TestDialogs().calls.front(),
              QStringLiteral("SelectDirectory:Изберете директория, където ще работите с Вашите база данни:|Работно място|") +
                  DefaultFolder());
}

TEST_F(WorkplaceTest, AFolderThatCannotBeWrittenToNetworkFileIsLeftAtOnce)
{
    const QString other = Path(QStringLiteral("other"));
    CreateShippedTables(other);
    AddGoods(other, QStringLiteral("Чужда стока"));
    QDir().mkpath(Path(QStringLiteral("network.txt")));  // cannot be replaced by a file
    TestDialogs().folders.push_back(other);

    Main->SpeedButton4->Click();

    EXPECT_EQ(DataModule1->Folder(), DefaultFolder());
    for (TTable* t : DataModule1->Tables())
        EXPECT_TRUE(t->Active());
    EXPECT_EQ(DataModule1->stock->RecordCount(), 0);
    EXPECT_EQ(Stocks->StringGrid1->Cells(0, 1), QString());
    ASSERT_EQ(Boxes(), 1);
    EXPECT_TRUE(TestDialogs().boxes[0].text.contains(QStringLiteral("„other“")));
    EXPECT_TRUE(TestDialogs().boxes[0].text.contains(QStringLiteral("„DB“")));
    EXPECT_FALSE(TestDialogs().boxes[0].text.contains(Path(QString())));
}

TEST_F(WorkplaceTest, AGoodFolderIsOpenedWrittenToNetworkFileAndRefillsTheGoodsList)
{
    const QString other = Path(QStringLiteral("Склад"));
    CreateShippedTables(other);
    AddGoods(other, QStringLiteral("Хартия А4"));
    TestDialogs().folders.push_back(other);

    Main->SpeedButton4->Click();

    EXPECT_EQ(DataModule1->Folder(), other);
    EXPECT_EQ(ReadBytes(Path(QStringLiteral("network.txt"))), EncodeCp1251(other) + "\r\n");
    EXPECT_TRUE(QFile::exists(other + QStringLiteral("/ae.db")));
    EXPECT_EQ(Stocks->StringGrid1->Cells(0, 1), QStringLiteral("Хартия А4"));
    EXPECT_EQ(Stocks->StringGrid1->Cells(1, 1), QStringLiteral("бр."));
    EXPECT_EQ(Boxes(), 0);
}

TEST_F(StartupTest, GoodsListHasAHeaderAndOneEmptyRowForAnEmptyTable)
{
    CreateShippedTables(DefaultFolder());
    CreateAllWindows();
    Main->SpeedButton3->Click();
    EXPECT_EQ(Stocks->StringGrid1->RowCount(), 2);
    EXPECT_EQ(Stocks->StringGrid1->Cells(0, 1), QString());
    EXPECT_TRUE(Stocks->Visible());
}

TEST_F(StartupTest, ClosingByExitButtonOrCloseBoxEndsTheProgram)
{
    CreateShippedTables(DefaultFolder());
    for (int way = 0; way < 2; ++way) {
        CreateAllWindows();
        Main->Show();
        if (way == 0) {
            Main->SpeedButton2->Click();
        } else {
            QCloseEvent e;
            QCoreApplication::sendEvent(Main, &e);
        }
        EXPECT_TRUE(Application->Terminated()) << way;
        EXPECT_FALSE(Main->Visible()) << way;
        Application->Run();  // ends at once: the main window is already closed
        EXPECT_EQ(Boxes(), 0);
        DestroyAllWindows();
    }
}

TEST_F(StartupTest, MainWindowIsCentredHorizontallyAtTheTop)
{
    CreateShippedTables(DefaultFolder());
    CreateAllWindows();
    for (int width : {615, 616, 617}) {
        Main->SetWidth(width);
        Main->FormCreate(Main);
        EXPECT_EQ(Main->Left(), Screen->Width() / 2 - width / 2) << width;
        EXPECT_EQ(Main->Top(), 2);
    }
    EXPECT_EQ(Main->Caption(), QStringLiteral("Quarnel + Dovrenta 2012 - version 3.6.8.10"));
}

TEST_F(StartupTest, WindowsDesignedCentredOpenCentredOnTheScreen)
{
    CreateShippedTables(DefaultFolder());
    CreateAllWindows();
    Main->SpeedButton3->Click();  // goods
    Main->SpeedButton7->Click();  // customers
    Main->ReportBtn->Click();     // register
    for (TForm* f : std::initializer_list<TForm*>{Stocks, CustForm, Sort}) {
        ASSERT_TRUE(f->Visible()) << f->Name().toStdString();
        const QRect frame = f->frameGeometry();
        if (frame.width() > Screen->Width() || frame.height() > Screen->Height())
            continue;  // larger than the test screen: the window system keeps it on screen
        EXPECT_NEAR(frame.center().x(), Screen->Width() / 2, 1) << f->Name().toStdString();
        EXPECT_NEAR(frame.center().y(), Screen->Height() / 2, 1) << f->Name().toStdString();
    }
    EXPECT_NE(Stocks->Left(), 0);
    EXPECT_TRUE(Stocks->StayOnTop);
    EXPECT_FALSE(Sort->StayOnTop);
}

TEST_F(StartupTest, ManualOpensOnlyWhenItExists)
{
    CreateShippedTables(DefaultFolder());
    CreateAllWindows();
    QStringList opened;
    SetShellRecorderForTests([&](const QString& verb, const QString& path) { opened << verb + QLatin1Char(' ') + path; });

    Main->N8Click(Main);
    EXPECT_TRUE(opened.isEmpty());
    WriteBytes(Path(QStringLiteral("Help.pdf")), "%PDF-1.4");
    Main->N8Click(Main);
    EXPECT_EQ(opened, QStringList{QStringLiteral("open ") + Path(QStringLiteral("Help.pdf"))});
    EXPECT_EQ(Boxes(), 0);
}

}  // namespace

namespace {

TEST_F(StartupTest, StatisticsCompanyChooserListsTheCompaniesOfTheFolderInUse)
{
    // Created after the tables are open, so it sees the folder network.txt names.
    const QString other = Path(QStringLiteral("other"));
    CreateShippedTables(DefaultFolder());
    CreateShippedTables(other);
    AddCompanies(DefaultFolder(), 1);
    AddCompanies(other, 2);
    WriteBytes(Path(QStringLiteral("network.txt")), EncodeCp1251(other) + "\r\n");

    CreateAllWindows();

    ASSERT_EQ(StatForm->DBComboBox1->Items()->Count(), 2);
    EXPECT_EQ(StatForm->DBComboBox1->Items()->Strings(1), QStringLiteral("Фирма 2"));
    EXPECT_EQ(StatForm->DBComboBox1->Text(), QStringLiteral("Собствена фирма..."));
}

}  // namespace

namespace {

TEST_F(StartupTest, GoodsListRowIsAlwaysTheGoodsRecordAndFollowsItsEvents)
{
    CreateShippedTables(DefaultFolder());
    CreateAllWindows();
    TTable* stock = DataModule1->stock;
    const struct { const char* name; const char* unit; const char* qty; const char* price; } goods[] = {
        {"Хартия А4\nкашон", "кш.", "12", "9,5"}, {"Тонер", "бр.", "3", "120"}, {"Услуга", "", "", ""}};
    for (const auto& g : goods) {
        stock->Append();
        stock->FieldByName(QStringLiteral("Описание на стока/услуга"))->SetAsMemo(QString::fromUtf8(g.name));
        stock->FieldByName(QStringLiteral("Мярка"))->SetText(QString::fromUtf8(g.unit));
        stock->FieldByName(QStringLiteral("К-во"))->SetText(QString::fromUtf8(g.qty));
        stock->FieldByName(QStringLiteral("Продажна цена"))->SetText(QString::fromUtf8(g.price));
        stock->Post();  // each post refills the list
    }
    stock->SetRecNo(2);
    DataModule1->RefreshStockGrid();

    TStringGrid* grid = Stocks->StringGrid1;
    ASSERT_EQ(grid->RowCount(), 4);
    EXPECT_EQ(grid->Cells(0, 1), QStringLiteral("Хартия А4\r\nкашон"));  // as the memo gives it
    EXPECT_EQ(grid->Cells(1, 1), QStringLiteral("кш."));
    EXPECT_EQ(grid->Cells(2, 1), QStringLiteral("12"));
    EXPECT_EQ(grid->Cells(0, 2), QStringLiteral("Тонер"));
    EXPECT_EQ(grid->Cells(2, 3), QString());
    EXPECT_EQ(stock->RecNo(), 2);  // the walk puts the current record back
    // A price shows in the money display form, without a currency sign.
    EXPECT_TRUE(grid->Cells(3, 2).startsWith(QStringLiteral("120"))) << grid->Cells(3, 2).toStdString();

    // Deleting a record refills the list at once.
    stock->SetRecNo(1);
    stock->Delete();
    ASSERT_EQ(grid->RowCount(), 3);
    EXPECT_EQ(grid->Cells(0, 1), QStringLiteral("Тонер"));
    // The description field's text is the whole description, not a placeholder.
    stock->SetRecNo(1);
    EXPECT_EQ(stock->FieldByName(QStringLiteral("Описание на стока/услуга"))->Text(), QStringLiteral("Тонер"));
}

}  // namespace

namespace {

TEST_F(StartupTest, EveryButtonAndMenuItemRunsWithoutAnError)
{
    CreateShippedTables(DefaultFolder());
    CreateAllWindows();
    ResetTestDialogs();
    for (TSpeedButton* b : {Main->OrderBtn, Main->ReportBtn, Main->SpeedButton7, Main->SpeedButton3,
                            Main->SpeedButton1, Main->SpeedButton5})
        b->Click();
    EXPECT_EQ(Boxes(), 0);
    EXPECT_TRUE(OrderForm->Visible());
    EXPECT_TRUE(CustForm->Visible());

    // Every menu item but the ones that ask something or end the program.
    QStringList clicked;
    TMenuItem* bar = Main->MainMenu->Items();
    ASSERT_EQ(bar->Count(), 3);
    for (int i = 0; i < bar->Count(); ++i)
        for (int j = 0; j < bar->Items(i)->Count(); ++j) {
            TMenuItem* item = bar->Items(i)->Items(j);
            if (item->IsLine() || item->Caption() == QStringLiteral("Обновяване") ||
                item->Caption() == QStringLiteral("Настройки на принтера"))
                continue;
            item->Click();
            clicked << item->Caption();
        }
    EXPECT_EQ(clicked.size(), 8);
    EXPECT_EQ(Boxes(), 0);
    EXPECT_FALSE(Application->Terminated());

    // The update check from the menu says that the server is not reachable.
    Main->SpeedButton9->Click();
    ASSERT_EQ(Boxes(), 1);
    EXPECT_EQ(TestDialogs().boxes[0].text, QStringLiteral("Няма връзка със сървъра!"));
    EXPECT_EQ(TestDialogs().boxes[0].caption, QStringLiteral("Quarnel"));
}

}  // namespace
