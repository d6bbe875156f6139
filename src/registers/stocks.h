#pragma once

#include "platform/forms.h"
#include "platform/grids.h"

#include "ui_stocks.h"

class TStocks : public TForm, public Ui::TStocks {
public:
    explicit TStocks(TComponent* owner = nullptr);

    void FormCreate(TObject* Sender);
};

extern TStocks* Stocks;
