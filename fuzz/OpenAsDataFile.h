#pragma once
// What opening a data file does with a table that has the record fields: set it as
// the dataset's content, count the record numbers, walk the records and decode each
// record's line-item table.
#include "records/DataFile.h"
#include "records/Dataset.h"
#include "records/FileState.h"
#include "table/LineItemTable.h"
#include "table/TableCsv.h"

namespace fuzzsupport {

inline void openAsDataFile(const PacketTable& table) {
    if (!DataFile::checkRecordFields(table).isEmpty())
        return;
    Dataset records;
    records.setContent(table);
    records.setIndexFieldNames("cate");
    LastRecordNumber(records);
    LineItemTable grid;
    int seen = 0;
    for (records.first(); !records.eof() && seen < 64; records.next(), ++seen) {
        grid.setRowCount(records.asInteger("linecount"));
        GridLoadCSV(grid, records.asText("Sum"));
        records.asDateTime("sday");
        records.asFloat("SalesTax");
        records.asText("name");
    }
}

} // namespace fuzzsupport
