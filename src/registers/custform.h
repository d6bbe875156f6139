#pragma once

#include "platform/db.h"
#include "platform/forms.h"
#include "registers/revenue.h"

#include "ui_custform.h"

#include <QSet>

#include <memory>

// A turnover in cents as the customer editor shows it: fixed notation, no
// trailing zeros, " лв." after it ("0 лв.", "60,5 лв.").
QString TurnoverText(TCentSum cents);

// The customers on the left; on the right every document issued to the
// current customer, from which one can be reopened in the editor.
class TCustForm : public TForm, public Ui::TCustForm {
public:
    explicit TCustForm(TComponent* owner = nullptr);
    ~TCustForm() override;

    void FormCreate(TObject* Sender);
    void CloseBtnClick(TObject* Sender);
    void DBGrid1CellClick(TColumn* Column);
    void NavigatorClick(TObject* Sender, TNavigateBtn Button);
    void DBGrid1KeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void Button1Click(TObject* Sender);
    void EditBtnClick(TObject* Sender);
    void Button3Click(TObject* Sender);
    void Button2Click(TObject* Sender);

    // Lists the current customer's documents and writes its turnover. Runs
    // after every refresh of the customer table.
    void RebuildDocumentList();

private:
    class CustomerLink;
    std::unique_ptr<CustomerLink> link_;
    bool keyMoving_ = false;
    // The customer the list was made for.
    QString listedCustomer_;
    // Which documents of that name are the customer's, by the Идент № they store.
    struct CustomerId {
        QString name;
        QString own;
        int recNo = 0;
        // The numbers of the other customers of the name, when it has none.
        mutable bool othersRead = false;
        mutable QSet<QString> others;
        bool Owns(const QString& documentId) const;
    };
    CustomerId listedCustomerId_;
    static CustomerId CurrentCustomerId(const QString& name);
    // The note under the turnover of the documents it leaves out.
    void ShowLeftOut(TLabel* label, int unreadable);
    // Where the caption under the turnover stands without a note.
    int designLeft_ = -1;
    int designWidth_ = 0;
    // Whether register record recNo still is the document of list row row.
    bool IsListedDocument(int recNo, int row) const;
};

extern TCustForm* CustForm;
