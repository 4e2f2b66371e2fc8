#include "records/RecordListModel.h"

#include "platform/Cp932.h"
#include "records/Dataset.h"

namespace {
struct Column {
    const char* field;
    const char* title;
    int width;
};
constexpr Column kColumns[] = {
    {"num", "No", 5},    {"name", "名前", 20}, {"sday", "作成日", 20},
    {"pcode", "〒", 10}, {"addr", "住所", 30}, {"tel", "tel", 12},
};
constexpr int kColumnCount = int(std::size(kColumns));
// The user's long date form is the Japanese one on every machine.
constexpr char kLongDate[] = "yyyy年M月d日";
constexpr char kLongDateTime[] = "yyyy年M月d日 H:mm:ss";
} // namespace

RecordListModel::RecordListModel(QObject* parent) : QAbstractTableModel(parent) {}

void RecordListModel::reload(const Dataset& records) {
    const int count = records.recordCount();
    const int current = records.recNo();
    // Only the current record changed: refresh its row alone, so the view keeps its
    // scroll position and selection.
    if (records_ == &records && count_ == count && current >= 1 &&
        records.state() != Dataset::State::Browse) {
        emit dataChanged(index(current - 1, 0), index(current - 1, kColumnCount - 1));
        return;
    }
    beginResetModel();
    records_ = &records;
    count_ = count;
    fields_ =
        Fields{records.fieldIndex("num"),   records.fieldIndex("name"), records.fieldIndex("sday"),
               records.fieldIndex("pcode"), records.fieldIndex("addr"), records.fieldIndex("tel")};
    if (fields_.sday >= 0)
        sdayType_ = records.fields()[fields_.sday].type;
    endResetModel();
}

int RecordListModel::rowAfterPost(int row, int from, std::optional<int> to) {
    if (row == from)
        return to.value_or(from);
    const int withoutPosted = row > from ? row - 1 : row;
    return to && withoutPosted >= *to ? withoutPosted + 1 : withoutPosted;
}

int RecordListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count_;
}

int RecordListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant RecordListModel::data(const QModelIndex& index, int role) const {
    // A record the view lost since the last reload shows nothing until the next one.
    if (role != Qt::DisplayRole || !index.isValid() || !records_ || index.row() >= count_ ||
        index.row() >= records_->recordCount())
        return {};
    const int recNo = index.row() + 1;
    const auto text = [&](int field) {
        return cp932::decodeShown(records_->viewValue(recNo, field).toBytes());
    };
    switch (index.column()) {
    case 0: {
        const Value num = records_->viewValue(recNo, fields_.num);
        return numberText(num.isNull() ? QVariant() : QVariant(num.toInt()));
    }
    case 1:
        return text(fields_.name);
    case 2:
        return dateTimeText(
            Dataset::dateTimeOf(sdayType_, records_->viewValue(recNo, fields_.sday)));
    case 3:
        return text(fields_.pcode);
    case 4:
        return text(fields_.addr);
    case 5:
        return text(fields_.tel);
    default:
        return {};
    }
}

QVariant RecordListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
        section >= kColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return QString::fromUtf8(kColumns[section].title);
}

QByteArray RecordListModel::fieldOf(int column) {
    return column >= 0 && column < kColumnCount ? QByteArray(kColumns[column].field) : QByteArray();
}

int RecordListModel::widthOf(int column) {
    return column >= 0 && column < kColumnCount ? kColumns[column].width : 0;
}

QString RecordListModel::numberText(const QVariant& num) {
    if (num.isNull())
        return {};
    const int value = num.toInt();
    const QString digits = QString::number(qAbs(qint64(value))).rightJustified(4, u'0');
    return value < 0 ? QStringLiteral("-") + digits : digits;
}

QString RecordListModel::dateTimeText(const QDateTime& value) {
    if (!value.isValid())
        return {};
    // The long date form; the time only when there is one, as a date-time field shows itself.
    if (value.time() == QTime(0, 0))
        return value.toString(QString::fromUtf8(kLongDate));
    return value.toString(QString::fromUtf8(kLongDateTime));
}
