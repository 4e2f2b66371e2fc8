#pragma once
// Full-width digits, letters, signs, spaces and katakana to their half-width forms
// (voiced katakana become a letter and a separate sound mark). Everything without
// a half-width form, such as hiragana and kanji, is left as it is.
#include <QString>

QString toHalfWidth(const QString& text);
