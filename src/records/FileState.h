#pragma once
// The open data file's state as plain functions: record numbering, the recent-files
// list, its menu and the window title.
#include <QString>

#include <array>

class Dataset;

using HistoryList = std::array<QString, 5>; // History1..History5, most recent first

// The largest `num` over all records of the file, whatever the view shows; 0 for no
// record or numbers all 0 or below. Posts a pending edit and leaves the cursor on the
// first record of the view.
qint32 LastRecordNumber(Dataset& records);

// `name` to the front of the recent files; an equal entry (byte for byte) moves
// instead of doubling. Empty `name` only packs the filled entries to the front.
HistoryList AddToHistory(const HistoryList& history, const QString& name);

struct HistoryMenuState {
    std::array<QString, 5> captions; // o1..o5
    std::array<bool, 5> visible{};
    bool n8Enabled = false; // "最近閉じたファイルを開く..."
};
HistoryMenuState RefreshHistoryMenu(const HistoryList& history);

inline constexpr char ApplicationTitle[] = "Ledora";

// "Ledora" alone without a file name; else "Ledora - " and the part after the last
// "\", ":" or "/".
QString WindowTitle(const QString& currentFileName);
