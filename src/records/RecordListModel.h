#pragma once
// The record grid's rows: the records of the dataset's view in view order, read-only,
// with the columns No, 名前, 作成日, 〒, 住所, tel.
#include "records/FieldDef.h"
#include "records/Value.h"

#include <QAbstractTableModel>
#include <QDateTime>

#include <vector>

class Dataset;

class RecordListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RecordListModel(QObject* parent = nullptr);

    // Takes the view afresh. The cursor is walked through the view and put back where it
    // was; a record in editing is not walked over (that would post it), only its row is
    // refreshed from the edit buffer.
    void reload(Dataset& records);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Field name of a column ("num", "name", ...).
    static QByteArray fieldOf(int column);
    // Width of a column in characters.
    static int widthOf(int column);

    // How a cell shows its value: num as "0000", sday as date and time.
    static QString numberText(const QVariant& num);
    static QString dateTimeText(const QDateTime& value);

private:
    // The values as read; a cell is decoded only when the grid shows it, so a large
    // file costs no text conversion up front.
    struct Line {
        Value num;
        Value name;
        Value sday;
        Value pcode;
        Value addr;
        Value tel;
    };
    Line lineOf(const Dataset& records) const;

    int fieldIndexes_[6] = {-1, -1, -1, -1, -1, -1};
    FieldType fieldTypes_[6] = {};

    std::vector<Line> lines_;
};
