#pragma once

#include "platform/core.h"
#include "platform/dbctrls.h"
#include "platform/dbgrids.h"
#include "platform/dialogs.h"
#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/graphics.h"
#include "platform/grids.h"
#include "platform/stdctrls.h"
#include "platform/strings.h"

#include <QFont>

#include "ui_orderform.h"

#include <vector>
// Breaks a text for a page label into lines of at most width pixels in font,
// at blanks; a text too long for one line also breaks at each '*' typed in
// it (the '*' is not printed). Joined by LF.
QString WrapPageText(const QString& text, const QFont& font, int width);

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
    // Leaving the box with a text that is no rate refuses it.
    void Edit9Enter(TObject* Sender);
    void Edit9Exit(TObject* Sender);
    // Says what a rate looks like, puts the rate in force before the refused
    // typing back into the box and leaves the cursor there.
    void RefuseVatRate();
    // The valid rate texts the VAT box held since the cursor went into it,
    // oldest first. Typing "209" passes through "20": a rate on the way to the
    // refused text is not the one to go back to.
    QStringList RatesTyped;
    // Re-sets the VAT rate text to "" and back, which recalculates everything.
    void RecalcByRate();
    // Whether a description piece shows whole in the description column of
    // both the editor's and the page's lines grid, in their fonts.
    bool DescriptionFits(const QString& text) const;
    // Breaks the descriptions that no longer fit (a narrower column, bold
    // lines) into rows of their own under them.
    void RewrapDescriptions();
    // ---- payment methods (editor/orderform_lines.cpp) ----
    void ComboBox3Change(TObject* Sender);
    void ComboBox3KeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void ComboBox3Select(TObject* Sender);

    // ---- window, company and bank blocks, new document (editor/orderform.cpp) ----
    void FormCreate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    // The issuing company from the current firm record and its Tableae twin,
    // in the document's language.
    void LoadSupplier();
    // Bank, IBAN and SWIFT from the current details record.
    void LoadBankDetails();
    // Header row, today's dates, the next number, payment methods.
    void ResetForNewDocument();
    // Design widths of the six line columns, editor and page.
    void RestoreColumnWidths();
    // Run after the company (bank) navigator has moved its table.
    void DBNavigator1Click(TObject* Sender);
    void DBNavigator2Click(TObject* Sender);
    void DBText7Change(TObject* Sender);
    void Edit8Change(TObject* Sender);
    void CheckBox6Click(TObject* Sender);
    void HeaderPanelClick(TObject* Sender);
    void PrintClick(TObject* Sender);
    void SpeedButton4Click(TObject* Sender);
    void OrderBtnClick(TObject* Sender);
    void SpeedButton5Click(TObject* Sender);
    void SpeedButton7Click(TObject* Sender);
    // Before the open document is left (another document, another folder,
    // exit): when it changed since it was stored, loaded or blanked, asks
    // whether to store it. True when it may go: unchanged, stored, or dropped
    // at the user's word; false when the user stays with it (or the save was
    // refused).
    bool ConfirmLeaveDocument();
    // Register record recNo in the editor, once the open document may go.
    bool OpenStoredDocument(int recNo);
    // The document as it stands is what was stored, loaded or blanked: Save
    // off, and this content is what a later change is measured against.
    void MarkUnchanged();
    // Whether the document differs from what it was when Save went off.
    // Save alone does not say it: a recalculation turns it on unchanged.
    bool Changed() const;
    // A pending row of the currency grid is stored (an untouched new one is
    // dropped); false, with the reason shown, when it is refused.
    bool PostCurrency();

    // ---- numbering (editor/numbering.cpp) ----
    // MaskEdit1 := the next number of the current company's series for the kind.
    void AssignNextNumber();

    // ---- language switch (editor/language.cpp) ----
    // Bound to both language buttons; the sender's tab order picks Bulgarian
    // (0) or English (1), whatever the buttons' check states.
    void RadioButton1Click(TObject* Sender);
    // The page's English footer credit line.
    static QString EnFooterLine();

    // ---- field handlers (editor/field_handlers.cpp) ----
    // Mirrors of the header, notice and basis onto the page window.
    void ComboBox2Change(TObject* Sender);
    void ComboBox1Change(TObject* Sender);
    void ComboBox4Change(TObject* Sender);
    void ComboBox5Change(TObject* Sender);
    void EDateChange(TObject* Sender);
    void EDate2Change(TObject* Sender);
    void EDate3Change(TObject* Sender);
    void EDate4Change(TObject* Sender);
    // Check boxes that enable their groups.
    void CheckBox1Click(TObject* Sender);
    void CheckBox2Click(TObject* Sender);
    void CheckBox4Click(TObject* Sender);
    void CheckBox5Click(TObject* Sender);
    // The discount column on both line grids.
    void CheckBox7Click(TObject* Sender);
    // Bold lines on both line grids.
    void CheckBox8Click(TObject* Sender);
    // The legal texts of the VAT articles.
    void SpeedButton2Click(TObject* Sender);
    // Chooses the document currency of an English document.
    void DBGrid1CellClick(TColumn* Column);
    // The check digit of a 9-digit identification number; shows Label1.
    bool CheckEik(const QString& id);

    // ---- lookup lists (editor/lookup.cpp) ----
    // Which client the list serves: 0 an edit, 1 the lines grid.
    int ListForGrid = 0;
    // The lines grid's current cell, kept by StringGrid1SelectCell.
    int CurCol = 1;
    int CurRow = 1;
    // The record number of each item of ListBox1, in item order.
    std::vector<int> ListRecNos;

    void ShowLookupList(TControl* edit);
    void FillLookupByPrefix(TControl* edit);
    void ApplyLookupChoice(int index);
    void SpeedButton1Click(TObject* Sender);
    void Edit1Change(TObject* Sender);
    void ListBox1Click(TObject* Sender);
    void StringGrid1SelectCell(TObject* Sender, int ACol, int ARow, bool& CanSelect);
    void StringGrid1ButtonClick(TObject* Sender);
    void FilterGoodsList();
    void StringGrid1SetEditText(TObject* Sender, int ACol, int ARow, const QString& Value);
    void StringGrid2SetEditText(TObject* Sender, int ACol, int ARow, const QString& Value);
    void StringGrid1KeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void StringGrid1KeyUp(TObject* Sender, WORD& Key, TShiftState Shift);
    void GridRowDown();
    void GridRowUp();

    // ---- the page (editor/build_print_view.cpp) ----
    // Writes the document onto the page window, lays it out and renders it;
    // with show the page window comes up. False when the document cannot be
    // laid out (a currency rate of 0 or below): the user was told once, and
    // the caller must neither save nor print on this pass.
    bool BuildPrintView(bool show);
    // The label's caption := text broken into lines of at most width pixels.
    void WrapToLabel(const QString& text, TLabel* label, int width);
    void ViewClick(TObject* Sender);
    void StringGrid2SelectCell(TObject* Sender, int ACol, int ARow, bool& CanSelect);

    // ---- saving and loading (editor/save.cpp, editor/load.cpp) ----
    // The firm record the company block shows (LoadSupplier), 0 when none.
    int SupplierRecNo = 0;
    // The register record this document was loaded from or last stored in;
    // 0 for a new document. The print path overwrites only this one silently.
    // Where it stood then: the record is found again by LoadedRecord.
    int LoadedRecNo = 0;
    // What tells that record from every other: it may have moved since
    // (a delete in the register, here or at another workplace).
    struct TStoredIdentity {
        QString kind, number, company, customer, customerId, date, total;
        bool operator==(const TStoredIdentity&) const = default;
    };
    TStoredIdentity LoadedRecord;
    // The number AssignNextNumber proposed, as the number edit shows it. A new
    // document saved under it after another workplace took it (or with the
    // series moved on) gets the next free number instead of a question.
    QString ProposedNumber;
    // The customer record the block was filled from (a list choice, a loaded
    // document): its name and identification number as they were then, and
    // its record number, 0 when unknown. Saves go to it while Edit1 keeps the name.
    struct TChosenCustomer {
        int recNo = 0;
        QString name, id;
    };
    TChosenCustomer ChosenCustomer;
    void RememberCustomer(int recNo, const QString& name, const QString& id);
    // Save's click; the print chooser saves through SaveWithCustomer(false).
    void SaveClick(TObject* Sender);
    // Fills the page, drops an empty last line, saves the customer and stores
    // the document. False when nothing was stored (refused, declined, failed).
    bool SaveWithCustomer(bool askOverwrite);
    bool SaveDocument(bool askOverwrite);
    // The customer block's "Запази" (silent with a null Sender).
    void SpeedButton3Click(TObject* Sender);
    // Reopens register record recNo; false (with a message) when it cannot.
    bool LoadDocument(int recNo);
    // The company a stored "Firm.db index" names, 0 when it names none of companies.
    static int StoredCompany(const QString& index, int companies);
    // The grid as memo text, one line per cell, row by row; line breaks are
    // removed from the cells themselves too.
    static QString GridMemoText(TStringGrid* grid);

private:
    class SaveWatch;
    // Every value the user can change, as one text.
    QString DocumentText() const;
    QString unchangedText_;
    void ConnectFieldHandlers();
    void ConnectLookupHandlers();
    // The goods list under the current cell of the lines grid; its height
    // follows placedCount entries.
    void ShowGoodsList(const QStringList& entries, const std::vector<int>& recNos, int placedCount);
    void BuildGoodsEntries(QStringList& entries, std::vector<int>& recNos);
    void SetListItems(const QStringList& entries, std::vector<int> recNos);
    void ApplyToEdits(int index);
    void ApplyToGrid();
    int IssuingCompany() const;
    // The record this document was loaded from or last stored in, found by
    // its content; 0 when it is gone.
    int FindOwnRecord() const;
    // The stored document of that number, of this kind and company: own when
    // it is that one, else the last one; 0 when none.
    int FindStoredDocument(int company, const QString& number, int own) const;
    struct TSavePlan;
    struct TSaveStep;
    TSaveStep DecideSave(TSavePlan& plan, bool askOverwrite) const;
    // The record's fields as the editor would write them, in the table's order.
    std::vector<std::pair<QString, QString>> DocumentValues(int company, const QString& number,
                                                            const QString& lines, const QString& notice);
    // Appends or edits found; the printed mark it wrote ("True"/"False").
    QString WriteDocumentRecord(int found, std::vector<std::pair<QString, QString>> values, bool printedAsShown);
    void RememberStoredRecord(int recNo);
    // Customer saving, inside the caller's transaction on cust.
    static constexpr int kCustomerUnclear = -1;
    // Whether the customer window's pending change may be posted (told why not).
    bool CustomerWindowReady();
    bool CustomerWindowPosted();
    int FindCustomerRecord() const;
    // The record written: found, or the one appended when found is 0.
    int WriteCustomerRecord(int found);
    // Edit limits from the sizes of the fields they are saved into.
    void LimitEditLengths();
};

extern TOrderForm* OrderForm;
