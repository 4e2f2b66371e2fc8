#pragma once
// The order of a dataset's view: by a list of fields, all ascending or all descending,
// text by collation, and records that compare equal in record order (their place in the
// table), whichever the direction.
//
// A text field is compared by the collation rank of its value. The ranks are made once
// per distinct value, the first time the field orders a view, and then kept up to date
// value by value until the table is replaced; so sorting again, or placing one posted
// record, does no collation work.
#include "records/PacketTable.h"

#include <QList>

#include <map>
#include <memory>
#include <vector>

class TextRanks;

class ViewOrder {
public:
    ViewOrder();
    ~ViewOrder();
    ViewOrder(ViewOrder&&) noexcept;
    ViewOrder& operator=(ViewOrder&&) noexcept;

    // The table was replaced: every kept rank goes.
    void reset();
    // Orders by `fields` (indexes of the table's fields); none: record order.
    void setFields(const PacketTable& table, const QList<int>& fields, bool descending);
    const QList<int>& fields() const { return fields_; }

    // Sorts `view`, rows of `table` in record order.
    void sort(const PacketTable& table, std::vector<int>& view);
    // Where `row` goes in `view`, which is in this order and does not hold it.
    size_t placeOf(const PacketTable& table, const std::vector<int>& view, int row) const;
    // Whether row `a` comes before row `b`.
    bool less(const PacketTable& table, int a, int b) const;

    // The kept values of `field` by row, as slots equal exactly where the values' bytes are
    // (null: -1); null when the field has no kept values. Valid until the table changes.
    const std::vector<int>* slotsOfRows(int field) const;
    // The slot of the text `bytes` among the field's kept values; -2 when no row holds it.
    int slotOf(int field, QByteArrayView bytes) const;

    // Keeping the ranks in step with the table's rows:
    void rowChanged(const PacketTable& table, int row);  // its values were replaced
    void rowInserted(const PacketTable& table, int row); // put in at `row`, later rows move up
    void rowRemoved(int row);                            // taken out, later rows move down

private:
    // The place of a row's value of order field `k` among the field's values, direction
    // applied: smaller comes first.
    qint64 keyOf(const PacketTable& table, qsizetype k, int row) const;

    QList<int> fields_;
    bool descending_ = false;
    std::vector<const TextRanks*> ranksOf_;           // per order field; null for non-text
    std::map<int, std::unique_ptr<TextRanks>> ranks_; // by field index, kept across orders
};
