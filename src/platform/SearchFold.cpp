#include "platform/SearchFold.h"

#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

namespace searchfold {
namespace {

// Compatibility composition with case folding joins the widths (a half-width voiced
// mark composes with its kana) and the cases in one pass.
const icu::Normalizer2* normalizer() {
    static const icu::Normalizer2* instance = [] {
        UErrorCode status = U_ZERO_ERROR;
        const icu::Normalizer2* n = icu::Normalizer2::getNFKCCasefoldInstance(status);
        if (U_FAILURE(status) || !n)
            qFatal("ICU normalizer NFKC_Casefold is not available");
        return n;
    }();
    return instance;
}

void katakanaToHiragana(icu::UnicodeString& text) {
    for (int32_t i = 0; i < text.length(); ++i) {
        const char16_t c = text.charAt(i);
        // ァ..ヶ sit 0x60 above ぁ..ゖ, ヴ above ゔ included.
        if (c >= 0x30A1 && c <= 0x30F6)
            text.setCharAt(i, char16_t(c - 0x60));
    }
}

} // namespace

std::string fold(const QString& text) {
    if (text.isEmpty())
        return {};
    const icu::UnicodeString source(false, reinterpret_cast<const char16_t*>(text.utf16()),
                                    int32_t(text.size()));
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString folded = normalizer()->normalize(source, status);
    if (U_FAILURE(status))
        folded = source;
    katakanaToHiragana(folded);
    std::string out;
    folded.toUTF8String(out);
    return out;
}

std::vector<std::string> words(const QString& text) {
    std::vector<std::string> out;
    const std::string folded = fold(text);
    size_t start = 0;
    while (start < folded.size()) {
        // Folding made every full-width space a plain one.
        const size_t end = folded.find_first_of(" \t\r\n", start);
        const size_t stop = end == std::string::npos ? folded.size() : end;
        if (stop > start)
            out.push_back(folded.substr(start, stop - start));
        start = stop + 1;
    }
    return out;
}

} // namespace searchfold
