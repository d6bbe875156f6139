#pragma once

#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/graphics.h"
#include "platform/grids.h"
#include "platform/menus.h"
#include "platform/stdctrls.h"

#include "ui_doc.h"

#include <vector>

class QScrollBar;

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
    // The currency an English page names after its amounts: the document
    // currency, the lev ("BGN") when there is no second currency.
    QString CurrencyName() const;

    TActionList* ActionList1 = nullptr;
    TAction* Resized = nullptr;  // vertical flow of the blocks
    TAction* New = nullptr;      // heading, totals of the page language

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormResize(TObject* Sender);
    void FormConstrainedResize(TObject* Sender) { FormResize(Sender); }

    // Design places of the controls inside the page's blocks.
    void SavePositions();
    void RestorePositions();
    // Stacks the label rows under values that may span several lines.
    void ArrangeLabels();
    void NewExecute(TObject* Sender);
    // The kind's stamp and number line centred under it, the heading on the page.
    void CentreHeading();
    // Writes the exemplar stamp and centres it.
    void SetStamp(const QString& stamp);
    void ResizedExecute(TObject* Sender);
    void RealignBlocks();
    // Paints the page into Image1's bitmap: what is printed or saved.
    void RenderPage();

    // Width in pixels a label's text may take where the layout puts the
    // label: up to the edge of its block's area, clear of its neighbours.
    int TextArea(TLabel* label);
    // Lines-grid rows that the page holds with everything else as laid out;
    // the page is one sheet and ends above the footer line. Only rows that
    // hold something are counted.
    int FittingRows() const;
    int FilledRows() const;
    bool Fits() const;
    // What the user is told when the laid-out document does not fit.
    QString OverflowMessage() const;
    // Widens the lines grid's number, unit, quantity and amount columns to
    // their widest cell, from the description column's room.
    void FitLineColumns();

    QScrollBar* VertScrollBar() const { return scrollBar_; }

protected:
    void resizeEvent(QResizeEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    void PlaceScrollBar();
    void PlaceValueColumns();
    void LayoutTotals();
    QScrollBar* scrollBar_ = nullptr;
    // The lines grid's widths before the last fit and those it set: a fit
    // starts again from the former unless the discount switch set others.
    std::vector<int> lineWidthsBase_, lineWidthsSet_;
};

extern TDoc* Doc;

// Whether a row of a grid has a cell with something in it besides blanks.
bool RowHoldsSomething(const TStringGrid* grid, int row);

// The Bulgarian footer line of the page.
QString BgFooterLine();

// The exemplar stamp of the page: "Оригинал", "Копие" or the English words.
QString StampText(bool english, bool copy);

// The families the page's fonts are drawn with ("Liberation Serif" for
// "Times New Roman"); empty when the font system gives another family.
QString PageFontFamily(const QString& designFamily);
