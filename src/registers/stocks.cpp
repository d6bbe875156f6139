#include "registers/stocks.h"

TStocks* Stocks = nullptr;

TStocks::TStocks(TComponent* owner) : TForm(owner)
{
    setupUi(this);
    Loaded();
}
