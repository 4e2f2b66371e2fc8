#pragma once
// The records whose honorific is still the one 新規＋ (新規レコード追加) gave them, never
// edited since: there a chosen customer's own honorific may replace it. Anywhere else the
// honorific was chosen, 様 too, and a customer chosen from the list leaves it alone. Kept
// by record number, for the file open.
#include <QSet>
#include <QtGlobal>

#include <optional>

class UntouchedHonorifics {
public:
    // The record numbered `num` was made by 新規＋ or 新規レコード追加.
    void recordAdded(qint32 num) { untouched_.insert(num); }
    // The record numbered `num` is no such record (any more): its honorific was edited,
    // or it was made as a copy of another.
    void forget(std::optional<qint32> num);
    bool isUntouched(std::optional<qint32> num) const;
    // Another file: its numbers are other records.
    void clear() { untouched_.clear(); }

private:
    QSet<qint32> untouched_;
};
