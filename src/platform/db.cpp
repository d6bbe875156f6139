#include "platform/db.h"

#include "platform/locale.h"
#include "platform/moneytext.h"
#include "platform/sysutils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

// File layout: a table "records" with one column per field (the field names as
// they are) and a hidden "__row" key that keeps insertion order, a table
// "__fields" that records each field's position, type and size, and a table
// "__keys" with the highest key ever given, so that a key is never given twice
// (another workplace may still show a deleted record). The header's
// application id marks the file as ours.

namespace {

constexpr int kApplicationId = 0x51524E4C;  // "QRNL"
constexpr int kPageRows = 256;               // records fetched per column at a time
constexpr size_t kMaxPages = 16;
// How long a lock by another user is waited out: a save touches several tables
// and a few workplaces may queue for them.
constexpr int kLockWaitMs = 5000;

QString Quote(const QString& id)
{
    QString s = id;
    s.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + s + QLatin1Char('"');
}

const char* TypeName(TFieldType t)
{
    switch (t) {
    case TFieldType::ftString: return "String";
    case TFieldType::ftFloat: return "Float";
    case TFieldType::ftCurrency: return "Currency";
    case TFieldType::ftBoolean: return "Boolean";
    case TFieldType::ftMemo: return "Memo";
    case TFieldType::ftGraphic: return "Graphic";
    }
    return "String";
}

bool TypeFromName(const QString& name, TFieldType& type)
{
    for (TFieldType t : {TFieldType::ftString, TFieldType::ftFloat, TFieldType::ftCurrency,
                         TFieldType::ftBoolean, TFieldType::ftMemo, TFieldType::ftGraphic}) {
        if (name == QLatin1String(TypeName(t))) {
            type = t;
            return true;
        }
    }
    return false;
}

const char* ColumnType(TFieldType t)
{
    switch (t) {
    case TFieldType::ftFloat:
    case TFieldType::ftCurrency: return "REAL";
    case TFieldType::ftBoolean: return "INTEGER";
    case TFieldType::ftGraphic: return "BLOB";
    default: return "TEXT";
    }
}

// The user reads a table by its file name; the folder is the data folder.
QString TableFile(const QString& path) { return QFileInfo(path).fileName(); }

const QString kChooseDataFolder = QStringLiteral("Изберете папката, в която са данните на програмата.");

QString NotATableText(const QString& path)
{
    return QStringLiteral("Файлът „%1“ не е таблица на програмата.\n").arg(TableFile(path)) + kChooseDataFolder;
}

QString CreateFailedText(const QString& path)
{
    return QStringLiteral("Таблица „%1“ не може да бъде създадена.\nПроверете правата за запис в папката с данни и "
                          "свободното място на диска.")
        .arg(TableFile(path));
}

QString DeletedByOtherText(const QString& path)
{
    return QStringLiteral("Записът в таблица „%1“ е изтрит от друго работно място.\nОткажете промяната и отворете "
                          "прозореца отново.")
        .arg(TableFile(path));
}

// A field value as the user reads it in a message.
QString ShownValue(const QVariant& v, TFieldType type)
{
    if (v.isNull())
        return QStringLiteral("празно");
    QString text;
    switch (type) {
    case TFieldType::ftFloat:
    case TFieldType::ftCurrency: text = FloatToStr(v.toDouble()); break;
    case TFieldType::ftBoolean: return v.toBool() ? QStringLiteral("да") : QStringLiteral("не");
    case TFieldType::ftGraphic: return QStringLiteral("друга картина");
    default: text = v.toString(); break;
    }
    constexpr int kLongest = 120;
    if (text.size() > kLongest)
        text = text.left(kLongest) + QStringLiteral("…");
    return QStringLiteral("„%1“").arg(text);
}

QString FieldMissingText(const QString& field, const QString& path)
{
    return QStringLiteral("Полето „%1“ липсва в таблица „%2“.\n").arg(field, TableFile(path)) + kChooseDataFolder;
}

QString OpenTableText(const QString& path)
{
    return QStringLiteral("Вътрешна грешка: таблица „%1“ е отворена, а трябва да е затворена.\nСтартирайте програмата "
                          "отново.")
        .arg(TableFile(path));
}

QString ErrorText(sqlite3*, int rc, const QString& path)
{
    const QString file = TableFile(path);
    switch (rc & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("Таблица „%1“ е заета от друго работно място.\nИзчакайте малко и опитайте отново.").arg(file);
    case SQLITE_NOTADB: return NotATableText(path);
    case SQLITE_CORRUPT:
        return QStringLiteral("Таблица „%1“ е повредена.\nВъзстановете я от резервно копие.").arg(file);
    case SQLITE_CANTOPEN:
        return QStringLiteral("Таблица „%1“ не може да бъде отворена.\nПроверете дали папката с данни е достъпна.")
            .arg(file);
    case SQLITE_READONLY:
        return QStringLiteral("Таблица „%1“ е само за четене.\nПроверете правата за запис в папката с данни.").arg(file);
    case SQLITE_FULL:
        return QStringLiteral("Дискът е пълен: таблица „%1“ не може да бъде записана.\nОсвободете място на диска и "
                              "опитайте отново.")
            .arg(file);
    default:
        return QStringLiteral("Таблица „%1“ не може да бъде прочетена или записана.\nПроверете дали папката с данни е "
                              "достъпна и опитайте отново.")
            .arg(file);
    }
}

[[noreturn]] void Fail(sqlite3* db, int rc, const QString& file)
{
    throw EDatabaseError(ErrorText(db, rc, file));
}

void Exec(sqlite3* db, const QString& sql, const QString& file)
{
    int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        Fail(db, rc, file);
}

sqlite3_stmt* Prepare(sqlite3* db, const QString& sql, const QString& file)
{
    sqlite3_stmt* stmt = nullptr;
    QByteArray text = sql.toUtf8();
    int rc = sqlite3_prepare_v3(db, text.constData(), int(text.size()), SQLITE_PREPARE_PERSISTENT, &stmt,
                                nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt);
        Fail(db, rc, file);
    }
    return stmt;
}

// Leaves a statement reset so that no lock outlives its use.
struct StmtUse {
    explicit StmtUse(sqlite3_stmt* s) : stmt(s) {}
    ~StmtUse()
    {
        sqlite3_reset(stmt);
        sqlite3_clear_bindings(stmt);
    }
    StmtUse(const StmtUse&) = delete;
    StmtUse& operator=(const StmtUse&) = delete;
    sqlite3_stmt* stmt;
};

// One-off statements.
struct Stmt {
    Stmt(sqlite3* db, const QString& sql, const QString& file) : stmt(Prepare(db, sql, file)) {}
    ~Stmt() { sqlite3_finalize(stmt); }
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;
    sqlite3_stmt* stmt;
};

sqlite3* OpenConnection(const QString& path, int flags)
{
    sqlite3* db = nullptr;
    // One thread uses each connection.
    int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        QString msg = ErrorText(db, rc, path);
        sqlite3_close_v2(db);
        throw EDatabaseError(msg);
    }
    sqlite3_extended_result_codes(db, 1);
    // An unknown column must be an error, not a string literal of its name.
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    sqlite3_busy_timeout(db, kLockWaitMs);
    return db;
}

QVariant Decode(sqlite3_stmt* stmt, int col, TFieldType type)
{
    int kind = sqlite3_column_type(stmt, col);
    if (kind == SQLITE_NULL)
        return {};
    switch (type) {
    case TFieldType::ftString:
    case TFieldType::ftMemo: {
        auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, col));
        int n = sqlite3_column_bytes(stmt, col);
        if (n == 0)
            return {};
        return QString::fromUtf8(text, n);
    }
    case TFieldType::ftFloat:
    case TFieldType::ftCurrency:
        if (kind == SQLITE_TEXT) {
            // A number another program stored as text, with either decimal mark.
            static const QRegularExpression plain(
                QStringLiteral("^[+-]?(?:\\d+(?:[.,]\\d*)?|[.,]\\d+)(?:[eE][+-]?\\d+)?$"));
            const QString raw = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, col)));
            QString t = raw.trimmed();
            if (plain.match(t).hasMatch()) {
                bool ok = false;
                const double v = t.replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
                if (ok && std::isfinite(v))
                    return v;
            }
            // Kept as stored: shown as it is and refused where a number is needed,
            // never read as an empty value.
            return raw;
        }
        return sqlite3_column_double(stmt, col);
    case TFieldType::ftBoolean:
        if (kind == SQLITE_TEXT) {
            QString t = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, col)));
            if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
                return true;
            if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
                return false;
            return {};
        }
        return sqlite3_column_int64(stmt, col) != 0;
    case TFieldType::ftGraphic: {
        const void* data = sqlite3_column_blob(stmt, col);
        int n = sqlite3_column_bytes(stmt, col);
        if (n == 0)
            return {};
        return QByteArray(static_cast<const char*>(data), n);
    }
    }
    return {};
}

void Bind(sqlite3_stmt* stmt, int pos, const QVariant& v, TFieldType type)
{
    if (v.isNull()) {
        sqlite3_bind_null(stmt, pos);
        return;
    }
    switch (type) {
    case TFieldType::ftString:
    case TFieldType::ftMemo: {
        QByteArray u = v.toString().toUtf8();
        sqlite3_bind_text(stmt, pos, u.constData(), int(u.size()), SQLITE_TRANSIENT);
        break;
    }
    case TFieldType::ftFloat:
    case TFieldType::ftCurrency:
        if (v.typeId() == QMetaType::QString) {
            // Stored text that is no number goes back as it was, never as 0.
            QByteArray u = v.toString().toUtf8();
            sqlite3_bind_text(stmt, pos, u.constData(), int(u.size()), SQLITE_TRANSIENT);
        } else {
            sqlite3_bind_double(stmt, pos, v.toDouble());
        }
        break;
    case TFieldType::ftBoolean: sqlite3_bind_int(stmt, pos, v.toBool() ? 1 : 0); break;
    case TFieldType::ftGraphic: {
        QByteArray b = v.toByteArray();
        sqlite3_bind_blob(stmt, pos, b.constData(), int(b.size()), SQLITE_TRANSIENT);
        break;
    }
    }
}

// Decimal text with the locale's separator, blanks around allowed.
double ParseFloat(const QString& text)
{
    const QChar sep = FormatSettings().DecimalSeparator;
    QString t = text.trimmed();
    bool valid = !t.isEmpty();
    int i = 0;
    if (valid && (t[0] == QLatin1Char('+') || t[0] == QLatin1Char('-')))
        ++i;
    int digits = 0;
    bool seenSep = false;
    for (; valid && i < t.size(); ++i) {
        QChar c = t[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            ++digits;
        } else if (c == sep && !seenSep) {
            seenSep = true;
        } else if ((c == QLatin1Char('e') || c == QLatin1Char('E')) && digits > 0) {
            ++i;
            if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
                ++i;
            int expDigits = 0;
            for (; i < t.size() && t[i] >= QLatin1Char('0') && t[i] <= QLatin1Char('9'); ++i)
                ++expDigits;
            valid = expDigits > 0 && i == t.size();
            break;
        } else {
            valid = false;
        }
    }
    valid = valid && digits > 0;
    double v = 0;
    if (valid) {
        QString c = t;
        c.replace(sep, QLatin1Char('.'));
        v = c.toDouble(&valid);
    }
    if (!valid)
        throw EConvertError(InvalidNumberText(text));
    return v;
}

// A journal left beside the file by a killed writer belongs to the old file:
// SQLite would play it back into the new one. An old file still there is
// rolled back by SQLite itself first; one another workplace is writing is not
// replaced.
void RemoveStaleJournal(const QString& path)
{
    const QString journal = path + QStringLiteral("-journal");
    if (!QFileInfo::exists(journal))
        return;
    if (QFileInfo(path).isFile()) {
        sqlite3* old = nullptr;
        try {
            old = OpenConnection(path, SQLITE_OPEN_READWRITE);
        } catch (const EDatabaseError&) {
        }
        if (old) {
            int rc = sqlite3_exec(old, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
            if (rc == SQLITE_OK)
                sqlite3_exec(old, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close_v2(old);
            if ((rc & 0xFF) == SQLITE_BUSY || (rc & 0xFF) == SQLITE_LOCKED)
                throw EDatabaseError(ErrorText(nullptr, rc, path));
        }
    }
    if (QFileInfo::exists(journal) && !QFile::remove(journal))
        throw EDatabaseError(QStringLiteral("Таблица „%1“ не може да бъде създадена: старият файл „%2“ не може да бъде "
                                           "изтрит.\nПроверете правата за запис в папката с данни.")
                                 .arg(TableFile(path), TableFile(journal)));
}

// A killed writer can leave a journal that is no longer hot (not yet synced, or
// of a commit over several files that was complete). SQLite rolls a hot journal
// back when it takes the lock; with the write lock held no writer is at work,
// so what is left belongs to no one.
void RemoveLeftoverJournal(sqlite3* db, const QString& path)
{
    const QString journal = path + QStringLiteral("-journal");
    if (!QFileInfo::exists(journal))
        return;
    sqlite3_busy_timeout(db, 0);
    if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK) {
        QFile::remove(journal);
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    sqlite3_busy_timeout(db, kLockWaitMs);
}

// A commit over several files writes a super-journal "<first file>-mj…" that
// names the files' journals. A commit killed before those journals point to it
// leaves it behind for good. It is removed once none of the journals it names
// is left (their files are rolled back) and no commit of its first file runs:
// every commit over several files holds that file's write lock throughout.
void RemoveOrphanSuperJournals(const QString& folder)
{
    static const QRegularExpression pattern(QStringLiteral("^(.+)-mj[0-9A-F]{6}9[0-9A-F]{2}$"));
    const QDir dir(folder);
    const QStringList names = dir.entryList({QStringLiteral("*-mj*")}, QDir::Files);
    for (const QString& name : names) {
        const QRegularExpressionMatch m = pattern.match(name);
        if (!m.hasMatch())
            continue;
        const QString first = dir.filePath(m.captured(1));
        if (!QFileInfo(first).isFile())
            continue;
        sqlite3* db = nullptr;
        try {
            db = OpenConnection(first, SQLITE_OPEN_READWRITE);
        } catch (const EDatabaseError&) {
            continue;
        }
        sqlite3_busy_timeout(db, 0);
        if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK) {
            QFile super(dir.filePath(name));
            bool needed = !super.open(QIODevice::ReadOnly);
            // The journals are named with the writer's own path; they lie in this folder.
            if (!needed)
                for (const QByteArray& journal : super.readAll().split('\0'))
                    if (!journal.isEmpty() &&
                        QFileInfo::exists(dir.filePath(QFileInfo(QFile::decodeName(journal)).fileName())))
                        needed = true;
            super.close();
            if (!needed)
                QFile::remove(dir.filePath(name));
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        }
        sqlite3_close_v2(db);
    }
}

}  // namespace

// ---------------------------------------------------------------- field defs

void TFieldDefs::Add(const QString& name, TFieldType type, int size, bool required)
{
    for (const TFieldDef& d : defs_)
        if (d.Name.compare(name, Qt::CaseInsensitive) == 0)
            throw EDatabaseError(QStringLiteral("Вътрешна грешка: полето „%1“ е описано два пъти.").arg(name));
    defs_.push_back(TFieldDef{name, type, size, required});
}

const TFieldDef& TFieldDefs::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(ListIndexText(index));
    return defs_[size_t(index)];
}

// ---------------------------------------------------------------- table state

struct TTable::Impl {
    QString folder;
    QString tableName;
    TFieldDefs defs;
    std::vector<std::unique_ptr<TField>> owned;  // every field object ever made
    std::vector<TField*> fields;                 // the open file's fields, in order
    std::vector<TField*> declared;

    QString path;  // file of the open table
    sqlite3* own = nullptr;
    sqlite3* conn = nullptr;  // own, or the transaction's connection
    QString schema = QStringLiteral("main");
    TDatabaseTransaction* tx = nullptr;

    std::vector<qint64> rows;  // keys in record order (ascending)
    int cur = -1;
    bool bof = true;
    bool eof = true;
    TDataSetState state = TDataSetState::dsInactive;
    std::vector<QVariant> buf;   // the record being edited or appended
    std::vector<QVariant> orig;  // the edited record as it was shown when the edit began
    std::vector<bool> dirty;     // fields written since Edit
    bool modified = false;
    int updatingData = 0;

    // A change the user had pending when a database transaction began belongs
    // to the user: when the transaction rolls back, it is pending again.
    struct PendingEdit {
        TDataSetState state = TDataSetState::dsBrowse;
        std::vector<QVariant> buf, orig;
        std::vector<bool> dirty;
        bool modified = false;
        qint64 key = -1;
    };
    bool keepOnRollback = false;
    std::optional<PendingEdit> postedInTx;

    // Values of browsed records, fetched a column of kPageRows records at a time.
    struct Page {
        int no = -1;
        quint64 used = 0;
        std::vector<std::vector<QVariant>> cols;
    };
    std::vector<Page> pages;
    quint64 clock = 0;

    std::vector<sqlite3_stmt*> columnStmts;
    sqlite3_stmt* rowStmt = nullptr;
    sqlite3_stmt* insertStmt = nullptr;
    sqlite3_stmt* keysStmt = nullptr;
    sqlite3_stmt* deleteStmt = nullptr;
    bool hasKeys = false;  // the file has its key counter

    std::vector<TDataSource*> sources;

    QString Records() const { return Quote(schema) + QStringLiteral(".\"records\""); }
    bool Editing() const { return state == TDataSetState::dsEdit || state == TDataSetState::dsInsert; }
    int FieldCount() const { return int(fields.size()); }

    void FinalizeStatements()
    {
        for (sqlite3_stmt*& s : columnStmts) {
            sqlite3_finalize(s);
            s = nullptr;
        }
        for (sqlite3_stmt** s : {&rowStmt, &insertStmt, &keysStmt, &deleteStmt}) {
            sqlite3_finalize(*s);
            *s = nullptr;
        }
    }

    QString ColumnList() const
    {
        QStringList cols;
        for (TField* f : fields)
            cols << Quote(f->FieldName());
        return cols.join(QLatin1Char(','));
    }

    sqlite3_stmt* ColumnStmt(int col)
    {
        if (columnStmts.size() != fields.size())
            columnStmts.assign(fields.size(), nullptr);
        sqlite3_stmt*& s = columnStmts[size_t(col)];
        if (!s)
            s = Prepare(conn,
                        QStringLiteral("SELECT \"__row\",%1 FROM %2 WHERE \"__row\" BETWEEN ?1 AND ?2 "
                                       "ORDER BY \"__row\"")
                            .arg(Quote(fields[size_t(col)]->FieldName()), Records()),
                        path);
        return s;
    }

    void LoadRows()
    {
        Stmt q(conn, QStringLiteral("SELECT \"__row\" FROM %1 ORDER BY \"__row\"").arg(Records()), path);
        std::vector<qint64> keys;
        keys.reserve(rows.size());
        int rc;
        while ((rc = sqlite3_step(q.stmt)) == SQLITE_ROW)
            keys.push_back(sqlite3_column_int64(q.stmt, 0));
        if (rc != SQLITE_DONE)
            Fail(conn, rc, path);
        rows.swap(keys);
    }

    int IndexOfRow(qint64 key) const
    {
        auto it = std::lower_bound(rows.begin(), rows.end(), key);
        return (it != rows.end() && *it == key) ? int(it - rows.begin()) : -1;
    }

    // Re-reads the record list and stays on the same record when it still exists.
    void Reload()
    {
        qint64 key = cur >= 0 ? rows[size_t(cur)] : -1;
        int old = cur;
        LoadRows();
        pages.clear();
        int idx = key >= 0 ? IndexOfRow(key) : -1;
        if (idx < 0)
            idx = rows.empty() ? -1 : std::clamp(old, 0, int(rows.size()) - 1);
        cur = idx;
        if (rows.empty())
            bof = eof = true;
    }

    QVariant Cached(int idx, int col)
    {
        int no = idx / kPageRows;
        Page* page = nullptr;
        for (Page& p : pages)
            if (p.no == no) {
                page = &p;
                break;
            }
        if (!page) {
            if (pages.size() >= kMaxPages) {
                page = &*std::min_element(pages.begin(), pages.end(),
                                          [](const Page& a, const Page& b) { return a.used < b.used; });
            } else {
                pages.emplace_back();
                page = &pages.back();
            }
            page->no = no;
            page->cols.assign(fields.size(), {});
        }
        page->used = ++clock;
        std::vector<QVariant>& values = page->cols[size_t(col)];
        if (values.empty())
            LoadColumn(no, col, values);
        return values[size_t(idx - no * kPageRows)];
    }

    void LoadColumn(int no, int col, std::vector<QVariant>& values)
    {
        const int first = no * kPageRows;
        const int last = std::min(first + kPageRows, int(rows.size())) - 1;
        std::vector<QVariant> out(size_t(last - first + 1));
        const TFieldType type = fields[size_t(col)]->DataType();
        sqlite3_stmt* s = ColumnStmt(col);
        StmtUse use(s);
        sqlite3_bind_int64(s, 1, rows[size_t(first)]);
        sqlite3_bind_int64(s, 2, rows[size_t(last)]);
        int i = first;
        int rc;
        while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
            qint64 key = sqlite3_column_int64(s, 0);
            while (i <= last && rows[size_t(i)] < key)
                ++i;
            if (i > last)
                break;
            if (rows[size_t(i)] == key)
                out[size_t(i - first)] = Decode(s, 1, type);
        }
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            Fail(conn, rc, path);
        values.swap(out);
    }

    // The stored record, read afresh; false when another user deleted it.
    bool ReadRecord(int idx, std::vector<QVariant>& out) { return ReadKey(rows[size_t(idx)], out); }

    bool ReadKey(qint64 key, std::vector<QVariant>& out)
    {
        if (!rowStmt)
            rowStmt = Prepare(conn,
                              QStringLiteral("SELECT %1 FROM %2 WHERE \"__row\"=?1").arg(ColumnList(), Records()),
                              path);
        StmtUse use(rowStmt);
        sqlite3_bind_int64(rowStmt, 1, key);
        int rc = sqlite3_step(rowStmt);
        if (rc == SQLITE_DONE)
            return false;
        if (rc != SQLITE_ROW)
            Fail(conn, rc, path);
        out.resize(fields.size());
        for (size_t c = 0; c < fields.size(); ++c)
            out[c] = Decode(rowStmt, int(c), fields[c]->DataType());
        return true;
    }

    // Overwrites values with what the table has shown of record idx: the
    // values read earlier and still held, which bound controls display.
    void ShownValues(int idx, std::vector<QVariant>& values) const
    {
        const int no = idx / kPageRows;
        for (const Page& p : pages) {
            if (p.no != no)
                continue;
            for (size_t c = 0; c < p.cols.size() && c < values.size(); ++c)
                if (!p.cols[c].empty())
                    values[c] = p.cols[c][size_t(idx - no * kPageRows)];
            return;
        }
    }

    void Step(sqlite3_stmt* s)
    {
        StmtUse use(s);
        int rc = sqlite3_step(s);
        if (rc != SQLITE_DONE && rc != SQLITE_ROW)
            Fail(conn, rc, path);
    }

    QString Keys() const { return Quote(schema) + QStringLiteral(".\"__keys\""); }

    // Runs one write as a unit: its own transaction, or a savepoint inside the
    // database transaction. A file of an older build gets its key counter
    // first, before a delete could free the highest key.
    template <typename Fn>
    void Write(Fn&& fn)
    {
        const bool nested = tx != nullptr;
        Exec(conn, nested ? QStringLiteral("SAVEPOINT \"__write\"") : QStringLiteral("BEGIN IMMEDIATE"), path);
        try {
            if (!hasKeys)
                Exec(conn,
                     QStringLiteral("CREATE TABLE IF NOT EXISTS %1(high INTEGER NOT NULL);"
                                    "INSERT INTO %1 SELECT coalesce(max(\"__row\"),0) FROM %2"
                                    " WHERE NOT EXISTS(SELECT 1 FROM %1)")
                         .arg(Keys(), Records()),
                     path);
            fn();
            Exec(conn, nested ? QStringLiteral("RELEASE \"__write\"") : QStringLiteral("COMMIT"), path);
        } catch (...) {
            if (nested)
                sqlite3_exec(conn, "ROLLBACK TO \"__write\"; RELEASE \"__write\"", nullptr, nullptr, nullptr);
            else
                sqlite3_exec(conn, "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
        // Inside a database transaction the counter table may still be rolled back.
        if (!nested)
            hasKeys = true;
    }

    [[noreturn]] void FailDeleted() const
    {
        throw EDatabaseError(DeletedByOtherText(path));
    }

    qint64 InsertRecord()
    {
        qint64 key = 0;
        Write([&] {
            if (!insertStmt) {
                QStringList params;
                for (size_t c = 0; c < fields.size(); ++c)
                    params << QStringLiteral("?%1").arg(c + 1);
                // The next key is above every key the file has ever given.
                insertStmt = Prepare(conn,
                                     QStringLiteral("INSERT INTO %1(\"__row\",%2) VALUES((SELECT max("
                                                    "coalesce((SELECT max(high) FROM %4),0),"
                                                    "coalesce((SELECT max(\"__row\") FROM %1),0))+1),%3)")
                                         .arg(Records(), ColumnList(), params.join(QLatin1Char(',')), Keys()),
                                     path);
            }
            for (size_t c = 0; c < fields.size(); ++c)
                Bind(insertStmt, int(c + 1), buf[c], fields[c]->DataType());
            Step(insertStmt);
            key = sqlite3_last_insert_rowid(conn);
            if (!keysStmt)
                keysStmt = Prepare(conn, QStringLiteral("UPDATE %1 SET high=?1").arg(Keys()), path);
            sqlite3_bind_int64(keysStmt, 1, key);
            Step(keysStmt);
        });
        return key;
    }

    // Writes only the fields this edit changed, so that another workplace's
    // change to other fields of the record stays. A field this edit changed
    // that another workplace changed too since the edit began is refused, and
    // so is a record that is gone.
    void UpdateRecord(qint64 key)
    {
        std::vector<size_t> changed;
        for (size_t c = 0; c < fields.size(); ++c)
            if (dirty[c] && !(buf[c] == orig[c]))
                changed.push_back(c);
        if (changed.empty()) {
            if (!RecordExists(key))
                FailDeleted();
            return;
        }
        QStringList sets;
        for (size_t i = 0; i < changed.size(); ++i)
            sets << QStringLiteral("%1=?%2").arg(Quote(fields[changed[i]]->FieldName())).arg(i + 1);
        Write([&] {
            // Under the write lock: what the file holds now is what stays unless we write.
            std::vector<QVariant> now;
            if (!ReadKey(key, now))
                FailDeleted();
            std::vector<size_t> clashes;
            for (size_t c : changed)
                if (!(now[c] == orig[c]) && !(now[c] == buf[c]))
                    clashes.push_back(c);
            if (!clashes.empty()) {
                // The controls show the stored values again after a cancel.
                pages.clear();
                FailChangedElsewhere(clashes, now);
            }
            Stmt update(conn,
                        QStringLiteral("UPDATE %1 SET %2 WHERE \"__row\"=?%3")
                            .arg(Records(), sets.join(QLatin1Char(',')))
                            .arg(changed.size() + 1),
                        path);
            for (size_t i = 0; i < changed.size(); ++i)
                Bind(update.stmt, int(i + 1), buf[changed[i]], fields[changed[i]]->DataType());
            sqlite3_bind_int64(update.stmt, int(changed.size() + 1), key);
            Step(update.stmt);
            if (sqlite3_changes(conn) != 1)
                FailDeleted();
        });
    }

    [[noreturn]] void FailChangedElsewhere(const std::vector<size_t>& clashes, const std::vector<QVariant>& now) const
    {
        QString text = QStringLiteral("Промяната не е записана: докато редактирахте, друго работно място промени "
                                      "същия запис в таблица „%1“. Сега в него е записано:")
                           .arg(TableFile(path));
        for (size_t c : clashes)
            text += QStringLiteral("\n%1: %2").arg(fields[c]->DisplayLabel(), ShownValue(now[c], fields[c]->DataType()));
        text += QStringLiteral("\nОткажете промяната, за да видите записаното, и я направете отново, ако искате да го "
                               "замените.");
        throw EDatabaseError(text);
    }

    bool RecordExists(qint64 key)
    {
        Stmt q(conn, QStringLiteral("SELECT 1 FROM %1 WHERE \"__row\"=?1").arg(Records()), path);
        sqlite3_bind_int64(q.stmt, 1, key);
        int rc = sqlite3_step(q.stmt);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            Fail(conn, rc, path);
        return rc == SQLITE_ROW;
    }

    void DeleteRecord(qint64 key)
    {
        Write([&] {
            if (!deleteStmt)
                deleteStmt =
                    Prepare(conn, QStringLiteral("DELETE FROM %1 WHERE \"__row\"=?1").arg(Records()), path);
            sqlite3_bind_int64(deleteStmt, 1, key);
            Step(deleteStmt);
        });
    }

    // Routes reads and writes through another connection (a transaction's).
    void SwitchTo(sqlite3* db, const QString& schemaName, TDatabaseTransaction* transaction)
    {
        FinalizeStatements();
        conn = db;
        schema = schemaName;
        tx = transaction;
    }
};

// ---------------------------------------------------------------- fields

QString TField::FormatValue(const QVariant& v, bool display) const
{
    switch (type_) {
    case TFieldType::ftString: return v.toString();
    case TFieldType::ftFloat:
        if (v.typeId() == QMetaType::QString)
            return v.toString();  // stored text that is no number
        return v.isNull() ? QString() : FloatToStr(v.toDouble());
    case TFieldType::ftCurrency: {
        if (v.isNull())
            return {};
        if (v.typeId() == QMetaType::QString)
            return v.toString();
        const double value = v.toDouble();
        // Rounded on the shown digits, as every other money text of the program.
        if (display && std::isfinite(value))
            return RoundMoneyString(FloatToStr(value));
        return FloatToStr(value);
    }
    case TFieldType::ftBoolean:
        if (v.isNull())
            return {};
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case TFieldType::ftMemo: return v.isNull() ? QStringLiteral("(Memo)") : QStringLiteral("(MEMO)");
    case TFieldType::ftGraphic: return v.isNull() ? QStringLiteral("(Graphic)") : QStringLiteral("(GRAPHIC)");
    }
    return {};
}

QString TField::Text() const
{
    if (OnGetText) {
        table_->CheckActive();
        QString text;
        OnGetText(const_cast<TField*>(this), text, false);
        return text;
    }
    return FormatValue(table_->FieldValue(this), false);
}

QString TField::DisplayText() const
{
    if (OnGetText) {
        table_->CheckActive();
        QString text;
        OnGetText(const_cast<TField*>(this), text, true);
        return text;
    }
    return FormatValue(table_->FieldValue(this), true);
}

QString TField::TextAt(int recNo) const
{
    if (OnGetText && recNo == table_->RecNo())
        return Text();
    return FormatValue(table_->FieldValueAt(this, recNo), false);
}

QString TField::DisplayTextAt(int recNo) const
{
    if (OnGetText && recNo == table_->RecNo())
        return DisplayText();
    return FormatValue(table_->FieldValueAt(this, recNo), true);
}

QString TField::AsStringAt(int recNo) const
{
    const QVariant v = table_->FieldValueAt(this, recNo);
    switch (type_) {
    case TFieldType::ftMemo: return v.toString();
    case TFieldType::ftGraphic: return QString::fromLatin1(v.toByteArray());
    default: return FormatValue(v, false);
    }
}

QString TField::AsString() const
{
    QVariant v = table_->FieldValue(this);
    switch (type_) {
    case TFieldType::ftMemo: return v.toString();
    case TFieldType::ftGraphic: return QString::fromLatin1(v.toByteArray());
    default: return FormatValue(v, false);
    }
}

double TField::AsFloat() const
{
    QVariant v = table_->FieldValue(this);
    if (v.isNull())
        return 0;
    switch (type_) {
    case TFieldType::ftFloat:
    case TFieldType::ftCurrency:
        if (v.typeId() == QMetaType::QString)
            return ParseFloat(v.toString());  // raises: stored text that is no number
        return v.toDouble();
    case TFieldType::ftBoolean: return v.toBool() ? 1 : 0;
    case TFieldType::ftGraphic: return ParseFloat(QString::fromLatin1(v.toByteArray()));
    default: return ParseFloat(v.toString());
    }
}

QByteArray TField::AsBytes() const
{
    QVariant v = table_->FieldValue(this);
    if (type_ == TFieldType::ftGraphic)
        return v.toByteArray();
    return AsString().toUtf8();
}

QString TField::AsMemo() const
{
    return AsString();
}

bool TField::IsNull() const
{
    return table_->FieldValue(this).isNull();
}

QVariant TField::Convert(const QString& text) const
{
    switch (type_) {
    case TFieldType::ftString: {
        QString s = size_ > 0 ? text.left(size_) : text;
        return s.isEmpty() ? QVariant() : QVariant(s);
    }
    case TFieldType::ftFloat:
    case TFieldType::ftCurrency:
        if (text.trimmed().isEmpty())
            return {};
        return ParseFloat(text);
    case TFieldType::ftBoolean: {
        QString t = text.trimmed();
        if (t.isEmpty())
            return {};
        if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return false;
        throw EConvertError(InvalidFlagText(text));
    }
    case TFieldType::ftMemo: return text.isEmpty() ? QVariant() : QVariant(text);
    case TFieldType::ftGraphic: return text.isEmpty() ? QVariant() : QVariant(text.toLatin1());
    }
    return {};
}

void TField::SetText(const QString& text)
{
    table_->CheckWritable(this);  // a closed or browsing table refuses before any conversion
    table_->SetFieldValue(this, Convert(text));
}

void TField::SetAsBytes(const QByteArray& bytes)
{
    if (type_ == TFieldType::ftGraphic)
        table_->SetFieldValue(this, bytes.isEmpty() ? QVariant() : QVariant(bytes));
    else
        SetText(QString::fromUtf8(bytes));
}

void TField::SetAsMemo(const QString& text)
{
    SetText(text);
}

void TField::Clear()
{
    table_->SetFieldValue(this, QVariant());
}

// ---------------------------------------------------------------- table

TTable::TTable(TComponent* owner) : TComponent(owner), d_(std::make_unique<Impl>()) {}

TTable::~TTable()
{
    if (d_->tx)
        d_->tx->Leave(this);
    d_->FinalizeStatements();
    if (d_->own)
        sqlite3_close_v2(d_->own);
    for (TDataSource* s : d_->sources)
        s->dataSet_ = nullptr;
}

QString TTable::DatabaseName() const { return d_->folder; }
QString TTable::TableName() const { return d_->tableName; }

void TTable::SetDatabaseName(const QString& folder)
{
    if (Active())
        throw EDatabaseError(OpenTableText(FilePath()));
    d_->folder = folder;
}

void TTable::SetTableName(const QString& fileName)
{
    if (Active())
        throw EDatabaseError(OpenTableText(FilePath()));
    d_->tableName = fileName;
}

QString TTable::FilePath() const
{
    return QDir(d_->folder.isEmpty() ? QStringLiteral(".") : d_->folder).filePath(d_->tableName);
}

TFieldDefs& TTable::FieldDefs() { return d_->defs; }

void TTable::CreateTable()
{
    if (Active())
        throw EDatabaseError(OpenTableText(FilePath()));
    const QString path = FilePath();
    const auto& defs = d_->defs.defs_;
    if (defs.empty())
        throw EDatabaseError(QStringLiteral("Вътрешна грешка: таблица „%1“ няма описани полета.").arg(TableFile(path)));
    for (const TFieldDef& def : defs)
        if (def.Name.trimmed().isEmpty() || def.Name.startsWith(QLatin1String("__")))
            throw EDatabaseError(QStringLiteral("Вътрешна грешка: невалидно име на поле „%1“ в таблица „%2“.")
                                     .arg(def.Name, TableFile(path)));

    // Built beside the target and renamed over it, so a failure leaves no half file.
    const QString temp = path + QStringLiteral(".new");
    QFile::remove(temp);
    QFile::remove(temp + QStringLiteral("-journal"));
    sqlite3* db = nullptr;
    try {
        db = OpenConnection(temp, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        QStringList cols{QStringLiteral("\"__row\" INTEGER PRIMARY KEY")};
        for (const TFieldDef& def : defs)
            cols << Quote(def.Name) + QLatin1Char(' ') + QLatin1String(ColumnType(def.DataType));
        Exec(db,
             // Large pages: fewer reads when a walk goes through a big register.
             QStringLiteral("PRAGMA page_size=32768; PRAGMA journal_mode=DELETE; PRAGMA application_id=%1;"
                            "PRAGMA user_version=1; BEGIN;"
                            "CREATE TABLE \"__fields\"(pos INTEGER PRIMARY KEY, name TEXT NOT NULL,"
                            " type TEXT NOT NULL, size INTEGER NOT NULL, required INTEGER NOT NULL);"
                            "CREATE TABLE \"records\"(%2);"
                            "CREATE TABLE \"__keys\"(high INTEGER NOT NULL); INSERT INTO \"__keys\" VALUES(0);"
                            // Record order read at open without scanning the records.
                            "CREATE INDEX \"__order\" ON \"records\"(\"__row\");")
                 .arg(kApplicationId)
                 .arg(cols.join(QLatin1Char(','))),
             path);
        {
            Stmt ins(db, QStringLiteral("INSERT INTO \"__fields\" VALUES(?1,?2,?3,?4,?5)"), path);
            for (size_t i = 0; i < defs.size(); ++i) {
                QByteArray name = defs[i].Name.toUtf8();
                sqlite3_bind_int(ins.stmt, 1, int(i));
                sqlite3_bind_text(ins.stmt, 2, name.constData(), int(name.size()), SQLITE_TRANSIENT);
                sqlite3_bind_text(ins.stmt, 3, TypeName(defs[i].DataType), -1, SQLITE_STATIC);
                sqlite3_bind_int(ins.stmt, 4, defs[i].Size);
                sqlite3_bind_int(ins.stmt, 5, defs[i].Required ? 1 : 0);
                StmtUse use(ins.stmt);
                int rc = sqlite3_step(ins.stmt);
                if (rc != SQLITE_DONE)
                    Fail(db, rc, path);
            }
        }
        Exec(db, QStringLiteral("COMMIT"), path);
        int rc = sqlite3_close(db);
        db = nullptr;
        if (rc != SQLITE_OK)
            throw EDatabaseError(CreateFailedText(path));
        RemoveStaleJournal(path);
        if (std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(path).constData()) != 0)
            throw EDatabaseError(CreateFailedText(path));
    } catch (const EDatabaseError& e) {
        if (db)
            sqlite3_close_v2(db);
        QFile::remove(temp);
        QFile::remove(temp + QStringLiteral("-journal"));
        // A fault of the file being built names that file: say which table it was for.
        if (e.Message.contains(QStringLiteral("„%1“").arg(TableFile(path))))
            throw;
        throw EDatabaseError(CreateFailedText(path));
    }
}

void TTable::Open()
{
    if (Active())
        return;
    Impl& d = *d_;
    const QString path = FilePath();
    QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        throw EDatabaseError(QStringLiteral("Таблица „%1“ липсва в папката с данни.\n").arg(TableFile(path)) +
                             kChooseDataFolder);

    sqlite3* db = OpenConnection(path, SQLITE_OPEN_READWRITE);
    std::vector<TFieldDef> defs;
    std::vector<TField*> fields;
    try {
        {
            Stmt q(db, QStringLiteral("PRAGMA application_id"), path);
            int rc = sqlite3_step(q.stmt);
            if (rc != SQLITE_ROW)
                Fail(db, rc, path);
            if (sqlite3_column_int(q.stmt, 0) != kApplicationId)
                throw EDatabaseError(NotATableText(path));
        }
        Exec(db, QStringLiteral("PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL"), path);
        {
            Stmt q(db, QStringLiteral("SELECT name, type, size, required FROM \"__fields\" ORDER BY pos"), path);
            int rc;
            while ((rc = sqlite3_step(q.stmt)) == SQLITE_ROW) {
                TFieldDef def;
                def.Name = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(q.stmt, 0)));
                QString type = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(q.stmt, 1)));
                if (!TypeFromName(type, def.DataType))
                    throw EDatabaseError(QStringLiteral("Таблица „%1“ има поле от непознат вид.\n").arg(TableFile(path)) +
                                         kChooseDataFolder);
                def.Size = sqlite3_column_int(q.stmt, 2);
                def.Required = sqlite3_column_int(q.stmt, 3) != 0;
                defs.push_back(def);
            }
            if (rc != SQLITE_DONE)
                Fail(db, rc, path);
        }
        // Every recorded field must be a column of the records, named exactly so.
        {
            QStringList columns;
            Stmt q(db, QStringLiteral("SELECT name FROM pragma_table_info('records')"), path);
            int rc;
            while ((rc = sqlite3_step(q.stmt)) == SQLITE_ROW)
                columns << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(q.stmt, 0)));
            if (rc != SQLITE_DONE)
                Fail(db, rc, path);
            bool whole = columns.contains(QStringLiteral("__row"));
            for (const TFieldDef& def : defs)
                whole = whole && columns.contains(def.Name);
            if (!whole)
                Fail(db, SQLITE_CORRUPT, path);
        }
        {
            Stmt q(db, QStringLiteral("SELECT 1 FROM sqlite_master WHERE name='__keys'"), path);
            int rc = sqlite3_step(q.stmt);
            if (rc != SQLITE_ROW && rc != SQLITE_DONE)
                Fail(db, rc, path);
            d.hasKeys = rc == SQLITE_ROW;
        }
        // Fields the code declared must be in the file with the same type.
        for (TField* f : d.declared) {
            auto it = std::find_if(defs.begin(), defs.end(), [f](const TFieldDef& def) {
                return def.Name.compare(f->FieldName(), Qt::CaseInsensitive) == 0;
            });
            if (it == defs.end())
                throw EDatabaseError(FieldMissingText(f->FieldName(), path));
            if (it->DataType != f->DataType())
                throw EDatabaseError(QStringLiteral("Полето „%1“ в таблица „%2“ е от друг вид.\n")
                                         .arg(f->FieldName(), TableFile(path)) +
                                     kChooseDataFolder);
        }
        d.own = d.conn = db;
        d.schema = QStringLiteral("main");
        d.path = path;
        d.LoadRows();
        RemoveLeftoverJournal(db, path);
        RemoveOrphanSuperJournals(info.absolutePath());
    } catch (...) {
        d.own = d.conn = nullptr;
        d.rows.clear();
        sqlite3_close_v2(db);
        throw;
    }

    // Reuse field objects by name so that handlers bound to them stay.
    for (TField* f : d.fields)
        f->index_ = -1;
    for (TField* f : d.declared)
        f->index_ = -1;
    for (const TFieldDef& def : defs) {
        // Declared fields first: an older object of the same name must not take their place.
        auto sameName = [&def](TField* f) {
            return f->index_ < 0 && f->name_.compare(def.Name, Qt::CaseInsensitive) == 0;
        };
        TField* field = nullptr;
        auto declared = std::find_if(d.declared.begin(), d.declared.end(), sameName);
        if (declared != d.declared.end())
            field = *declared;
        for (auto it = d.owned.begin(); !field && it != d.owned.end(); ++it)
            if (sameName(it->get()))
                field = it->get();
        if (!field) {
            d.owned.push_back(std::unique_ptr<TField>(new TField(this, def.Name, def.DataType, def.Size)));
            field = d.owned.back().get();
        }
        field->name_ = def.Name;
        field->type_ = def.DataType;
        field->size_ = def.Size;
        field->index_ = int(fields.size());
        fields.push_back(field);
    }
    d.fields = fields;
    d.defs.defs_ = defs;
    d.pages.clear();
    d.columnStmts.assign(d.fields.size(), nullptr);
    d.state = TDataSetState::dsBrowse;
    d.cur = d.rows.empty() ? -1 : 0;
    d.bof = true;
    d.eof = d.rows.empty();
    d.modified = false;
    d.buf.clear();
    NotifyLinks(Notice::RecordAndState);
}

void TTable::Close()
{
    if (!Active())
        return;
    Impl& d = *d_;
    if (d.tx)
        d.tx->Leave(this);
    d.FinalizeStatements();
    sqlite3_close_v2(d.own);
    d.own = d.conn = nullptr;
    d.rows.clear();
    d.pages.clear();
    d.buf.clear();
    d.cur = -1;
    d.bof = d.eof = true;
    d.modified = false;
    d.state = TDataSetState::dsInactive;
    for (TField* f : d.fields)
        f->index_ = -1;
    d.fields.clear();
    for (TField* f : d.declared) {
        f->index_ = int(d.fields.size());
        d.fields.push_back(f);
    }
    NotifyLinks(Notice::RecordAndState);
}

bool TTable::Active() const { return d_->state != TDataSetState::dsInactive; }
TDataSetState TTable::State() const { return d_->state; }
bool TTable::Editing() const { return d_->Editing(); }

QString RecordsText(qsizetype count)
{
    return count == 1 ? QStringLiteral("1 запис") : QStringLiteral("%1 записа").arg(count);
}
bool TTable::Modified() const { return d_->modified; }

void TTable::CheckActive() const
{
    if (!Active())
        throw EDatabaseError(QStringLiteral("Таблица „%1“ не е отворена.\nИзберете работно място с данни или "
                                            "стартирайте програмата отново.")
                                 .arg(d_->tableName));
}

// Leaves edit or insert state before the current record moves.
void TTable::CheckBrowseMode()
{
    CheckActive();
    if (!d_->Editing())
        return;
    NotifyLinks(Notice::UpdateData);
    if (!d_->Editing())
        return;
    if (d_->state == TDataSetState::dsInsert && !d_->modified) {
        DropEdit();
        Fire(AfterCancel);
        return;
    }
    PostRecord(false);
}

void TTable::DropEdit()
{
    d_->state = TDataSetState::dsBrowse;
    d_->modified = false;
    d_->buf.clear();
    NotifyLinks(Notice::RecordAndState);
}

void TTable::Refresh()
{
    CheckBrowseMode();
    d_->Reload();
    NotifyLinks(Notice::Record);
    Fire(AfterRefresh);
}

void TTable::Resync()
{
    CheckActive();
    if (d_->Editing())
        throw EDatabaseError(QStringLiteral("Таблица „%1“ има незаписана промяна.\nЗапишете или откажете промяната в "
                                            "прозореца, в който я правите, и опитайте отново.")
                                 .arg(TableFile(d_->path)));
    d_->Reload();
    NotifyLinks(Notice::Record);
}

void TTable::MoveTo(int index)
{
    Impl& d = *d_;
    if (index == d.cur)
        return;
    d.cur = index;
    NotifyLinks(Notice::Record);
    Fire(AfterScroll);
}

void TTable::First()
{
    CheckBrowseMode();
    Impl& d = *d_;
    d.bof = true;
    d.eof = d.rows.empty();
    if (!d.rows.empty())
        MoveTo(0);
}

void TTable::Last()
{
    CheckBrowseMode();
    Impl& d = *d_;
    d.eof = true;
    d.bof = d.rows.empty();
    if (!d.rows.empty())
        MoveTo(int(d.rows.size()) - 1);
}

void TTable::Next()
{
    CheckBrowseMode();
    Impl& d = *d_;
    if (d.rows.empty() || d.cur >= int(d.rows.size()) - 1) {
        d.eof = true;
        return;
    }
    d.bof = d.eof = false;
    MoveTo(d.cur + 1);
}

void TTable::Prior()
{
    CheckBrowseMode();
    Impl& d = *d_;
    if (d.cur <= 0) {
        d.bof = true;
        return;
    }
    d.bof = d.eof = false;
    MoveTo(d.cur - 1);
}

bool TTable::Eof() const { return !Active() || d_->eof; }
bool TTable::Bof() const { return !Active() || d_->bof; }

int TTable::RecordCount() const
{
    CheckActive();
    return int(d_->rows.size());
}

bool TTable::IsEmpty() const
{
    return !Active() || (d_->rows.empty() && d_->state != TDataSetState::dsInsert);
}

int TTable::RecNo() const
{
    CheckActive();
    if (d_->state == TDataSetState::dsInsert)
        return int(d_->rows.size()) + 1;
    return d_->cur + 1;
}

void TTable::SetRecNo(int recNo)
{
    CheckBrowseMode();
    Impl& d = *d_;
    if (d.rows.empty())
        return;
    if (recNo < 1 || recNo > int(d.rows.size()))
        throw EDatabaseError(QStringLiteral("Запис %1 липсва в таблица „%2“, която има %3.\nЗатворете прозореца и "
                                            "го отворете отново.")
                                 .arg(recNo)
                                 .arg(d.tableName)
                                 .arg(RecordsText(qsizetype(d.rows.size()))));
    d.bof = d.eof = false;
    MoveTo(recNo - 1);
}

void TTable::Append()
{
    CheckBrowseMode();
    Impl& d = *d_;
    d.buf.assign(d.fields.size(), QVariant());
    d.modified = false;
    d.state = TDataSetState::dsInsert;
    NotifyLinks(Notice::RecordAndState);
}

void TTable::Insert() { Append(); }

void TTable::Edit()
{
    CheckActive();
    Impl& d = *d_;
    if (d.Editing() || d.rows.empty())
        return;
    std::vector<QVariant> values;
    if (!d.ReadRecord(d.cur, values))
        throw EDatabaseError(DeletedByOtherText(d.path));
    // The edit begins from what the user has seen; the stored values are read
    // again when it is posted.
    d.orig = values;
    d.ShownValues(d.cur, d.orig);
    d.buf.swap(values);
    d.dirty.assign(d.fields.size(), false);
    d.modified = false;
    d.state = TDataSetState::dsEdit;
    NotifyLinks(Notice::State);
}

void TTable::Post()
{
    CheckActive();
    if (!d_->Editing())
        return;
    PostRecord(true);
}

void TTable::PostRecord(bool updateLinks)
{
    Impl& d = *d_;
    if (updateLinks) {
        NotifyLinks(Notice::UpdateData);
        if (!d.Editing())
            return;
    }
    if (BeforePost)
        BeforePost(this);
    // The user's own change, posted first inside a transaction, is kept in case it rolls back.
    const bool usersChange = d.tx && d.keepOnRollback && !d.postedInTx;
    Impl::PendingEdit pending;
    if (usersChange)
        pending = {d.state, d.buf, d.orig, d.dirty, d.modified,
                   d.cur >= 0 && d.state == TDataSetState::dsEdit ? d.rows[size_t(d.cur)] : -1};
    if (d.state == TDataSetState::dsInsert) {
        qint64 key = d.InsertRecord();
        d.rows.push_back(key);
        d.cur = int(d.rows.size()) - 1;
    } else {
        d.UpdateRecord(d.rows[size_t(d.cur)]);
    }
    if (usersChange)
        d.postedInTx = std::move(pending);
    d.pages.clear();
    d.buf.clear();
    d.orig.clear();
    d.dirty.clear();
    d.modified = false;
    d.bof = d.eof = false;
    d.state = TDataSetState::dsBrowse;
    NotifyLinks(Notice::RecordAndState);
    Fire(AfterPost);
}

void TTable::Cancel()
{
    CheckActive();
    if (!d_->Editing())
        return;
    DropEdit();
    Fire(AfterCancel);
}

void TTable::Delete()
{
    CheckActive();
    Impl& d = *d_;
    if (d.state == TDataSetState::dsInsert) {
        Cancel();
        return;
    }
    if (d.rows.empty())
        throw EDatabaseError(QStringLiteral("Таблица „%1“ е празна: няма запис за изтриване.").arg(d.tableName));
    d.DeleteRecord(d.rows[size_t(d.cur)]);
    d.rows.erase(d.rows.begin() + d.cur);
    d.cur = std::min(d.cur, int(d.rows.size()) - 1);
    d.pages.clear();
    d.buf.clear();
    d.modified = false;
    d.state = TDataSetState::dsBrowse;
    if (d.rows.empty())
        d.bof = d.eof = true;
    NotifyLinks(Notice::RecordAndState);
    Fire(AfterDelete);
}

TField* TTable::FindField(const QString& name) const
{
    for (TField* f : d_->fields)
        if (f->FieldName().compare(name, Qt::CaseInsensitive) == 0)
            return f;
    return nullptr;
}

TField* TTable::FieldByName(const QString& name) const
{
    TField* f = FindField(name);
    if (!f)
        throw EDatabaseError(FieldMissingText(name, d_->tableName));
    return f;
}

TField* TTable::Fields(int index) const
{
    if (index < 0 || index >= d_->FieldCount())
        throw EListError(ListIndexText(index));
    return d_->fields[size_t(index)];
}

int TTable::FieldCount() const { return d_->FieldCount(); }

TField* TTable::DeclareField(const QString& name, TFieldType type, int size)
{
    if (Active())
        throw EDatabaseError(OpenTableText(FilePath()));
    if (TField* f = FindField(name))
        return f;
    d_->owned.push_back(std::unique_ptr<TField>(new TField(this, name, type, size)));
    TField* f = d_->owned.back().get();
    f->index_ = int(d_->fields.size());
    d_->fields.push_back(f);
    d_->declared.push_back(f);
    return f;
}

QVariant TTable::FieldValue(const TField* field) const
{
    CheckActive();
    Impl& d = *d_;
    if (field->index_ < 0)
        throw EDatabaseError(FieldMissingText(field->FieldName(), d_->tableName));
    if (d.Editing())
        return d.buf[size_t(field->index_)];
    if (d.cur < 0)
        return {};
    return d.Cached(d.cur, field->index_);
}

TTable::TColumnRead TTable::ColumnTexts(const std::vector<TField*>& fields, const TField* where,
                                        const QString& equals) const
{
    CheckActive();
    Impl& d = *d_;
    QStringList cols;
    for (const TField* f : fields) {
        if (f->table_ != this || f->index_ < 0)
            throw EDatabaseError(FieldMissingText(f->FieldName(), d_->tableName));
        cols << Quote(f->FieldName());
    }
    if (where && (where->table_ != this || where->index_ < 0))
        throw EDatabaseError(FieldMissingText(where->FieldName(), d_->tableName));
    TColumnRead out;
    out.Texts.resize(fields.size());
    const size_t n = d.rows.size();
    if (n == 0)
        return out;
    // A pending change of the current record is not in the file yet: filter in memory then.
    const bool pending = d.Editing() && d.cur >= 0 && size_t(d.cur) < n;
    const bool sqlFilter = where && !pending && where->DataType() == TFieldType::ftString;
    QString sql = QStringLiteral("SELECT \"__row\"");
    for (const QString& c : cols)
        sql += QLatin1Char(',') + c;
    sql += QStringLiteral(" FROM ") + d.Records();
    if (sqlFilter)
        sql += QStringLiteral(" WHERE coalesce(%1,'')=?1").arg(Quote(where->FieldName()));
    sql += QStringLiteral(" ORDER BY \"__row\"");
    Stmt q(d.conn, sql, d.path);
    QByteArray key8;
    if (sqlFilter) {
        key8 = equals.toUtf8();
        sqlite3_bind_text(q.stmt, 1, key8.constData(), int(key8.size()), SQLITE_STATIC);
    }
    size_t i = 0;
    int rc;
    while ((rc = sqlite3_step(q.stmt)) == SQLITE_ROW) {
        const qint64 key = sqlite3_column_int64(q.stmt, 0);
        while (i < n && d.rows[i] < key)
            ++i;
        if (i >= n)
            break;
        if (d.rows[i] != key)
            continue;  // written by another workplace since the last read
        const int recNo = int(i) + 1;
        if (where && !sqlFilter && where->TextAt(recNo) != equals)
            continue;
        out.RecNos.push_back(recNo);
        const bool current = pending && int(i) == d.cur;
        for (size_t c = 0; c < fields.size(); ++c)
            out.Texts[c].push_back(current ? fields[c]->TextAt(recNo)
                                           : fields[c]->FormatValue(Decode(q.stmt, int(c) + 1, fields[c]->DataType()),
                                                                    false));
    }
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        Fail(d.conn, rc, d.path);
    return out;
}

QVariant TTable::FieldValueAt(const TField* field, int recNo) const
{
    CheckActive();
    Impl& d = *d_;
    if (field->index_ < 0)
        throw EDatabaseError(FieldMissingText(field->FieldName(), d_->tableName));
    if (d.Editing() && recNo == RecNo())
        return d.buf[size_t(field->index_)];
    if (recNo < 1 || recNo > int(d.rows.size()))
        return {};
    return d.Cached(recNo - 1, field->index_);
}

void TTable::CheckWritable(const TField* field) const
{
    CheckActive();
    if (!d_->Editing())
        throw EDatabaseError(QStringLiteral("Вътрешна грешка: записът в таблица „%1“ не се редактира.\nОпитайте отново.")
                                 .arg(d_->tableName));
    if (field->index_ < 0)
        throw EDatabaseError(FieldMissingText(field->FieldName(), d_->tableName));
}

void TTable::SetFieldValue(TField* field, const QVariant& value)
{
    CheckWritable(field);
    Impl& d = *d_;
    d.buf[size_t(field->index_)] = value;
    if (d.state == TDataSetState::dsEdit)
        d.dirty[size_t(field->index_)] = true;
    d.modified = true;
    if (d.updatingData == 0)
        NotifyLinks(Notice::Field, field);
}

void TTable::Fire(const TNotifyEvent& event)
{
    if (event)
        event(this);
}

// Links may move this table or detach themselves from inside their handlers:
// each is looked up again before it is called.
void TTable::NotifyLinks(Notice notice, TField* field)
{
    if (notice == Notice::UpdateData)
        ++d_->updatingData;
    struct Done {
        TTable* t;
        bool counted;
        ~Done()
        {
            if (counted)
                --t->d_->updatingData;
        }
    } done{this, notice == Notice::UpdateData};

    const std::vector<TDataSource*> sources = d_->sources;
    for (TDataSource* s : sources) {
        if (std::find(d_->sources.begin(), d_->sources.end(), s) == d_->sources.end() || !s->enabled_)
            continue;
        const std::vector<TDataLink*> links = s->links_;
        for (TDataLink* l : links) {
            if (std::find(d_->sources.begin(), d_->sources.end(), s) == d_->sources.end() || !s->enabled_)
                break;
            if (std::find(s->links_.begin(), s->links_.end(), l) == s->links_.end())
                continue;
            switch (notice) {
            case Notice::Record: l->RecordChanged(); break;
            case Notice::State: l->StateChanged(); break;
            case Notice::RecordAndState:
                l->StateChanged();
                if (std::find(s->links_.begin(), s->links_.end(), l) != s->links_.end())
                    l->RecordChanged();
                break;
            case Notice::Field: l->FieldChanged(field); break;
            case Notice::UpdateData:
                if (d_->Editing())
                    l->UpdateData();
                break;
            }
        }
    }
}

// ---------------------------------------------------------------- data sources and links

TDataSource::TDataSource(TComponent* owner) : TComponent(owner) {}

TDataSource::~TDataSource()
{
    if (dataSet_) {
        auto& list = dataSet_->d_->sources;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    for (TDataLink* l : links_)
        l->source_ = nullptr;
}

void TDataSource::SetDataSet(TTable* table)
{
    if (table == dataSet_)
        return;
    if (dataSet_) {
        auto& list = dataSet_->d_->sources;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    dataSet_ = table;
    if (table)
        table->d_->sources.push_back(this);
    NotifyOwnLinks();
}

void TDataSource::SetEnabled(bool enabled)
{
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    NotifyOwnLinks();
}

void TDataSource::NotifyOwnLinks()
{
    const std::vector<TDataLink*> links = links_;
    for (TDataLink* l : links)
        if (std::find(links_.begin(), links_.end(), l) != links_.end())
            l->RecordChanged();
}

TDataLink::~TDataLink()
{
    if (source_) {
        auto& list = source_->links_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
}

void TDataLink::SetDataSource(TDataSource* source)
{
    if (source == source_)
        return;
    if (source_) {
        auto& list = source_->links_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    source_ = source;
    if (source_)
        source_->links_.push_back(this);
    RecordChanged();
}

TTable* TDataLink::DataSet() const { return source_ ? source_->DataSet() : nullptr; }

bool TDataLink::Active() const
{
    return source_ && source_->Enabled() && source_->DataSet() && source_->DataSet()->Active();
}

TField* TDataLink::Field(const QString& name) const
{
    return Active() ? DataSet()->FindField(name) : nullptr;
}

bool TDataLink::Edit()
{
    if (!Active())
        return false;
    TTable* t = DataSet();
    if (t->d_->Editing())
        return true;
    if (!source_->AutoEdit)
        return false;
    t->Edit();
    return t->d_->Editing();
}

void TDataLink::FieldChanged(TField*) { RecordChanged(); }

// ---------------------------------------------------------------- transactions

struct TDatabaseTransaction::Impl {
    sqlite3* db = nullptr;
    QString file;
    std::vector<TTable*> tables;
    bool active = false;
};

TDatabaseTransaction::TDatabaseTransaction(std::initializer_list<TTable*> tables)
    : TDatabaseTransaction(std::vector<TTable*>(tables))
{
}

TDatabaseTransaction::TDatabaseTransaction(const std::vector<TTable*>& tables) : d_(std::make_unique<Impl>())
{
    std::vector<TTable*> list;
    for (TTable* t : tables)
        if (t && std::find(list.begin(), list.end(), t) == list.end())
            list.push_back(t);
    if (list.empty())
        throw EDatabaseError(QStringLiteral("Вътрешна грешка: записът не засяга нито една таблица."));
    const QString folder = QFileInfo(list[0]->FilePath()).absolutePath();
    QStringList files;
    for (TTable* t : list) {
        t->CheckActive();
        if (t->d_->tx)
            throw EDatabaseError(QStringLiteral("Вътрешна грешка: таблица „%1“ вече се записва.").arg(TableFile(t->d_->path)));
        QFileInfo info(t->d_->path);
        if (info.absolutePath() != folder)
            throw EDatabaseError(QStringLiteral("Вътрешна грешка: таблица „%1“ не е в папката с данни на другите.")
                                     .arg(TableFile(t->d_->path)));
        QString canonical = info.canonicalFilePath();
        if (files.contains(canonical))
            throw EDatabaseError(QStringLiteral("Вътрешна грешка: таблица „%1“ е два пъти в записа.").arg(TableFile(t->d_->path)));
        files << canonical;
    }

    // One connection sees every file; SQLite commits attached files atomically
    // with a rollback journal.
    d_->file = list[0]->d_->path;
    d_->db = OpenConnection(d_->file, SQLITE_OPEN_READWRITE);
    try {
        Exec(d_->db, QStringLiteral("PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL"), d_->file);
        for (size_t i = 1; i < list.size(); ++i) {
            const QString alias = QStringLiteral("t%1").arg(i);
            {
                Stmt attach(d_->db, QStringLiteral("ATTACH DATABASE ?1 AS %1").arg(alias), d_->file);
                QByteArray p = list[i]->d_->path.toUtf8();
                sqlite3_bind_text(attach.stmt, 1, p.constData(), int(p.size()), SQLITE_TRANSIENT);
                int rc = sqlite3_step(attach.stmt);
                if (rc != SQLITE_DONE)
                    Fail(d_->db, rc, list[i]->d_->path);
            }
            Exec(d_->db, QStringLiteral("PRAGMA %1.journal_mode=DELETE; PRAGMA %1.synchronous=FULL").arg(alias),
                 list[i]->d_->path);
        }
        Exec(d_->db, QStringLiteral("BEGIN IMMEDIATE"), d_->file);
    } catch (...) {
        sqlite3_close_v2(d_->db);
        d_->db = nullptr;
        throw;
    }
    d_->active = true;
    d_->tables = list;
    for (TTable* t : list) {
        t->d_->keepOnRollback = t->d_->Editing();
        t->d_->postedInTx.reset();
    }
    for (size_t i = 0; i < list.size(); ++i)
        list[i]->d_->SwitchTo(d_->db, i == 0 ? QStringLiteral("main") : QStringLiteral("t%1").arg(i), this);
}

TDatabaseTransaction::~TDatabaseTransaction()
{
    if (d_->active) {
        try {
            Rollback();
        } catch (...) {
        }
    }
}

bool TDatabaseTransaction::Active() const { return d_->active; }

void TDatabaseTransaction::Commit()
{
    if (!d_->active)
        throw EDatabaseError(QStringLiteral("Вътрешна грешка: няма започнат запис."));
    for (TTable* t : d_->tables)
        t->d_->FinalizeStatements();
    Exec(d_->db, QStringLiteral("COMMIT"), d_->file);
    for (TTable* t : d_->tables) {
        t->d_->keepOnRollback = false;
        t->d_->postedInTx.reset();
    }
    Finish();
}

void TDatabaseTransaction::Rollback()
{
    if (!d_->active)
        return;
    for (TTable* t : d_->tables)
        t->d_->FinalizeStatements();
    sqlite3_exec(d_->db, "ROLLBACK", nullptr, nullptr, nullptr);
    std::vector<TTable*> tables = d_->tables;
    Finish();
    // The tables drop what they wrote and show their files again; a change
    // the user had pending before the transaction is pending again.
    std::vector<TTable*> untouched;  // their controls still hold typing not yet written
    for (TTable* t : tables) {
        TTable::Impl& d = *t->d_;
        if (d.keepOnRollback && d.Editing() && !d.postedInTx) {
            // Nothing of it was written, so its record list is as it was: the
            // edit stays on its own record, even one deleted meanwhile, and
            // never slides onto the neighbour.
            d.pages.clear();
            untouched.push_back(t);
        } else if (d.keepOnRollback && d.postedInTx) {
            TTable::Impl::PendingEdit& p = *d.postedInTx;
            d.Reload();
            const int idx = p.key >= 0 ? d.IndexOfRow(p.key) : -1;
            if (p.state == TDataSetState::dsInsert || idx >= 0) {
                if (idx >= 0)
                    d.cur = idx;
                d.state = p.state;
                d.buf = std::move(p.buf);
                d.orig = std::move(p.orig);
                d.dirty = std::move(p.dirty);
                d.modified = p.modified;
            } else {
                d.state = TDataSetState::dsBrowse;
                d.buf.clear();
                d.modified = false;
            }
        } else {
            d.state = TDataSetState::dsBrowse;
            d.buf.clear();
            d.modified = false;
            d.Reload();
        }
        d.keepOnRollback = false;
        d.postedInTx.reset();
    }
    for (TTable* t : tables)
        if (std::find(untouched.begin(), untouched.end(), t) == untouched.end())
            t->NotifyLinks(TTable::Notice::RecordAndState);
}

// Returns the tables to their own connections and closes the shared one.
void TDatabaseTransaction::Finish()
{
    for (TTable* t : d_->tables)
        t->d_->SwitchTo(t->d_->own, QStringLiteral("main"), nullptr);
    d_->tables.clear();
    sqlite3_close_v2(d_->db);
    d_->db = nullptr;
    d_->active = false;
}

// A table closed or destroyed while the transaction runs takes no further part.
void TDatabaseTransaction::Leave(TTable* table)
{
    table->d_->SwitchTo(table->d_->own, QStringLiteral("main"), nullptr);
    auto& list = d_->tables;
    list.erase(std::remove(list.begin(), list.end(), table), list.end());
}
