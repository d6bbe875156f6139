#include "page/doc.h"

#include "app/mainform.h"
#include "platform/strings.h"

TDoc* Doc = nullptr;

QString BgFooterLine()
{
    return QStringLiteral("Отпечатано от DOVRENTA") + QLatin1Char(' ') + QStringLiteral("2012") +
           QStringLiteral(", Кварнел ЕООД, 1000 София, ул. „Примерна“ 1, тел. 02 000 00 00, "
                          "e-mail: office@quarnel.example, www.quarnel.example");
}

TDoc::TDoc(TComponent* owner) : TForm(owner)
{
    setupUi(this);
    Loaded();
    OnCreate = Handler(this, &TDoc::FormCreate);
}

TDoc::~TDoc()
{
    // The list hangs on the main window but is this window's to free.
    if (Main && Main->BgCaptions) {
        delete Main->BgCaptions;
        Main->BgCaptions = nullptr;
    }
}

void TDoc::FormCreate(TObject*)
{
    delete Main->BgCaptions;
    Main->BgCaptions = new TStringList;
    Main->BgCaptions->Clear();
    // The design captions, read back by index when switching to Bulgarian.
    for (TLabel* l : {Label8, Label24, Label28, Label31, Label25, Label66, Label25, Label45, Label48, Label50,
                      Label64, Label69, Label12, Label36, Label6, Label4, Label58, Label27, Label44, Label43,
                      Label42, Label41, Label32, Label51, Label62, Label13})
        Main->BgCaptions->Add(l->Caption());
    Main->BgCaptions->Add(BgFooterLine());
    CurrencyPrefix.clear();
    CurrencyRate = 1.0;
}

void TDoc::RenderPage() {}
