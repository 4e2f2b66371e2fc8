#include "records/ChangeLogMerge.h"

void ChangeLogMerge::add(int status, Row&& values, const std::vector<bool>* changed) {
    if (status & ~0x40)
        sawLog_ = true;
    if (status & Unused)
        return;
    if (status & Modified) {
        // The new values of the row just before; a modified row whose original was
        // deleted stays deleted.
        if (!lastKept_ || table_.rows.empty())
            return;
        Row& target = table_.rows.back();
        for (size_t i = 0; i < values.size() && i < target.size(); ++i)
            if (!changed || (*changed)[i])
                target[i] = std::move(values[i]);
        return;
    }
    if (status & Deleted) {
        lastKept_ = false;
        return;
    }
    table_.rows.push_back(std::move(values));
    lastKept_ = true;
}

void ChangeLogMerge::finish() {
    if (!sawLog_)
        return;
    for (qsizetype i = table_.params.size() - 1; i >= 0; --i)
        if (table_.params[i].name.compare("CHANGE_LOG", Qt::CaseInsensitive) == 0)
            table_.params.removeAt(i);
}
