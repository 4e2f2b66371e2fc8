#pragma once
// The form in which text is compared when the user searches: the differences a Japanese
// user does not mean are folded away. Full- and half-width forms become one (ＡＢＣ and
// ABC, ｶﾞ and ガ), katakana becomes hiragana, letters lower case, the full-width space a
// plain one.
#include <QString>
#include <QStringList>

#include <string>
#include <vector>

namespace searchfold {

// `text` folded, as UTF-8 (compact for the long texts of a file's records, and a match
// found in it always starts on a character).
std::string fold(const QString& text);

// The words of a search text, each folded; words are separated by spaces of either width.
std::vector<std::string> words(const QString& text);

} // namespace searchfold
