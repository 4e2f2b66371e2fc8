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

RecordListModel::Line RecordListModel::lineOf(const Dataset& records, const Fields& fields,
                                              int recNo) {
    Line line;
    const Value num = records.viewValue(recNo, fields.num);
    if (!num.isNull())
        line.num = num.toInt();
    line.name = records.viewValue(recNo, fields.name).toBytes();
    line.sday = records.viewValue(recNo, fields.sday);
    line.pcode = records.viewValue(recNo, fields.pcode).toBytes();
    line.addr = records.viewValue(recNo, fields.addr).toBytes();
    line.tel = records.viewValue(recNo, fields.tel).toBytes();
    return line;
}

void RecordListModel::reload(const Dataset& records) {
    const Fields fields{records.fieldIndex("num"),  records.fieldIndex("name"),
                        records.fieldIndex("sday"), records.fieldIndex("pcode"),
                        records.fieldIndex("addr"), records.fieldIndex("tel")};
    if (fields.sday >= 0)
        sdayType_ = records.fields()[fields.sday].type;
    const int count = records.recordCount();
    const int current = records.recNo();
    // Only the current record changed: refresh its row alone, so the view keeps its
    // scroll position and selection.
    if (int(lines_.size()) == count && current >= 1 && records.state() != Dataset::State::Browse) {
        lines_[size_t(current - 1)] = lineOf(records, fields, current);
        emit dataChanged(index(current - 1, 0), index(current - 1, kColumnCount - 1));
        return;
    }
    beginResetModel();
    lines_.clear();
    lines_.reserve(size_t(count));
    for (int recNo = 1; recNo <= count; ++recNo)
        lines_.push_back(lineOf(records, fields, recNo));
    endResetModel();
}

int RecordListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(lines_.size());
}

int RecordListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant RecordListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= int(lines_.size()))
        return {};
    const Line& line = lines_[size_t(index.row())];
    switch (index.column()) {
    case 0:
        return numberText(line.num);
    case 1:
        return cp932::decodeShown(line.name);
    case 2:
        return dateTimeText(Dataset::dateTimeOf(sdayType_, line.sday));
    case 3:
        return cp932::decodeShown(line.pcode);
    case 4:
        return cp932::decodeShown(line.addr);
    case 5:
        return cp932::decodeShown(line.tel);
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
