#pragma once

#include "platform/forms.h"
#include "platform/grids.h"

#include "ui_stocks.h"

// The goods list: row i shows goods record i.
class TStocks : public TForm, public Ui::TStocks {
public:
    explicit TStocks(TComponent* owner = nullptr);

    void FormCreate(TObject* Sender);
    void StringGrid1Click(TObject* Sender);
    void StringGrid1DblClick(TObject* Sender);
    void Button2Click(TObject* Sender);
    void CloseBtnClick(TObject* Sender);
    // Adds the selected goods as the next line of the document being written.
    void Button1Click(TObject* Sender);
    // Row i := what the goods controls show for goods record i.
    void RefillFromGoods();

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    // The list has one row per goods record (one empty row for no goods).
    bool ListInStep() const;
    // Refills the list and selects the row showing the goods that the
    // selected row showed; false when those goods are gone.
    bool RefillAndReselect();
};

extern TStocks* Stocks;
