#include "app/mainform.h"

#include "data/datamodule.h"
#include "editor/orderform.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "platform/menus.h"
#include "platform/shell.h"
#include "registers/custform.h"
#include "registers/emp.h"
#include "registers/fillfirm.h"
#include "registers/sort.h"
#include "registers/stocks.h"

#include <QApplication>

TMain* Main = nullptr;

TMain::TMain(TComponent* owner) : TForm(owner)
{
    setupUi(this);
    Loaded();
    BuildMenu();
    OnCreate = Handler(this, &TMain::FormCreate);
    OnClose = Handler(this, &TMain::FormClose);
    OnCloseQuery = Handler(this, &TMain::FormCloseQuery);
    OrderBtn->OnClick = Handler(this, &TMain::OrderBtnClick);
    ReportBtn->OnClick = Handler(this, &TMain::ReportBtnClick);
    SpeedButton7->OnClick = Handler(this, &TMain::SpeedButton7Click);
    SpeedButton3->OnClick = Handler(this, &TMain::SpeedButton3Click);
    SpeedButton1->OnClick = Handler(this, &TMain::SpeedButton1Click);
    SpeedButton5->OnClick = Handler(this, &TMain::SpeedButton5Click);
    SpeedButton9->OnClick = Handler(this, &TMain::SpeedButton9Click);
    SpeedButton4->OnClick = Handler(this, &TMain::SpeedButton4Click);
    SpeedButton2->OnClick = Handler(this, &TMain::SpeedButton2Click);
}

void TMain::BuildMenu()
{
    MainMenu = new TMainMenu(this);
    TMenuItem* docs = MainMenu->Items()->Add(QStringLiteral("Документи"));
    docs->Add(QStringLiteral("Нов документ"), Handler(this, &TMain::OrderBtnClick));
    docs->Add(QStringLiteral("-"));
    docs->Add(QStringLiteral("Печат на документ"), Handler(this, &TMain::ReportBtnClick));
    docs->Add(QStringLiteral("Настройки на принтера"), Handler(this, &TMain::FilePrinterSetupClick));
    TMenuItem* view = MainMenu->Items()->Add(QStringLiteral("Изглед"));
    view->Add(QStringLiteral("Клиенти"), Handler(this, &TMain::SpeedButton7Click));
    view->Add(QStringLiteral("Стоки и Услуги"), Handler(this, &TMain::SpeedButton3Click));
    view->Add(QStringLiteral("Служители"), Handler(this, &TMain::SpeedButton1Click));
    view->Add(QStringLiteral("Моите фирмени детайли"), Handler(this, &TMain::SpeedButton5Click));
    view->Add(QStringLiteral("-"));
    view->Add(QStringLiteral("Статистика"), Handler(this, &TMain::N9Click));
    view->Add(QStringLiteral("-"));
    TMenuItem* help = MainMenu->Items()->Add(QStringLiteral("Помощ"));
    help->Add(QStringLiteral("Обновяване"), Handler(this, &TMain::SpeedButton9Click));
    help->Add(QStringLiteral("-"));
    help->Add(QStringLiteral("Ръководство"), Handler(this, &TMain::N8Click));
    MainMenu->AttachTo(this);
}

void TMain::FormCreate(TObject*)
{
    // Centred horizontally at the top; both halves truncate toward zero.
    SetLeft(Screen->Width() / 2 - Width() / 2);
    SetTop(2);
}

void TMain::FormClose(TObject*, TCloseAction&)
{
    Application->Terminate();
}

void TMain::FormCloseQuery(TObject*, bool& CanClose)
{
    if (!SettlePendingWork())
        CanClose = false;
}

bool TMain::SettlePendingWork()
{
    // The open document's question comes first.
    if (OrderForm && !OrderForm->ConfirmLeaveDocument())
        return false;
    // Every window, shown or not, stores or refuses what is typed in it.
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* form = dynamic_cast<TForm*>(w);
        if (!form || form == this || form == OrderForm)
            continue;
        if (!form->CloseQuery())
            return false;
    }
    // What no window took care of (the editor's currency row among them): a
    // record still being edited is stored, a new one nothing was typed into
    // is dropped.
    if (!DataModule1)
        return true;
    for (TTable* t : DataModule1->Tables()) {
        if (!t->Editing())
            continue;
        try {
            t->Refresh();
        } catch (const Exception& e) {
            MessageBox(this, e.Message, QString(), TMsgIcon::Error, TMsgButtons::Ok);
            return false;
        }
    }
    return true;
}

void TMain::ReportBtnClick(TObject*) { Sort->Show(); }

void TMain::SpeedButton7Click(TObject*)
{
    CustForm->Show();
    DataModule1->cust->Refresh();
}

void TMain::SpeedButton3Click(TObject*)
{
    if (!DataModule1->CheckTablesOpen())
        return;  // an empty window would look like an empty folder
    DataModule1->RefreshStockGrid();
    Stocks->Show();
}

void TMain::SpeedButton1Click(TObject*)
{
    if (DataModule1->CheckTablesOpen())
        Emp->Show();
}

void TMain::SpeedButton5Click(TObject*)
{
    if (DataModule1->CheckTablesOpen())
        FillFirm->Show();
}
void TMain::SpeedButton9Click(TObject*) { CheckForUpdate(true); }
void TMain::SpeedButton2Click(TObject*) { Close(); }

void TMain::FilePrinterSetupClick(TObject*) { Dialogs()->PrinterSetup(this); }

void TMain::N9Click(TObject* Sender)
{
    if (DataModule1->CheckTablesOpen())
        Sort->Button1Click(Sender);
}

void TMain::N8Click(TObject*) { ShellOpen(InstallPath(QStringLiteral("Help.pdf"))); }
