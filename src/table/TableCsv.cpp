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
// unless it is the last byte or the next byte cannot be a trail byte; a damaged
// text must not hide a quote, comma or line end inside a character.
qsizetype charLength(QByteArrayView text, qsizetype pos) {
    if (pos + 1 < text.size() && cp932::isLeadByte(static_cast<unsigned char>(text[pos])) &&
        cp932::isTrailByte(static_cast<unsigned char>(text[pos + 1]))) {
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
    qsizetype runStart = pos;
    while (pos < line.size()) {
        if (line[pos] != '"') {
            pos += charLength(line, pos);
            continue;
        }
        item += line.sliced(runStart, pos - runStart);
        if (pos + 1 < line.size() && line[pos + 1] == '"') {
            item += '"';
            pos += 2;
            runStart = pos;
            continue;
        }
        ++pos; // closing quote
        return item;
    }
    // No closing quote: the item runs to the end of the line.
    item += line.sliced(runStart, std::min(pos, line.size()) - runStart);
    return item;
}

QByteArray readPlainItem(QByteArrayView line, qsizetype& pos) {
    const qsizetype start = pos;
    while (pos < line.size() && line[pos] != ',' && !isBlankByte(line[pos])) {
        pos += charLength(line, pos);
    }
    return line.sliced(start, pos - start).toByteArray();
}

void appendEncodedLine(QByteArray& out, const TableRow& cells) {
    for (int c = 0; c < kTableColumnCount; ++c) {
        if (c > 0) {
            out += ',';
        }
        const QByteArray& cell = cells[c];
        if (!needsQuotes(cell)) {
            out += cell;
            continue;
        }
        out += '"';
        // A trail byte is never 0x22, so doubling quotes byte by byte is safe.
        qsizetype runStart = 0;
        for (qsizetype i = 0; i < cell.size(); ++i) {
            if (cell[i] == '"') {
                out += QByteArrayView(cell).sliced(runStart, i + 1 - runStart);
                out += '"';
                runStart = i + 1;
            }
        }
        out += QByteArrayView(cell).sliced(runStart);
        out += '"';
    }
}

} // namespace

QByteArray EncodeTableLine(const TableRow& cells) {
    QByteArray line;
    appendEncodedLine(line, cells);
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

std::vector<QByteArrayView> SplitTableLines(QByteArrayView text, qsizetype maxLines) {
    std::vector<QByteArrayView> lines;
    qsizetype start = 0;
    qsizetype pos = 0;
    while (pos < text.size()) {
        if (maxLines >= 0 && qsizetype(lines.size()) >= maxLines) {
            return lines;
        }
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
    const std::vector<QByteArrayView> lines = SplitTableLines(text, grid.rowCount());
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
    text.reserve(grid.rowCount() * 32);
    for (int r = 0; r < grid.rowCount(); ++r) {
        appendEncodedLine(text, grid.rowCells(r));
        text += "\r\n";
    }
    return text;
}
