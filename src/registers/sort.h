#pragma once

#include "platform/forms.h"
#include "platform/menus.h"

#include "ui_sort.h"

#include <QSet>
#include <QStringList>

// The register of issued documents: one panel per record of Store.DB, search by
// number, open, delete, and the monthly statistics' engine.
class TSort : public TForm, public Ui::TSort {
public:
    explicit TSort(TComponent* owner = nullptr);

    void FormCreate(TObject* Sender);
    // Opens the current record in the editor.
    void DBGrid1DblClick(TObject* Sender);
    // Shows the statistics window and computes the statistics.
    void Button1Click(TObject* Sender);
    void ComboBox1KeyPress(TObject* Sender, char16_t& Key);
    // The search by number.
    void SpeedButton1Click(TObject* Sender);
    void ListBox1Click(TObject* Sender);
    void FormClick(TObject* Sender);
    void DBCtrlGrid1Click(TObject* Sender);
    void NavigatorClick(TObject* Sender);
    // Deletes the current record after asking.
    void N2Click(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    // Hides and empties the hit list: its record numbers name records that
    // have moved (a delete, another data folder).
    void ClearSearch();
    // A flag ticked on the current panel is stored at once.
    void FlagClick(TObject* Sender);

    // Rebuilds the chart and the month extracts of the statistics window.
    void CalcStatistics();
    // Counts record recNo of the register into the chart.
    void AddRecordToChart(int recNo);

    TPopupMenu* PopupMenu1;
    TMenuItem* N1;
    TMenuItem* N2;
    // Item i of ListBox1's text, "@" and the hit's record number.
    QStringList SearchHits;
};

extern TSort* Sort;
// The numbers already counted in the current chart computation.
extern QSet<QString> ChartedNumbers;

// A stored or typed document number as a comparable key: its digits without
// leading zeros ("0" for zero); empty when the text is not a whole number.
QString NumberKey(const QString& text);

// A walk over the register table: the register grid stops following the table
// while the walk moves it, and is reattached and repainted however the walk
// ends. With restoreRecord the table goes back to the record it stood on.
class TRegisterWalk {
public:
    explicit TRegisterWalk(bool restoreRecord);
    ~TRegisterWalk();
    TRegisterWalk(const TRegisterWalk&) = delete;
    TRegisterWalk& operator=(const TRegisterWalk&) = delete;

private:
    bool restore_;
    int recNo_ = 0;
};
