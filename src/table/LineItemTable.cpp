#include "table/LineItemTable.h"

#include "platform/Cp932.h"

#include <QString>
#include <algorithm>

namespace {

constexpr int kInitialRowCount = 20;

// The titles the table falls back to, in column order.
const char* const kDefaultTitles[kTableColumnCount] = {
    "品目・仕様", "数量", "単位", "単価", "金額", "備考",
};

const std::array<QByteArray, kTableColumnCount>& defaultTitleBytes() {
    static const std::array<QByteArray, kTableColumnCount> titles = [] {
        std::array<QByteArray, kTableColumnCount> bytes;
        for (int c = 0; c < kTableColumnCount; ++c) {
            bytes[c] = cp932::encode(QString::fromUtf8(kDefaultTitles[c]));
        }
        return bytes;
    }();
    return titles;
}

const QByteArray& emptyBytes() {
    static const QByteArray empty;
    return empty;
}

} // namespace

const QByteArray& DefaultColumnTitle(int column) {
    if (column < 0 || column >= kTableColumnCount) {
        return emptyBytes();
    }
    return defaultTitleBytes()[column];
}

bool IsBlankCell(QByteArrayView cell) {
    return cell.isEmpty() || (cell.size() == 1 && cell[0] == ' ');
}

LineItemTable::LineItemTable() : LineItemTable(kInitialRowCount) {}

LineItemTable::LineItemTable(int rowCount) {
    setRowCount(rowCount);
}

void LineItemTable::setRowCount(int rowCount) {
    rowCount_ = std::clamp(rowCount, kMinTableRowCount, kMaxTableRowCount);
    if (static_cast<int>(rows_.size()) < rowCount_) {
        rows_.resize(rowCount_);
    }
}

const QByteArray& LineItemTable::cell(int row, int column) const {
    if (!isValidRow(row) || column < 0 || column >= kTableColumnCount) {
        return emptyBytes();
    }
    return rows_[row][column];
}

void LineItemTable::setCell(int row, int column, const QByteArray& text) {
    if (!isValidRow(row) || column < 0 || column >= kTableColumnCount) {
        return;
    }
    rows_[row][column] = text;
}

TableRow LineItemTable::row(int row) const {
    return isValidRow(row) ? rows_[row] : TableRow{};
}

const TableRow& LineItemTable::rowCells(int row) const {
    static const TableRow emptyRow;
    return isValidRow(row) ? rows_[row] : emptyRow;
}

void LineItemTable::setRow(int row, const TableRow& cells) {
    if (isValidRow(row)) {
        rows_[row] = cells;
    }
}

void LineItemTable::clearRow(int row) {
    setRow(row, TableRow{});
}

bool LineItemTable::isRowBlank(int row) const {
    if (!isValidRow(row)) {
        return true;
    }
    return std::all_of(rows_[row].begin(), rows_[row].end(),
                       [](const QByteArray& cell) { return IsBlankCell(cell); });
}

void LineItemTable::clearAll() {
    // Dropping the hidden rows is the same as emptying them: they would come back empty.
    rows_.assign(rowCount_, TableRow{});
}

void LineItemTable::setDefaultTitles() {
    rows_[0] = defaultTitleBytes();
}
