#pragma once
// The side panel's number boxes take digits and nothing else, whichever way text comes: the
// input method is off for them, a typed key passes the boxes' key rule, dragged text is
// refused, and text that arrives anyway (a paste from the context menu or the mouse
// selection, a commit of the input method) goes in as its half-width digits or not at all.
class QLineEdit;

namespace numberbox {

void keepToDigits(QLineEdit* box);

} // namespace numberbox
