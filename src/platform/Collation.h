#pragma once
// Text order within a sort index: the Japanese collation (kana in syllabary order
// before kanji, hiragana and katakana together), not code-page byte order.
#include <QByteArray>
#include <QByteArrayView>

namespace collation {

// Sort key of CP932 text; keys compare bytewise (memcmp, shorter first) in the order
// of the texts.
QByteArray sortKey(QByteArrayView cp932);

} // namespace collation
