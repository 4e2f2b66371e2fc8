#include "records/ChangeLogMerge.h"

ChangeLogMerge::Placement ChangeLogMerge::place(int status) {
    if (status & ~0x40)
        sawLog_ = true;
    if (status & Unused)
        return Placement::Dropped;
    if (status & Modified) {
        // The new values of the row just before; a modified row whose original was
        // deleted stays deleted.
        return lastKept_ ? Placement::AmendsLast : Placement::Dropped;
    }
    if (status & Deleted) {
        lastKept_ = false;
        return Placement::Dropped;
    }
    lastKept_ = true;
    ++records_;
    return Placement::NewRecord;
}

void ChangeLogMerge::apply(Placement placement, Row&& values, const std::vector<bool>* changed) {
    switch (placement) {
    case Placement::Dropped:
        return;
    case Placement::NewRecord:
        table_.rows.push_back(std::move(values));
        return;
    case Placement::AmendsLast:
        if (table_.rows.empty())
            return;
        Row& target = table_.rows.back();
        for (size_t i = 0; i < values.size() && i < target.size(); ++i)
            if (!changed || (*changed)[i])
                target[i] = std::move(values[i]);
        return;
    }
}

void ChangeLogMerge::finish() {
    if (!sawLog_)
        return;
    for (qsizetype i = table_.params.size() - 1; i >= 0; --i)
        if (table_.params[i].name.compare("CHANGE_LOG", Qt::CaseInsensitive) == 0)
            table_.params.removeAt(i);
}
