#include "records/ViewOrder.h"

#include "platform/Collation.h"

#include <QHash>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <tuple>

namespace {

int compareBytes(const QByteArray& a, const QByteArray& b) {
    const int n = std::memcmp(a.constData(), b.constData(), size_t(std::min(a.size(), b.size())));
    if (n != 0)
        return n < 0 ? -1 : 1;
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

// A number's place among numbers as a whole number: null before every number, NaN after.
qint64 numberKey(const Value& value) {
    if (value.isNull())
        return std::numeric_limits<qint64>::min();
    double d = value.toReal();
    if (std::isnan(d))
        return std::numeric_limits<qint64>::max();
    if (d == 0)
        d = 0; // -0 and 0 are equal
    const auto bits = std::bit_cast<qint64>(d);
    // Negative numbers have their sign bit set; the larger their magnitude bits, the
    // smaller they are, so those bits are turned round.
    return bits >= 0 ? bits : bits ^ std::numeric_limits<qint64>::max();
}

} // namespace

// The rank of every row's value of one field among the field's distinct values: equal
// values, and texts of equal collation keys, share a rank; null ranks -1, before every
// text, even the empty one.
class TextRanks {
public:
    TextRanks(const std::vector<Row>& rows, size_t field, bool collate)
        : field_(field), collate_(collate) {
        slotOfRow_.reserve(rows.size());
        for (const Row& row : rows)
            slotOfRow_.push_back(findOrAddSlot(row[field_]));
        slotsInOrder_.resize(keyOfSlot_.size());
        for (size_t s = 0; s < keyOfSlot_.size(); ++s)
            slotsInOrder_[s] = int(s);
        std::sort(slotsInOrder_.begin(), slotsInOrder_.end(), [&](int a, int b) {
            return compareBytes(keyOfSlot_[size_t(a)], keyOfSlot_[size_t(b)]) < 0;
        });
        rankOfSlot_.resize(keyOfSlot_.size());
        int rank = 0;
        for (size_t n = 0; n < slotsInOrder_.size(); ++n) {
            if (n > 0 && compareBytes(keyOfSlot_[size_t(slotsInOrder_[n - 1])],
                                      keyOfSlot_[size_t(slotsInOrder_[n])]) != 0)
                ++rank;
            rankOfSlot_[size_t(slotsInOrder_[n])] = rank;
        }
    }

    int rankOfRow(int row) const {
        const int slot = slotOfRow_[size_t(row)];
        return slot < 0 ? -1 : rankOfSlot_[size_t(slot)];
    }
    void setRow(const Row& row, int index) { slotOfRow_[size_t(index)] = rankedSlot(row[field_]); }
    void insertRow(const Row& row, int index) {
        slotOfRow_.insert(slotOfRow_.begin() + index, rankedSlot(row[field_]));
    }
    void removeRow(int index) { slotOfRow_.erase(slotOfRow_.begin() + index); }
    const std::vector<int>& slotsOfRows() const { return slotOfRow_; }
    int slotOf(QByteArrayView text) const { return slotOfText_.value(text, -2); }

private:
    // A value's slot, made with its key when the value is new; -1 for null. Not ranked.
    int findOrAddSlot(const Value& value) {
        if (value.isNull())
            return -1;
        const QByteArrayView text = value.bytes();
        if (const auto it = slotOfText_.constFind(text); it != slotOfText_.cend())
            return *it;
        const int slot = int(keyOfSlot_.size());
        // The kept value holds the bytes the table's key points into.
        textOfSlot_.push_back(value);
        slotOfText_.insert(textOfSlot_.back().bytes(), slot);
        keyOfSlot_.push_back(collate_ ? collation::sortKey(text) : text.toByteArray());
        return slot;
    }

    // A value's slot, ranked among the others when it is new: its neighbours' ranks move
    // up to make room, unless its key equals one already there.
    int rankedSlot(const Value& value) {
        const size_t before = keyOfSlot_.size();
        const int slot = findOrAddSlot(value);
        if (keyOfSlot_.size() == before)
            return slot;
        const QByteArray& key = keyOfSlot_[size_t(slot)];
        const auto place = std::lower_bound(
            slotsInOrder_.begin(), slotsInOrder_.end(), key,
            [&](int s, const QByteArray& k) { return compareBytes(keyOfSlot_[size_t(s)], k) < 0; });
        int rank = 0;
        if (place != slotsInOrder_.end() && compareBytes(keyOfSlot_[size_t(*place)], key) == 0) {
            rank = rankOfSlot_[size_t(*place)];
        } else {
            rank = place == slotsInOrder_.begin() ? 0 : rankOfSlot_[size_t(*(place - 1))] + 1;
            for (int& r : rankOfSlot_)
                if (r >= rank)
                    ++r;
        }
        rankOfSlot_.push_back(rank);
        slotsInOrder_.insert(place, slot);
        return slot;
    }

    size_t field_;
    bool collate_;
    std::vector<int> slotOfRow_;        // per row of the table; -1 for null
    std::vector<Value> textOfSlot_;     // per slot
    std::vector<QByteArray> keyOfSlot_; // collation key, or the bytes themselves
    std::vector<int> rankOfSlot_;       // per slot
    std::vector<int> slotsInOrder_;     // the slots by key
    QHash<QByteArrayView, int> slotOfText_;
};

ViewOrder::ViewOrder() = default;
ViewOrder::~ViewOrder() = default;
ViewOrder::ViewOrder(ViewOrder&&) noexcept = default;
ViewOrder& ViewOrder::operator=(ViewOrder&&) noexcept = default;

void ViewOrder::reset() {
    fields_.clear();
    ranksOf_.clear();
    ranks_.clear();
}

void ViewOrder::setFields(const PacketTable& table, const QList<int>& fields, bool descending) {
    fields_ = fields;
    descending_ = descending;
    ranksOf_.assign(size_t(fields.size()), nullptr);
    for (qsizetype k = 0; k < fields.size(); ++k) {
        const FieldType type = table.fields[fields[k]].type;
        const bool text = type == FieldType::String || type == FieldType::Memo;
        if (!text && type != FieldType::Blob)
            continue;
        std::unique_ptr<TextRanks>& ranks = ranks_[fields[k]];
        if (!ranks)
            ranks = std::make_unique<TextRanks>(table.rows, size_t(fields[k]), text);
        ranksOf_[size_t(k)] = ranks.get();
    }
}

qint64 ViewOrder::keyOf(const PacketTable& table, qsizetype k, int row) const {
    const TextRanks* ranks = ranksOf_[size_t(k)];
    const qint64 key =
        ranks ? ranks->rankOfRow(row) : numberKey(table.rows[size_t(row)][size_t(fields_[k])]);
    return descending_ ? ~key : key;
}

bool ViewOrder::less(const PacketTable& table, int a, int b) const {
    for (qsizetype k = 0; k < fields_.size(); ++k) {
        const qint64 x = keyOf(table, k, a);
        const qint64 y = keyOf(table, k, b);
        if (x != y)
            return x < y;
    }
    return a < b;
}

void ViewOrder::sort(const PacketTable& table, std::vector<int>& view) {
    if (fields_.isEmpty())
        return;
    if (fields_.size() > 2) {
        std::sort(view.begin(), view.end(), [&](int a, int b) { return less(table, a, b); });
        return;
    }
    // The keys side by side with their row, so the sort reads memory in order. The row
    // breaks every tie, so this gives what a stable sort of the rows would.
    struct Entry {
        qint64 first;
        qint64 second;
        int row;
    };
    std::vector<Entry> entries(view.size());
    for (size_t i = 0; i < view.size(); ++i)
        entries[i] = Entry{keyOf(table, 0, view[i]),
                           fields_.size() > 1 ? keyOf(table, 1, view[i]) : 0, view[i]};
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return std::tie(a.first, a.second, a.row) < std::tie(b.first, b.second, b.row);
    });
    for (size_t i = 0; i < view.size(); ++i)
        view[i] = entries[i].row;
}

size_t ViewOrder::placeOf(const PacketTable& table, const std::vector<int>& view, int row) const {
    return size_t(std::lower_bound(view.begin(), view.end(), row,
                                   [&](int a, int b) { return less(table, a, b); }) -
                  view.begin());
}

const std::vector<int>* ViewOrder::slotsOfRows(int field) const {
    const auto it = ranks_.find(field);
    return it == ranks_.end() ? nullptr : &it->second->slotsOfRows();
}

int ViewOrder::slotOf(int field, QByteArrayView bytes) const {
    const auto it = ranks_.find(field);
    return it == ranks_.end() ? -2 : it->second->slotOf(bytes);
}

void ViewOrder::rowChanged(const PacketTable& table, int row) {
    for (auto& [field, ranks] : ranks_)
        ranks->setRow(table.rows[size_t(row)], row);
}

void ViewOrder::rowInserted(const PacketTable& table, int row) {
    for (auto& [field, ranks] : ranks_)
        ranks->insertRow(table.rows[size_t(row)], row);
}

void ViewOrder::rowRemoved(int row) {
    for (auto& [field, ranks] : ranks_)
        ranks->removeRow(row);
}
