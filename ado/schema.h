#pragma once
// Schema rowsets (OpenSchema) built from the source's catalog, with the
// columns and types OLE DB documents for each and its restrictions by
// position. Jet has no catalogs or schemas: those columns are Null, and a
// restriction on them that is not Null matches nothing.
#include <vector>

#include "ado/recordset_error.h"
#include "jetsql/query.h"

namespace ado {

// ADO's SchemaEnum values of the rowsets answered.
enum class Schema : long {
    Columns = 4,   // TABLE_CATALOG, TABLE_SCHEMA, TABLE_NAME, COLUMN_NAME
    Indexes = 12,  // TABLE_CATALOG, TABLE_SCHEMA, INDEX_NAME, TYPE, TABLE_NAME
    Tables = 20,   // TABLE_CATALOG, TABLE_SCHEMA, TABLE_NAME, TABLE_TYPE
};

// restrictions: by position, Null for none; names as Text (matched as Jet
// matches names), TYPE as an Integer. Fails with BadArgument for more
// restrictions than the rowset has or one of the wrong kind.
// Rows: TABLES one per table (TABLE_TYPE "TABLE" or "SYSTEM TABLE"), in
// type then name order; COLUMNS one per column, by table then column name;
// INDEXES one per key column, by UNIQUE, INDEX_NAME, ORDINAL_POSITION.
bool OpenSchema(jetsql::DataSource& source, Schema schema, const std::vector<jet::Value>& restrictions, jetsql::ResultSet* out,
                RecordsetError* error);

}  // namespace ado
