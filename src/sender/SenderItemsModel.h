#pragma once
// What the sender-items dialog does, without its widgets: which cell is selected, which
// alignment button is pressed, and every change written straight to the main window's
// values (which repaints the page), with the values found at opening kept for Cancel.
#include <QByteArray>

#include <array>
#include <functional>

namespace sender {

inline constexpr int kLineCount = 5;
inline constexpr int kMinLineHeight = 5;
inline constexpr int kMaxLineHeight = 50;
inline constexpr int kNumberCol = 0; // the fixed column of line numbers
inline constexpr int kTextCol = 1;

// The sender block as the main window holds it. Lines are CP932 bytes; alignments are
// 0 left, 1 centre, 2 right (other values from the settings file are kept as they are).
struct SenderItems {
    std::array<QByteArray, kLineCount> lines;
    std::array<int, kLineCount> align{};
    int lineHeight = 22;
    bool operator==(const SenderItems&) const = default;
};

// The main window's side: `read` gives its values, `write` stores them and repaints the page.
struct SenderItemsAccess {
    std::function<SenderItems()> read;
    std::function<void(const SenderItems&)> write;
};

class SenderItemsModel {
public:
    explicit SenderItemsModel(SenderItemsAccess access);

    // The dialog is being shown: keep the window's values for Cancel and select line 1's
    // text cell. Returns the alignment button to show pressed, or -1.
    int show();

    // A cell became the grid's current cell (keyboard, mouse or program). Returns the
    // alignment button to show pressed (only for a text cell with a known alignment), or -1.
    int selectCell(int col, int row);
    // The mouse was pressed in the grid; (-1, -1) outside the cells.
    void pressCell(int col, int row);

    // An alignment button (0 left, 1 centre, 2 right) was released. Only a selected text
    // cell takes it; the page is repainted in any case. True when a line took it.
    bool applyAlignment(int align);
    // The text cells as they are now, one of them possibly being typed.
    void setLines(const std::array<QByteArray, kLineCount>& lines);
    // The pitch arrows moved to `position`.
    void setLineHeight(int position);
    // Puts back the values kept when the dialog was shown.
    void cancel();

    // The alignment of line `row` + 1 as the window holds it now.
    int alignmentOf(int row) const;
    // The button (0..2) showing `align`, or -1 for a value no button stands for.
    static int buttonFor(int align);

    int selectedCol() const { return selectedCol_; }
    int selectedRow() const { return selectedRow_; }
    const SenderItems& saved() const { return saved_; }

private:
    bool textCellSelected() const;

    SenderItemsAccess access_;
    SenderItems saved_;
    int selectedCol_ = kNumberCol;
    int selectedRow_ = 0;
};

} // namespace sender
