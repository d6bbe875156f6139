// The eight tables of the data folder: component names, file names, data
// sources and fields in order with their types and sizes.
#pragma once

#include "platform/db.h"

#include <QString>
#include <vector>

struct FieldDefinition {
    QString name;
    TFieldType type;
    int size;  // characters for strings, in-record bytes for memo and graphic fields
};

struct TableDefinition {
    QString component;   // "cust"
    QString fileName;    // "customer.db"
    QString dataSource;  // "DataSource1"
    bool createdByProgram;
    std::vector<FieldDefinition> fields;
};

// In the order the data module opens them.
const std::vector<TableDefinition>& TableDefinitions();
const TableDefinition& TableDefinitionOf(const QString& component);

// Fills a table's field definitions and creates its empty file in folder.
void CreateTableFile(const QString& folder, const TableDefinition& def);

// Creates every table file the program does not create itself (what an
// installation ships) in folder, skipping files that already exist. Returns
// the names of the files created.
QStringList CreateShippedTables(const QString& folder);
