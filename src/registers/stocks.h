#pragma once

#include "platform/forms.h"

#include "ui_stocks.h"

class TStocks : public TForm, public Ui::TStocks {
public:
    explicit TStocks(TComponent* owner = nullptr);
};

extern TStocks* Stocks;
