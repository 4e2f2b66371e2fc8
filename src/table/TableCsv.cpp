#include "table/TableCsv.h"

#include "platform/Cp932.h"

#include <algorithm>
#include <utility>

namespace {

bool isBlankByte(char byte) {
    const auto b = static_cast<unsigned char>(byte);
    return b >= 0x01 && b <= 0x20;
}

// Bytes taken by the character at pos: a lead byte carries its trail byte along,
// unless it is the last byte.
qsizetype charLength(QByteArrayView text, qsizetype pos) {
    if (pos + 1 < text.size() && cp932::isLeadByte(static_cast<unsigned char>(text[pos]))) {
        return 2;
    }
    return 1;
}

bool needsQuotes(const QByteArray& cell) {
    for (qsizetype pos = 0; pos < cell.size();) {
        const qsizetype step = charLength(cell, pos);
        if (step == 1) {
            const char b = cell[pos];
            if (b == '"' || b == ',' || isBlankByte(b)) {
                return true;
            }
        }
        pos += step;
    }
    return false;
}

void skipBlanks(QByteArrayView line, qsizetype& pos) {
    while (pos < line.size() && isBlankByte(line[pos])) {
        ++pos;
    }
}

QByteArray readQuotedItem(QByteArrayView line, qsizetype& pos) {
    QByteArray item;
    ++pos; // opening quote
    while (pos < line.size()) {
        if (line[pos] == '"') {
            if (pos + 1 < line.size() && line[pos + 1] == '"') {
                item += '"';
                pos += 2;
                continue;
            }
            ++pos; // closing quote
            return item;
        }
        const qsizetype step = charLength(line, pos);
        item += line.sliced(pos, step);
        pos += step;
    }
    return item; // no closing quote: the item runs to the end of the line
}

QByteArray readPlainItem(QByteArrayView line, qsizetype& pos) {
    const qsizetype start = pos;
    while (pos < line.size() && line[pos] != ',' && !isBlankByte(line[pos])) {
        pos += charLength(line, pos);
    }
    return line.sliced(start, pos - start).toByteArray();
}

} // namespace

QByteArray EncodeTableLine(const TableRow& cells) {
    QByteArray line;
    for (int c = 0; c < kTableColumnCount; ++c) {
        if (c > 0) {
            line += ',';
        }
        const QByteArray& cell = cells[c];
        if (!needsQuotes(cell)) {
            line += cell;
            continue;
        }
        line += '"';
        for (char b : cell) {
            // A trail byte is never 0x22, so doubling byte by byte is safe.
            if (b == '"') {
                line += '"';
            }
            line += b;
        }
        line += '"';
    }
    return line;
}

TableRow DecodeTableLine(QByteArrayView line) {
    TableRow cells;
    int next = 0;
    auto store = [&](QByteArray item) {
        if (next >= kTableColumnCount) {
            return;
        }
        cells[next++] = item.isEmpty() ? QByteArray(" ") : std::move(item);
    };

    qsizetype pos = 0;
    skipBlanks(line, pos);
    while (pos < line.size()) {
        store(line[pos] == '"' ? readQuotedItem(line, pos) : readPlainItem(line, pos));
        skipBlanks(line, pos);
        if (pos < line.size() && line[pos] == ',') {
            if (pos == line.size() - 1) {
                store({}); // a final comma closes one more, empty item
            }
            ++pos;
            skipBlanks(line, pos);
        }
    }
    return cells;
}

std::vector<QByteArrayView> SplitTableLines(QByteArrayView text) {
    std::vector<QByteArrayView> lines;
    qsizetype start = 0;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const char b = text[pos];
        if (b != '\r' && b != '\n') {
            ++pos;
            continue;
        }
        lines.push_back(text.sliced(start, pos - start));
        pos += (b == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ? 2 : 1;
        start = pos;
    }
    if (start < text.size()) {
        lines.push_back(text.sliced(start));
    }
    return lines;
}

void GridLoadCSV(LineItemTable& grid, QByteArrayView text) {
    grid.clearAll();
    if (text.isEmpty()) {
        grid.setDefaultTitles();
        return;
    }
    const std::vector<QByteArrayView> lines = SplitTableLines(text);
    const qsizetype count = std::min<qsizetype>(lines.size(), grid.rowCount());
    for (qsizetype i = 0; i < count; ++i) {
        grid.setRow(static_cast<int>(i), DecodeTableLine(lines[i]));
    }
}

QByteArray GridSaveCSV(LineItemTable& grid) {
    for (int c = 0; c < kTableColumnCount; ++c) {
        if (IsBlankCell(grid.cell(0, c))) {
            grid.setCell(0, c, DefaultColumnTitle(c));
        }
    }
    QByteArray text;
    for (int r = 0; r < grid.rowCount(); ++r) {
        text += EncodeTableLine(grid.row(r));
        text += "\r\n";
    }
    return text;
}
