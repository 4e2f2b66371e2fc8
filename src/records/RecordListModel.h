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

    // Takes the view afresh, reading every row where it stands without moving the cursor,
    // so a record in editing is neither posted nor hidden (it shows its edit buffer).
    void reload(const Dataset& records);

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
    // Field values as stored; text is decoded only for the rows the grid asks for.
    struct Line {
        QVariant num; // null when the record has no number
        QByteArray name;
        Value sday; // made a date-time when shown: that costs a time-zone lookup
        QByteArray pcode;
        QByteArray addr;
        QByteArray tel;
    };
    struct Fields {
        int num, name, sday, pcode, addr, tel;
    };
    static Line lineOf(const Dataset& records, const Fields& fields, int recNo);

    std::vector<Line> lines_;
    FieldType sdayType_ = FieldType::DateTime;
};
