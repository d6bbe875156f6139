#pragma once

#include "platform/forms.h"
#include "platform/strings.h"

#include "ui_orderform.h"

// The document editor: one sales document at a time, every value as text in
// its controls. The enabled state of Save is the unsaved-changes flag.
class TOrderForm : public TForm, public Ui::TOrderForm {
public:
    explicit TOrderForm(TComponent* owner = nullptr);
    ~TOrderForm() override;

    // The twelve design column widths of the editor's and the page's line grids.
    TStringList* ColumnWidths = nullptr;

    // ---- money, lines and totals (editor/orderform_lines.cpp) ----
    // The text with the locale's decimal separator, or "" when it is no number.
    QString NormalizeDecimal(const QString& text);
    void RecalcLines();
    void NumberLines();
    void Edit9Change(TObject* Sender);
    void Edit9KeyPress(TObject* Sender, char16_t& Key);
    // Re-sets the VAT rate text to "" and back, which recalculates everything.
    void RecalcByRate();
    // ---- payment methods (editor/orderform_lines.cpp) ----
    void ComboBox3Change(TObject* Sender);
    void ComboBox3KeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void ComboBox3Select(TObject* Sender);
};

extern TOrderForm* OrderForm;
