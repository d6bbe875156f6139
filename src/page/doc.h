#pragma once

#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/graphics.h"
#include "platform/grids.h"
#include "platform/stdctrls.h"

#include "ui_doc.h"

// The page window: the document laid out as it is printed. It holds no
// document data of its own besides the currency and the language.
class TDoc : public TForm, public Ui::TDoc {
public:
    explicit TDoc(TComponent* owner = nullptr);
    ~TDoc() override;

    // Name of the document currency of an English document; "" for Bulgarian.
    QString CurrencyPrefix;
    // Leva per unit of the document currency.
    double CurrencyRate = 1.0;
    // 0 Bulgarian, 1 English.
    int Language = 0;

    void FormCreate(TObject* Sender);
    void RenderPage();
};

extern TDoc* Doc;

// The Bulgarian footer line of the page.
QString BgFooterLine();
