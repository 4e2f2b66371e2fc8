#pragma once
// The record grid's rows: the records of the dataset's view in view order, read-only,
// with the columns No, 名前, 作成日, 〒, 住所, tel.
#include "records/FieldDef.h"
#include <QAbstractTableModel>

#include <QDateTime>

#include <optional>

class Dataset;

class RecordListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RecordListModel(QObject* parent = nullptr);

    // Shows the view of `records` afresh. Cells read their record where it stands in the
    // view when the grid asks for them, without moving the cursor, so a record in editing
    // is neither posted nor hidden (it shows its edit buffer). `records` must outlive the
    // model or the next reload.
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

    // The grid shows the view as it stood before the record in editing was posted. Row
    // `row` of it (0-based), where the post moved that record from row `from` to row `to`
    // (none: out of the view), is this row of the view after the post.
    static int rowAfterPost(int row, int from, std::optional<int> to);

    // How a cell shows its value: num as "0000", sday as date and time.
    static QString numberText(const QVariant& num);
    static QString dateTimeText(const QDateTime& value);

private:
    struct Fields {
        int num = -1, name = -1, sday = -1, pcode = -1, addr = -1, tel = -1;
    };

    // Nothing is copied per record: a list of 100,000 records is shown at once, and the
    // grid only ever asks for the rows on screen.
    const Dataset* records_ = nullptr;
    int count_ = 0;
    Fields fields_;
    FieldType sdayType_ = FieldType::DateTime;
};
