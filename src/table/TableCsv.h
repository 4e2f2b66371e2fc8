#pragma once
// The stored form of the table (the record's `Sum` text): one comma line per row,
// each ended by CR LF. This form is read back by every data file, so its rules are
// fixed: a cell is quoted (with inner quotes doubled) when it holds a double quote,
// a comma or a byte 0x01-0x20; double-byte characters are examined as units.
#include "table/LineItemTable.h"

#include <QByteArray>
#include <QByteArrayView>
#include <vector>

// One row as a comma line, without a line end.
QByteArray EncodeTableLine(const TableRow& cells);

// One comma line into six cells. An empty item becomes " ", items after the sixth
// are dropped, cells without an item stay empty. A quoted item that lacks its
// closing quote runs to the end of the line.
TableRow DecodeTableLine(QByteArrayView line);

// Splits text at CR LF, lone CR or lone LF. A final line break does not start a
// further line; an empty text gives no lines. Stops after `maxLines` lines when it
// is not negative, so a damaged text of millions of line breaks costs nothing.
std::vector<QByteArrayView> SplitTableLines(QByteArrayView text, qsizetype maxLines = -1);

// Decodes a `Sum` text into the table at its current row count: all cells
// (hidden rows included) are emptied first; an empty text gives the default titles;
// surplus lines are ignored and missing lines leave rows empty. Safe on any bytes.
void GridLoadCSV(LineItemTable& grid, QByteArrayView text);

// Restores the default title of every blank title cell, then returns rows
// 0..LineCount encoded, each line followed by CR LF: the text to store in `Sum`.
QByteArray GridSaveCSV(LineItemTable& grid);
