#include "records/FoldedRows.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace {

// Two values are the same when they are the very same bytes, or equal numbers. Bytes
// are never changed once a value points at them, so the same bytes are the same text.
bool sameValue(const Value& a, const Value& b) {
    if (a.isBytes() && b.isBytes())
        return a.bytes().data() == b.bytes().data() && a.bytes().size() == b.bytes().size();
    return a == b;
}

bool sameValues(const std::vector<Value>& a, const std::vector<Value>& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (!sameValue(a[i], b[i]))
            return false;
    return true;
}

size_t identityHash(const std::vector<Value>& values) {
    size_t h = 0;
    for (const Value& v : values) {
        size_t part = 0;
        if (v.isBytes())
            part = std::hash<const void*>()(v.bytes().data()) ^ size_t(v.bytes().size());
        else if (v.isReal()) {
            const double d = v.toReal();
            std::memcpy(&part, &d, std::min(sizeof part, sizeof d));
        } else {
            part = size_t(v.toInt());
        }
        h = h * 1000003u ^ part;
    }
    return h;
}

} // namespace

FoldedRows::FoldedRows(QList<QByteArray> fields, Fold fold)
    : fieldNames_(std::move(fields)), fold_(std::move(fold)) {}

void FoldedRows::clear() {
    entries_.clear();
    boundTo_.clear();
    fields_.clear();
}

void FoldedRows::bindFields(const PacketTable& table) {
    clear();
    boundTo_ = table.fields;
    for (const QByteArray& name : fieldNames_)
        fields_.push_back(table.fieldIndex(name));
}

std::vector<Value> FoldedRows::valuesOf(const Row& row) const {
    std::vector<Value> out;
    out.reserve(fields_.size());
    for (const int f : fields_)
        out.push_back(f >= 0 && size_t(f) < row.size() ? row[size_t(f)] : Value());
    return out;
}

bool FoldedRows::sync(const PacketTable& table) {
    lastFolded_ = 0;
    bool changed = false;
    if (table.fields != boundTo_) {
        bindFields(table);
        changed = true;
    }
    const size_t count = table.rows.size();
    const auto sameAt = [&](size_t i) {
        const Row& row = table.rows[i];
        const Entry& entry = entries_[i];
        for (size_t k = 0; k < fields_.size(); ++k)
            if (fields_[k] >= 0 && !sameValue(entry.values[k], row[size_t(fields_[k])]))
                return false;
        return true;
    };
    // Mostly nothing changed since the last call.
    if (entries_.size() == count) {
        size_t i = 0;
        while (i < count && sameAt(i))
            ++i;
        if (i == count)
            return changed;
    }
    // A record was edited, added or removed, so others may have moved: each keeps its
    // text where it stayed, or is found again by its values.
    std::unordered_multimap<size_t, size_t> byValues;
    bool hashed = false;
    std::vector<char> taken(entries_.size(), 0);
    std::vector<Entry> next(count);
    for (size_t i = 0; i < count; ++i) {
        if (i < entries_.size() && !taken[i] && sameAt(i)) {
            next[i] = std::move(entries_[i]);
            taken[i] = 1;
            continue;
        }
        if (!hashed) {
            for (size_t old = 0; old < entries_.size(); ++old)
                byValues.emplace(identityHash(entries_[old].values), old);
            hashed = true;
        }
        next[i].values = valuesOf(table.rows[i]);
        const auto [begin, end] = byValues.equal_range(identityHash(next[i].values));
        const auto found = std::find_if(begin, end, [&](const auto& item) {
            return !taken[item.second] && sameValues(entries_[item.second].values, next[i].values);
        });
        if (found != end) {
            next[i].text = std::move(entries_[found->second].text);
            taken[found->second] = 1;
        } else {
            next[i].text = fold_(table, next[i].values);
            ++lastFolded_;
        }
    }
    entries_ = std::move(next);
    return true;
}
