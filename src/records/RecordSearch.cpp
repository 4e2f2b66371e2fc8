#include "records/RecordSearch.h"

#include "platform/Cp932.h"
#include "platform/SearchFold.h"

#include <algorithm>
#include <cstring>

namespace {

// The fields searched, in the order of searchTextOf.
const QList<QByteArray> kFields = {"num", "name", "pcode", "addr", "tel", "Sum", "other", "memo"};
constexpr size_t kNumField = 0;
constexpr size_t kSumField = 5;

// The cells of the stored table text, one per tab, its rows one per line: a word then
// matches what the user sees in a cell, not the quotes and commas around it.
QString tableCells(const QString& sum) {
    QString out;
    out.reserve(sum.size());
    bool quoted = false;
    for (qsizetype i = 0; i < sum.size(); ++i) {
        const QChar c = sum[i];
        if (c == u'"') {
            if (quoted && i + 1 < sum.size() && sum[i + 1] == u'"') {
                out += c;
                ++i;
            } else {
                quoted = !quoted;
            }
        } else if (c == u',' && !quoted) {
            out += u'\t';
        } else if ((c == u'\r' || c == u'\n') && !quoted) {
            out += u'\n';
        } else {
            out += c;
        }
    }
    return out;
}

// The stored table text without its first row, the column titles, which nearly every
// record shares. The rows end as the table reads them back: at CR LF, a lone CR or a lone
// LF, quoted or not.
QByteArray withoutTitleRow(const QByteArray& sum) {
    for (qsizetype i = 0; i < sum.size(); ++i) {
        if (sum[i] != '\r' && sum[i] != '\n')
            continue;
        const bool crlf = sum[i] == '\r' && i + 1 < sum.size() && sum[i + 1] == '\n';
        return sum.mid(i + (crlf ? 2 : 1));
    }
    return {};
}

// As the grid shows the number: at least four digits.
QString numberText(const Value& num) {
    if (num.isNull())
        return {};
    const qint64 value = num.isReal() ? qint64(num.toReal()) : num.toInt();
    const QString digits = QString::number(qAbs(value)).rightJustified(4, u'0');
    return value < 0 ? QStringLiteral("-") + digits : digits;
}

// True when every word of `words` is part of some word of `later`: whatever matches the
// later words then matched these.
bool narrows(const std::vector<std::string>& words, const std::vector<std::string>& later) {
    return std::all_of(words.begin(), words.end(), [&](const std::string& w) {
        return std::any_of(later.begin(), later.end(),
                           [&](const std::string& l) { return l.find(w) != std::string::npos; });
    });
}

bool containsAll(const std::string& text, const std::vector<std::string>& words) {
    // memmem, not find: find stops at every byte equal to the word's first, and in UTF-8
    // most kanji share their first byte.
    return std::all_of(words.begin(), words.end(), [&](const std::string& w) {
        return memmem(text.data(), text.size(), w.data(), w.size()) != nullptr;
    });
}

} // namespace

RecordSearch::RecordSearch() : texts_(kFields, &RecordSearch::searchTextOf) {}

void RecordSearch::clear() {
    texts_.clear();
    kept_.clear();
}

std::string RecordSearch::searchTextOf(const PacketTable&, const std::vector<Value>& values) {
    QString text;
    for (size_t k = 0; k < values.size(); ++k) {
        // Fields apart, so that no word is found across two of them.
        if (k > 0)
            text += u'\n';
        if (k == kNumField)
            text += numberText(values[k]);
        else if (k == kSumField)
            text += tableCells(cp932::decode(withoutTitleRow(values[k].toBytes())));
        else
            text += cp932::decode(values[k].toBytes());
    }
    return searchfold::fold(text);
}

void RecordSearch::prepare(const PacketTable& table) {
    // A record changed: no kept result can be narrowed any more.
    if (texts_.sync(table))
        kept_.clear();
}

std::vector<char> RecordSearch::match(const PacketTable& table, const QString& query) {
    if (texts_.sync(table))
        kept_.clear();
    // The records' text went through code page 932, which turned some characters into
    // look-alikes (〜 into ～): the query goes the same way, or it would never find them.
    const std::vector<std::string> words = searchfold::words(cp932::asStored(query));
    const int count = texts_.size();
    lastSearched_ = 0;
    // A query asked again (a word typed and deleted) is answered by its kept result.
    for (auto kept = kept_.begin(); kept != kept_.end(); ++kept)
        if (kept->words == words && int(kept->match.size()) == count) {
            std::rotate(kept, kept + 1, kept_.end());
            return kept_.back().match;
        }
    // Typing on only narrows a kept result: whatever matches now matched it.
    const Result* base = narrowestKeptFor(words, count);
    Result result{words, std::vector<char>(size_t(count), 0), 0};
    for (int row = 0; row < count; ++row) {
        if (base && !base->match[size_t(row)])
            continue;
        ++lastSearched_;
        if (containsAll(texts_.text(row), words)) {
            result.match[size_t(row)] = 1;
            ++result.matched;
        }
    }
    std::vector<char> out = result.match;
    if (!words.empty())
        keep(std::move(result));
    return out;
}

const RecordSearch::Result* RecordSearch::narrowestKeptFor(const std::vector<std::string>& words,
                                                           int count) const {
    const Result* best = nullptr;
    for (const Result& kept : kept_)
        if (int(kept.match.size()) == count && narrows(kept.words, words) &&
            (!best || kept.matched < best->matched))
            best = &kept;
    return best;
}

void RecordSearch::keep(Result result) {
    if (kept_.size() == KeptResults)
        kept_.erase(kept_.begin());
    kept_.push_back(std::move(result));
}
