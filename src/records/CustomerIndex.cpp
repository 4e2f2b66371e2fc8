#include "records/CustomerIndex.h"

#include "platform/Cp932.h"
#include "platform/SearchFold.h"

#include <algorithm>
#include <tuple>
#include <unordered_map>

namespace {

bool startsWith(const std::string& text, const std::string& prefix) {
    return !prefix.empty() && text.compare(0, prefix.size(), prefix) == 0;
}

QByteArray key(const std::string& folded) {
    return QByteArray(folded.data(), qsizetype(folded.size()));
}

QByteArray textAt(const PacketTable& table, const Row& row, const char* field) {
    const int f = table.fieldIndex(field);
    return f >= 0 && size_t(f) < row.size() ? row[size_t(f)].toBytes() : QByteArray();
}

} // namespace

CustomerIndex::CustomerIndex()
    : names_({"name"}, [](const PacketTable&, const std::vector<Value>& values) {
          // Names are compared whole, not by words: spaces around one do not make another.
          return searchfold::fold(cp932::decode(values[0].toBytes()).trimmed());
      }) {}

void CustomerIndex::clear() {
    names_.clear();
}

void CustomerIndex::rememberReading(const QString& name, const QString& reading) {
    const std::string folded = searchfold::fold(name.trimmed());
    if (folded.empty() || reading.isEmpty())
        return;
    readings_.insert(key(folded), searchfold::fold(reading));
}

std::vector<Customer> CustomerIndex::lookup(const PacketTable& table, const QString& typed,
                                            const QString& typedReading,
                                            std::optional<qint32> skipNum, int limit) {
    std::vector<Customer> out;
    // The name was stored through code page 932: 〜 typed is the ～ it became.
    const std::string prefix = searchfold::fold(cp932::asStored(typed.trimmed()));
    if (prefix.empty())
        return out;
    const std::string readingPrefix = searchfold::fold(typedReading);
    names_.sync(table);
    const int numField = table.fieldIndex("num");
    const int sdayField = table.fieldIndex("sday");

    struct Newest {
        int row;
        double stamp;
        qint32 num;
    };
    std::unordered_map<std::string, Newest> newest;
    for (int row = 0; row < names_.size(); ++row) {
        const std::string& name = names_.text(row);
        if (name.empty())
            continue;
        const Row& values = table.rows[size_t(row)];
        const Value num = numField >= 0 ? values[size_t(numField)] : Value();
        if (skipNum && !num.isNull() && num.toInt() == *skipNum)
            continue;
        const auto reading = readings_.constFind(key(name));
        const bool hasReading = reading != readings_.cend();
        const bool offered =
            startsWith(name, prefix) || startsWith(name, readingPrefix) ||
            (hasReading && (startsWith(*reading, prefix) || startsWith(*reading, readingPrefix)));
        if (!offered)
            continue;
        const Value sday = sdayField >= 0 ? values[size_t(sdayField)] : Value();
        // Undated records count as the oldest; equal dates go by the record number.
        const Newest candidate{row, sday.isNull() ? -1e300 : sday.toReal(), num.toInt()};
        auto [it, added] = newest.try_emplace(name, candidate);
        if (!added && std::tie(candidate.stamp, candidate.num, candidate.row) >
                          std::tie(it->second.stamp, it->second.num, it->second.row))
            it->second = candidate;
    }
    std::vector<Newest> order;
    order.reserve(newest.size());
    for (const auto& [name, found] : newest)
        order.push_back(found);
    std::sort(order.begin(), order.end(), [](const Newest& a, const Newest& b) {
        return std::tie(a.stamp, a.num, a.row) > std::tie(b.stamp, b.num, b.row);
    });
    if (int(order.size()) > limit)
        order.resize(size_t(limit));
    for (const Newest& found : order) {
        const Row& row = table.rows[size_t(found.row)];
        out.push_back({textAt(table, row, "name"), textAt(table, row, "cate"),
                       textAt(table, row, "honorifics"), textAt(table, row, "pcode"),
                       textAt(table, row, "addr"), textAt(table, row, "tel")});
    }
    return out;
}
