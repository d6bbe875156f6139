#pragma once

#include "platform/db.h"
#include "platform/forms.h"

#include <QPointer>

#include <functional>
#include <memory>
#include <vector>

// Calls the data module makes when something happens to its tables, so that
// the windows act on it without the data layer knowing them. Each call lives
// as long as the window (or other object) that asked for it.
class TDataNotice {
public:
    void Listen(QObject* owner, std::function<void()> call);
    // Runs every call of a living owner, in the order they were asked for.
    void Announce();

private:
    std::vector<std::pair<QPointer<QObject>, std::function<void()>>> calls_;
};

// Owns the eight tables and their data sources, chooses the data folder and
// keeps the goods list in step with the goods table.
class TDataModule1 : public TDataModule {
public:
    explicit TDataModule1(TComponent* owner = nullptr);

    TTable* cust;
    TTable* firm;
    TTable* details;
    TTable* stock;
    TTable* employee;
    TTable* store;
    TTable* currency;
    TTable* Tableae;
    TDataSource* DataSource1;
    TDataSource* DataSource2;
    TDataSource* DataSource3;
    TDataSource* DataSource4;
    TDataSource* DataSource5;
    TDataSource* DataSource6;
    TDataSource* DataSource7;
    TDataSource* DataSourceae;
    // The goods table's persistent fields: the file must hold them with these types.
    TField* stockBDEDesigner;
    TField* stockBDEDesigner2;
    TField* stockBDEDesigner3;
    TField* stockBDEDesigner4;
    TField* stockBDEDesigner5;
    TField* stockBDEDesigner6;

    // The tables were pointed at another data folder (opened or not): what a
    // window shows of the old one must go.
    TDataNotice FolderChanged;
    // cust was refreshed: the current customer's documents are listed anew.
    TDataNotice CustomersRefreshed;
    // The goods table changed, or the goods list is asked for anew: the list
    // refills itself, row i from record i.
    TDataNotice GoodsChanged;

    void DataModuleCreate(TObject* Sender);
    void DataModuleDestroy(TObject* Sender);

    // Points the eight tables at folder; with open, creates ae.db when missing
    // and opens them in order. The first failure raises.
    void OpenDatabase(const QString& folder, bool open);
    // Has the goods list refilled: row i is always record i of stock.
    void RefreshStockGrid();

    void stockAfterPost(TObject* Sender);
    void stockAfterCancel(TObject* Sender);
    void stockAfterDelete(TObject* Sender);
    void stockAfterRefresh(TObject* Sender);
    void storeAfterRefresh(TObject* Sender);
    void custAfterDelete(TObject* Sender);
    void custAfterRefresh(TObject* Sender);
    // A currency row with a rate that is no sane rate is not written.
    void currencyBeforePost(TObject* Sender);
    void stockBDEDesigner2GetText(TField* Sender, QString& Text, bool DisplayText);

    // The tables in the order they are closed, pointed and opened.
    std::vector<TTable*> Tables() const;
    // All eight tables are open. When not, says so once and gives false.
    bool CheckTablesOpen() const;

    // The folder the tables point at now.
    QString Folder() const;

    // Record i of ae.db is the English twin of record i of Firm.db: pads ae.db
    // with empty records up to Firm.db's count.
    void PadParallelTable();
    // English records beyond Firm.db's count belong to no company: they are
    // reported, kept in a copy of ae.db and removed, so that a company added
    // later does not take one of them as its twin.
    void LabelForeignFields();
    void TrimParallelTable();

private:
    // Keeps Tableae on firm's record, however firm moves.
    std::unique_ptr<TDataLink> followFirm_;
};

extern TDataModule1* DataModule1;

// A currency rate (leva per unit) typed with '.' or ',' as decimal mark, blanks
// around it allowed: false unless it is a plain number from 0,0001 to 100 000.
bool ReadCurrencyRate(const QString& text, double& rate);
// What the user is told about a rate text that ReadCurrencyRate refuses.
QString InvalidCurrencyRateText(const QString& text);

// A folder as the user knows it from the chooser: its name, not the whole path.
QString FolderName(const QString& path);
// Where the program looks for its data when network.txt names none.
QString DefaultDataFolder();
// network.txt in the install folder.
QString NetworkFile();
// Line 1 of network.txt, unchanged; false when the file is missing or empty.
bool ReadNetworkFolder(QString& folder);
