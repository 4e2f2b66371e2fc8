#include "records/FileState.h"

#include "records/Dataset.h"

#include <QList>

#include <algorithm>
#include <cmath>

qint32 LastRecordNumber(Dataset& records) {
    // Every record of the file counts, not only those the chosen tab shows: a number
    // hidden by the tab must not be handed out a second time.
    records.first();
    qint32 largest = 0;
    const int num = records.fieldIndex("num");
    if (num < 0)
        return largest;
    for (const Row& row : records.content().rows) {
        const Value& v = row[size_t(num)];
        if (v.isInt())
            largest = std::max(largest, v.toInt());
        else if (v.isReal() && std::isfinite(v.toReal()) && std::abs(v.toReal()) < 2147483648.0)
            largest = std::max(largest, qint32(std::llround(v.toReal())));
    }
    return largest;
}

HistoryList AddToHistory(const HistoryList& history, const QString& name) {
    QList<QString> list;
    for (const QString& entry : history)
        if (!entry.isEmpty())
            list.append(entry);
    if (!name.isEmpty()) {
        if (list.isEmpty()) {
            list.append(name);
        } else {
            const qsizetype lastEqual = list.lastIndexOf(name);
            if (lastEqual >= 0)
                list.move(lastEqual, 0);
            else
                list.prepend(name);
        }
    }
    HistoryList out;
    for (qsizetype i = 0; i < qsizetype(out.size()) && i < list.size(); ++i)
        out[size_t(i)] = list[i];
    return out;
}

HistoryMenuState RefreshHistoryMenu(const HistoryList& history) {
    HistoryMenuState state;
    for (size_t k = 0; k < history.size(); ++k) {
        state.visible[k] = !history[k].isEmpty();
        state.captions[k] = history[k];
        state.n8Enabled = state.n8Enabled || state.visible[k];
    }
    return state;
}

QString WindowTitle(const QString& currentFileName) {
    const QString title = QString::fromUtf8(ApplicationTitle);
    if (currentFileName.isEmpty())
        return title;
    qsizetype cut = -1;
    for (const QChar sep : {QChar('\\'), QChar(':'), QChar('/')})
        cut = std::max(cut, currentFileName.lastIndexOf(sep));
    return title + QStringLiteral(" - ") + currentFileName.mid(cut + 1);
}
