// String lists and the Windows-1251 text files the program reads and writes.
#pragma once

#include "platform/core.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

QString DecodeCp1251(const QByteArray& bytes);
// Characters outside Windows-1251 become '?'.
QByteArray EncodeCp1251(const QString& text);

class TStrings {
public:
    virtual ~TStrings() = default;
    int Count() const { return static_cast<int>(items_.size()); }
    // Out-of-range indexes raise EListError "List index out of bounds (%d)".
    QString Strings(int index) const;
    void SetStrings(int index, const QString& s);
    QString operator[](int index) const { return Strings(index); }
    virtual int Add(const QString& s);
    virtual void Insert(int index, const QString& s);
    virtual void Delete(int index);
    virtual void Clear();
    void Assign(const TStrings& other);
    void Assign(const QStringList& list);
    // Ignores letter case (Cyrillic too); -1 when absent.
    int IndexOf(const QString& s) const;
    // Every line, the last one too, followed by CR LF.
    QString Text() const;
    // Splits on CR LF, LF or CR; a final line break adds no empty line; "" gives 0 lines.
    void SetText(const QString& text);
    // Windows-1251; CR LF, LF or CR accepted when read; raises EInOutError when
    // the file cannot be opened.
    void LoadFromFile(const QString& path);
    // Windows-1251, every line ended by CR LF; raises EInOutError on failure.
    void SaveToFile(const QString& path) const;
    const QStringList& List() const { return items_; }

protected:
    // Runs once after every call that changed the list (controls mirror it here).
    virtual void Changed() {}
    QStringList items_;
};

class TStringList : public TStrings {};
