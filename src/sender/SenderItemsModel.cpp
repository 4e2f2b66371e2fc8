#include "sender/SenderItemsModel.h"

#include <utility>

namespace sender {

SenderItemsModel::SenderItemsModel(SenderItemsAccess access) : access_(std::move(access)) {}

int SenderItemsModel::show() {
    saved_ = access_.read();
    return selectCell(kTextCol, 0);
}

int SenderItemsModel::selectCell(int col, int row) {
    selectedCol_ = col;
    selectedRow_ = row;
    return textCellSelected() ? buttonFor(alignmentOf(row)) : -1;
}

void SenderItemsModel::pressCell(int col, int row) {
    selectedCol_ = col;
    selectedRow_ = row;
}

bool SenderItemsModel::applyAlignment(int align) {
    SenderItems items = access_.read();
    const bool taken = textCellSelected();
    if (taken)
        items.align[selectedRow_] = align;
    access_.write(items);
    return taken;
}

void SenderItemsModel::setLines(const std::array<QByteArray, kLineCount>& lines) {
    SenderItems items = access_.read();
    items.lines = lines;
    access_.write(items);
}

void SenderItemsModel::setLineHeight(int position) {
    SenderItems items = access_.read();
    items.lineHeight = position;
    access_.write(items);
}

void SenderItemsModel::cancel() {
    access_.write(saved_);
}

int SenderItemsModel::alignmentOf(int row) const {
    if (row < 0 || row >= kLineCount)
        return 0;
    return access_.read().align[row];
}

int SenderItemsModel::buttonFor(int align) {
    return align >= 0 && align <= 2 ? align : -1;
}

bool SenderItemsModel::textCellSelected() const {
    return selectedCol_ == kTextCol && selectedRow_ >= 0 && selectedRow_ < kLineCount;
}

} // namespace sender
