#pragma once
// The pictures of the alignment buttons, drawn here: text lines flush left, centred or
// flush right.
#include <QIcon>
#include <QImage>

namespace sender {

inline constexpr int kAlignIconSize = 16;

// One picture of `align` (0 left, 1 centre, 2 right): dark bars, or grey ones for the
// disabled look.
QImage alignIconImage(int align, bool enabled);

// Both pictures of a button: the normal one and the disabled one.
QIcon alignIcon(int align);

} // namespace sender
