// Lookup bindings and goods entries of the editor's drop-down list.
#pragma once

#include "page/wrap.h"

#include <QString>
#include <QStringList>

class TField;
class TTable;

// A control's Hint "field;table" or "field,fallback;table". A text without ';'
// is all table part and names no table.
struct LookupBinding {
    QString table;
    QString field;
    QString fallback;  // "" for a single field
};
LookupBinding ParseLookupBinding(const QString& hint);

// The data module's table of that component name, or nullptr.
TTable* LookupTable(const QString& name);

// A field's text at a record without moving the table; a memo gives its whole text.
QString LookupFieldText(TField* field, int recNo);

// The lines of a description (CR LF, LF or CR; a final break adds no line).
QStringList DescriptionLines(const QString& description);
// "first line~recNo": how a good is listed.
QString GoodsEntry(const QString& description, int recNo);
// The record number after the last '~'; raises EConvertError when there is none.
int GoodsEntryRecNo(const QString& entry);

// Each line of the description broken into pieces that fit (WrapToFit).
QStringList WrapDescription(const QString& description, const TextFits& fits);
