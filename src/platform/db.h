// Tables of the program. Each table is one SQLite file in the data folder; records
// are addressed by their 1-based position in insertion order and read and written
// through fields. Data sources and data links keep data-aware controls on the
// current record, and a database transaction commits writes to several tables of
// one folder all together or not at all.
#pragma once

#include "platform/core.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

class TTable;
class TField;
class TDataSource;
class TDataLink;
class TDatabaseTransaction;

enum class TFieldType { ftString, ftFloat, ftCurrency, ftBoolean, ftMemo, ftGraphic };
enum class TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };

struct TFieldDef {
    QString Name;
    TFieldType DataType = TFieldType::ftString;
    int Size = 0;  // characters of a string; bytes kept in the record for memo/graphic
    bool Required = false;
};

// The definitions CreateTable writes. Opening a table replaces them with the
// file's own fields, as the class library does.
class TFieldDefs {
public:
    // A name already defined (letter case ignored) raises EDatabaseError.
    void Add(const QString& name, TFieldType type, int size = 0, bool required = false);
    void Clear() { defs_.clear(); }
    int Count() const { return static_cast<int>(defs_.size()); }
    const TFieldDef& Items(int index) const;

private:
    friend class TTable;
    std::vector<TFieldDef> defs_;
};

using TFieldGetTextEvent = std::function<void(TField* Sender, QString& Text, bool DisplayText)>;

// "1 запис", "5 записа": a count of records as a message says it.
QString RecordsText(qsizetype count);

// One column of a table, seen at the table's current record. Field objects live
// as long as their table and are reused by name when the table is reopened, so
// handlers and flags set on them survive a close and open.
class TField : public TObject {
public:
    QString ClassName() const override { return QStringLiteral("TField"); }

    TTable* DataSet() const { return table_; }
    QString FieldName() const { return name_; }
    TFieldType DataType() const { return type_; }
    int Size() const { return size_; }
    // 0-based position in the table; -1 while the field is not part of an open table.
    int Index() const { return index_; }
    // Whether data grids show the field.
    bool Visible() const { return visible_; }
    void SetVisible(bool visible) { visible_ = visible; }

    // string: the value; float: as FloatToStr writes it; currency: the same
    // plain number; boolean: "True"/"False", "" when empty;
    // memo: "(MEMO)", or "(Memo)" when empty; graphic: "(GRAPHIC)"/"(Graphic)".
    // OnGetText, when set, supplies the text instead.
    QString Text() const;
    // string: cut to Size characters; float/currency: the locale's decimal
    // separator, a bad text raises EConvertError at once; boolean: "True"/"False"
    // (any case); memo: the whole value. "" empties the field. The table must be
    // in edit or insert state.
    void SetText(const QString& text);
    // As Text, but money in its display form: CurrencyDecimals decimals, rounded
    // half away from zero on the digits Text shows (RoundMoneyString), no
    // currency sign.
    QString DisplayText() const;
    // The value as text; for a memo its whole text.
    QString AsString() const;
    // Numbers as they are, texts converted (EConvertError); empty gives 0.
    double AsFloat() const;
    QByteArray AsBytes() const;
    void SetAsBytes(const QByteArray& bytes);
    QString AsMemo() const;
    void SetAsMemo(const QString& text);
    bool IsNull() const;
    void Clear();

    // The text of another record (1-based), read without moving the current
    // record; "" outside the table. OnGetText runs only for the current record.
    QString TextAt(int recNo) const;
    QString DisplayTextAt(int recNo) const;
    // As AsString, at another record (1-based), without moving; "" outside the table.
    QString AsStringAt(int recNo) const;

    TFieldGetTextEvent OnGetText;

    // How messages name the field to the user; the field name unless set.
    QString DisplayLabel() const { return label_.isEmpty() ? name_ : label_; }
    void SetDisplayLabel(const QString& label) { label_ = label; }

private:
    friend class TTable;
    TField(TTable* table, const QString& name, TFieldType type, int size)
        : table_(table), name_(name), type_(type), size_(size) {}
    QString FormatValue(const QVariant& v, bool display) const;
    QVariant Convert(const QString& text) const;

    TTable* table_;
    QString name_;
    QString label_;
    TFieldType type_;
    int size_;
    int index_ = -1;
    bool visible_ = true;
};

class TTable : public TComponent {
public:
    explicit TTable(TComponent* owner = nullptr);
    ~TTable() override;
    QString ClassName() const override { return QStringLiteral("TTable"); }

    // The data folder and the file name; both may change only while closed.
    QString DatabaseName() const;
    void SetDatabaseName(const QString& folder);
    QString TableName() const;
    void SetTableName(const QString& fileName);
    // The table's file: DatabaseName joined with TableName.
    QString FilePath() const;

    TFieldDefs& FieldDefs();
    // Writes an empty table file from FieldDefs, replacing an existing one and
    // the journal a killed writer left beside it.
    void CreateTable();

    // A missing, locked, foreign or damaged file (a recorded field that is no
    // column of it) raises EDatabaseError naming the file. Journals left by
    // killed writers that SQLite no longer needs are removed.
    // Opening and closing fire no After… events; links are told.
    void Open();
    void Close();
    bool Active() const;
    TDataSetState State() const;
    // In edit or insert state: a change is pending.
    bool Editing() const;

    // Posts a pending change, re-reads the file and stays on the current record.
    void Refresh();
    // Re-reads the file's records (what other workplaces wrote) and stays on
    // the current record; no events. Not while editing.
    void Resync();
    void First();
    void Prior();
    void Next();
    void Last();
    bool Eof() const;
    bool Bof() const;
    int RecordCount() const;
    // True also for a closed table; false while a new record is being appended.
    bool IsEmpty() const;
    // 0 on an empty table; RecordCount() + 1 while a new record is appended.
    int RecNo() const;
    // No effect on an empty table; outside 1..RecordCount raises EDatabaseError.
    void SetRecNo(int recNo);

    // Every move of the current record first posts a pending change; a new
    // record that nothing was written to is dropped instead.
    void Append();
    void Insert();  // appends: records keep insertion order
    // No effect while editing or appending, and none on an empty table. The
    // fields then hold the stored values; the edit counts as begun from the
    // values the table had shown of the record, when it had.
    void Edit();
    // Writes only the fields changed since Edit. A record another user deleted,
    // or a field changed here that another user changed too since the values
    // this edit began from were read, raises EDatabaseError (naming the stored
    // values) and the table stays in edit state: nothing is written.
    void Post();
    void Cancel();
    void Delete();
    // Whether a field was written since Edit or Append.
    bool Modified() const;

    // The texts (as TextAt gives them) of the given fields for every record, or
    // only for those whose field where reads exactly equals, read in one pass:
    // Texts[i][k] is fields[i] at record RecNos[k], in record order. For walks
    // over many records; the current record does not move.
    struct TColumnRead {
        std::vector<int> RecNos;
        std::vector<std::vector<QString>> Texts;
    };
    TColumnRead ColumnTexts(const std::vector<TField*>& fields, const TField* where = nullptr,
                            const QString& equals = QString()) const;

    // Names match without regard to letter case (Cyrillic too).
    TField* FieldByName(const QString& name) const;  // raises "Field '<name>' not found"
    TField* FindField(const QString& name) const;    // nullptr when absent
    TField* Fields(int index) const;                 // 0-based; EListError outside
    int FieldCount() const;
    // A field the code binds to before opening: Open then requires the file to
    // have a field of that name and type.
    TField* DeclareField(const QString& name, TFieldType type, int size = 0);

    // Fired before a record is written, also when a move posts it; a handler
    // that raises refuses the post: nothing is written and the table stays in
    // edit or insert state.
    TNotifyEvent BeforePost;
    // Fired after the action, synchronously; handlers may move this table again.
    TNotifyEvent AfterPost;
    TNotifyEvent AfterCancel;
    TNotifyEvent AfterDelete;
    TNotifyEvent AfterRefresh;
    TNotifyEvent AfterScroll;

private:
    friend class TField;
    friend class TDataSource;
    friend class TDataLink;
    friend class TDatabaseTransaction;
    struct Impl;
    std::unique_ptr<Impl> d_;

    void CheckActive() const;
    void CheckBrowseMode();
    void PostRecord(bool updateLinks);
    void DropEdit();
    void MoveTo(int index);
    QVariant FieldValue(const TField* field) const;
    QVariant FieldValueAt(const TField* field, int recNo) const;
    void CheckWritable(const TField* field) const;
    void SetFieldValue(TField* field, const QVariant& value);
    enum class Notice { Record, State, RecordAndState, Field, UpdateData };
    void NotifyLinks(Notice notice, TField* field = nullptr);
    void Fire(const TNotifyEvent& event);
};

class TDataSource : public TComponent {
public:
    explicit TDataSource(TComponent* owner = nullptr);
    ~TDataSource() override;
    QString ClassName() const override { return QStringLiteral("TDataSource"); }

    TTable* DataSet() const { return dataSet_; }
    void SetDataSet(TTable* table);
    // A disabled source detaches its controls: they show nothing.
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    // A user's edit in a bound control puts the table into edit state.
    bool AutoEdit = true;

private:
    friend class TTable;
    friend class TDataLink;
    void NotifyOwnLinks();
    TTable* dataSet_ = nullptr;
    bool enabled_ = true;
    std::vector<TDataLink*> links_;
};

// What a data-aware control holds to follow its table. The table calls it
// synchronously; handlers may move the table again.
class TDataLink {
public:
    TDataLink() = default;
    virtual ~TDataLink();
    TDataLink(const TDataLink&) = delete;
    TDataLink& operator=(const TDataLink&) = delete;

    TDataSource* DataSource() const { return source_; }
    // nullptr detaches. Calls RecordChanged.
    void SetDataSource(TDataSource* source);
    // The table behind the data source, or nullptr.
    TTable* DataSet() const;
    // Attached, data source enabled and table open.
    bool Active() const;
    // The field of that name while active, else nullptr.
    TField* Field(const QString& name) const;
    // Puts the table into edit state when the data source allows it; returns
    // whether the table is now editing or appending.
    bool Edit();

    // The current record, its values or the link's activity changed: show it anew.
    virtual void RecordChanged() = 0;
    // A field's value was set by code while editing. A control holding typed
    // text that is not yet written should re-read only its own field.
    virtual void FieldChanged(TField* field);
    // The table entered or left edit or insert state.
    virtual void StateChanged() {}
    // The table is about to write the record: write pending text into the field.
    virtual void UpdateData() {}

private:
    friend class TDataSource;
    friend class TTable;
    TDataSource* source_ = nullptr;
};

// Writes to several open tables of one folder, committed all together or not at
// all, even when the process dies in the middle. While it is active the tables
// read and write through it and their posts do not commit on their own. The
// destructor rolls back unless Commit was called; after a rollback the tables
// re-read their files.
class TDatabaseTransaction {
public:
    explicit TDatabaseTransaction(std::initializer_list<TTable*> tables);
    explicit TDatabaseTransaction(const std::vector<TTable*>& tables);
    ~TDatabaseTransaction();
    TDatabaseTransaction(const TDatabaseTransaction&) = delete;
    TDatabaseTransaction& operator=(const TDatabaseTransaction&) = delete;

    void Commit();
    void Rollback();
    bool Active() const;

private:
    friend class TTable;
    struct Impl;
    std::unique_ptr<Impl> d_;
    void Leave(TTable* table);
    void Finish();
};
