#include "app/startup.h"

#include "app/mainform.h"
#include "app/splash.h"
#include "data/datamodule.h"
#include "editor/calc.h"
#include "editor/orderform.h"
#include "page/doc.h"
#include "page/prtd.h"
#include "platform/application.h"
#include "registers/custform.h"
#include "registers/editcust.h"
#include "registers/editstock.h"
#include "registers/emp.h"
#include "registers/fillfirm.h"
#include "registers/sort.h"
#include "registers/statform.h"
#include "registers/stocks.h"
#include "update/updatei.h"

#include <QtGlobal>

void CreateAllWindows()
{
    // Each creation handler may reach into the windows created before it.
    Application->CreateForm(Main);
    Application->CreateForm(OrderForm);
    Application->CreateForm(UpdateI);
    RemoveLeftoverDownload();  // of an update killed half way
    Application->CreateForm(DataModule1);  // update check and tables, under the splash
    Application->CreateForm(Doc);
    Application->CreateForm(Stocks);
    Application->CreateForm(EditStockForm);
    Application->CreateForm(Form1);
    Application->CreateForm(Emp);
    Application->CreateForm(FillFirm);
    Application->CreateForm(Sort);
    Application->CreateForm(CustForm);
    Application->CreateForm(EditCustForm);
    Application->CreateForm(StatForm);
    Application->CreateForm(PrtD);
}

void DestroyAllWindows()
{
    Application->DestroyComponents();
    Main = nullptr;
    OrderForm = nullptr;
    UpdateI = nullptr;
    DataModule1 = nullptr;
    Doc = nullptr;
    Stocks = nullptr;
    EditStockForm = nullptr;
    Form1 = nullptr;
    Emp = nullptr;
    FillFirm = nullptr;
    Sort = nullptr;
    CustForm = nullptr;
    EditCustForm = nullptr;
    StatForm = nullptr;
    PrtD = nullptr;
}

int WinMain()
{
    Q_INIT_RESOURCE(app);
    try {
        SplashForm = new TSplashForm(Application);
        SplashForm->Show();
        SplashForm->Update();
        Application->Initialize();
        Application->Title = QStringLiteral("Quarnel");
        CreateAllWindows();
        SplashForm->Hide();
        SplashForm->Close();
        Application->Run();
    } catch (const Exception& e) {
        Application->ShowException(e);
    } catch (...) {
        Application->ShowException(Exception());
    }
    DestroyAllWindows();
    delete SplashForm;
    SplashForm = nullptr;
    return 0;
}
