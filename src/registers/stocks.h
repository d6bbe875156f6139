#pragma once

#include "platform/forms.h"
#include "platform/grids.h"

#include "ui_stocks.h"

#include <memory>

// The goods list: row i shows goods record i.
class TStocks : public TForm, public Ui::TStocks {
public:
    explicit TStocks(TComponent* owner = nullptr);
    ~TStocks() override;

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
    class Follow;
    // The highlight goes to the current goods record once the moves of the
    // moment are over (the goods editor's navigator, the document's list).
    void ScheduleFollow();
    void FollowStock();
    std::unique_ptr<Follow> follow_;
    bool followPending_ = false;

    // The list has one row per goods record (one empty row for no goods).
    bool ListInStep() const;
    // Refills the list and selects the row showing the goods that the
    // selected row showed; false when those goods are gone.
    bool RefillAndReselect();
};

extern TStocks* Stocks;
