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
} // namespace

RecordListModel::RecordListModel(QObject* parent) : QAbstractTableModel(parent) {}

RecordListModel::Line RecordListModel::lineOf(const Dataset& records) const {
    return Line{records.value(fieldIndexes_[0]), records.value(fieldIndexes_[1]),
                records.value(fieldIndexes_[2]), records.value(fieldIndexes_[3]),
                records.value(fieldIndexes_[4]), records.value(fieldIndexes_[5])};
}

void RecordListModel::reload(Dataset& records) {
    for (int c = 0; c < kColumnCount; ++c) {
        fieldIndexes_[c] = records.fieldIndex(kColumns[c].field);
        fieldTypes_[c] =
            fieldIndexes_[c] >= 0 ? records.fields()[fieldIndexes_[c]].type : FieldType::String;
    }
    const int count = records.recordCount();
    const int current = records.recNo();
    const bool editing =
        records.state() == Dataset::State::Edit || records.state() == Dataset::State::Insert;
    if (editing && int(lines_.size()) == count && current >= 1) {
        lines_[size_t(current - 1)] = lineOf(records);
        emit dataChanged(index(current - 1, 0), index(current - 1, kColumnCount - 1));
        return;
    }
    beginResetModel();
    lines_.clear();
    if (editing) {
        // The view changed under a pending edit; show what can be read without posting.
        if (current >= 1) {
            lines_.assign(size_t(count), Line{});
            lines_[size_t(current - 1)] = lineOf(records);
        }
    } else if (count > 0) {
        lines_.reserve(size_t(count));
        records.first();
        for (int i = 0; i < count; ++i) {
            lines_.push_back(lineOf(records));
            records.next();
        }
        records.moveTo(current);
    }
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
    const int column = index.column();
    auto text = [&](const Value& v) {
        return cp932::decode(Dataset::textOf(fieldTypes_[column], v));
    };
    switch (column) {
    case 0:
        return numberText(line.num.isNull() ? QVariant() : QVariant(Dataset::integerOf(line.num)));
    case 1:
        return text(line.name);
    case 2:
        return dateTimeText(Dataset::dateTimeOf(fieldTypes_[column], line.sday));
    case 3:
        return text(line.pcode);
    case 4:
        return text(line.addr);
    case 5:
        return text(line.tel);
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
    // Date alone at midnight, as a date-time field shows itself.
    if (value.time() == QTime(0, 0))
        return value.toString(QStringLiteral("yyyy/MM/dd"));
    return value.toString(QStringLiteral("yyyy/MM/dd H:mm:ss"));
}
