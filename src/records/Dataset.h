#pragma once
// The in-memory record table: typed fields, a cursor over an ordered and filtered
// view, named indexes, the master link as a filter, and edit/post. The program's
// instances are CDS2 (records) and CDS1 (kana-row categories).
#include "records/PacketTable.h"
#include "records/ViewOrder.h"

#include <QDateTime>
#include <QStringList>

#include <optional>
#include <vector>

class Dataset {
public:
    enum class State { Inactive, Browse, Edit, Insert };

    struct IndexDef {
        QByteArray name;
        QList<QByteArray> fields; // from "cate;name"
        bool descending = false;
        bool operator==(const IndexDef&) const = default;
    };

    // --- content --------------------------------------------------------------
    // Replaces fields, properties and records (strings cut to their field widths); drops
    // indexes and any pending edit; keeps the order by field and the master filter; the
    // cursor goes to the first record.
    void setContent(PacketTable table);
    // Fields, properties and all records (not only the view), pending edit excluded.
    const PacketTable& content() const { return table_; }
    void clear(); // no fields, no records
    bool isActive() const { return !table_.fields.isEmpty(); }

    const QList<FieldDef>& fields() const { return table_.fields; }
    int fieldIndex(QByteArrayView name) const { return table_.fieldIndex(name); }
    bool hasField(QByteArrayView name) const { return fieldIndex(name) >= 0; }

    // --- view and cursor ------------------------------------------------------
    int recordCount() const; // records of the view
    int recNo() const;       // 1-based position in the view; 0 when the view is empty
    bool isEmpty() const { return recordCount() == 0; }
    bool bof() const { return bof_; }
    bool eof() const { return eof_; }
    // Every move posts a pending edit first.
    void first();
    void next();
    void prior();
    void last();
    void moveTo(int recNo); // clamped to the view

    // A field of the record at view position `recNo` (1-based) without moving the cursor;
    // the record in editing reads from its edit buffer.
    Value viewValue(int recNo, int field) const;
    Value viewValue(int recNo, QByteArrayView name) const {
        return viewValue(recNo, fieldIndex(name));
    }
    // The same for stored row `row` (0-based, file order), whatever the view shows.
    Value rowValue(int row, int field) const;

    // --- order and filter -----------------------------------------------------
    // Orders by a list of fields ("cate" or "cate;name"), without a named index.
    void setIndexFieldNames(const QByteArray& fields);
    QByteArray indexFieldNames() const { return indexFieldNames_; }
    // Adds a named index; one already there under that name with the same definition
    // is reused, a different one is replaced.
    void addIndex(const QByteArray& name, const QByteArray& fields, bool descending = false);
    void deleteIndex(const QByteArray& name);
    // Makes a named index current (empty name: back to the field order); false if unknown.
    bool setIndexName(const QByteArray& name);
    QByteArray indexName() const { return indexName_; }
    QList<QByteArray> indexNames() const;

    // Master link: only records whose `field` equals `value` are seen.
    void setMasterFilter(const QByteArray& field, const QByteArray& value);
    void clearMasterFilter();
    bool masterFilterActive() const { return filter_.has_value(); }

    // Row filter, beside the master link: only rows whose flag is set are seen. The flags
    // are by stored row (content().rows); rows added while it stands are seen, removed ones
    // take their flag along, and new content drops the filter.
    void setRowFilter(std::vector<char> shown);
    void clearRowFilter();
    bool rowFilterActive() const { return rowFilter_.has_value(); }

    // --- editing --------------------------------------------------------------
    State state() const { return state_; }
    // Edit mode for the current record; appends a record when the view is empty.
    void edit();
    void append(); // a new record after the last, in Insert state
    void insert(); // a new record before the current one, in Insert state
    void post();   // no-op in Browse
    void cancel();
    void deleteRecord(); // the current record; the cursor stays at the same position

    // --- field access on the current record (the edit buffer while editing) -----
    // Writing puts the current record into edit mode first. Unknown names read as
    // null and are ignored on write.
    Value value(int field) const;
    Value value(QByteArrayView name) const { return value(fieldIndex(name)); }
    bool isNull(QByteArrayView name) const { return value(name).isNull(); }
    QByteArray asText(QByteArrayView name) const; // CP932; numbers as decimal text
    qint32 asInteger(QByteArrayView name) const;  // 0 for null or non-numbers
    double asFloat(QByteArrayView name) const;
    QDateTime asDateTime(QByteArrayView name) const; // invalid for null

    void setValue(int field, const Value& v);
    // String fields cut the text to their byte width without splitting a character.
    void setText(QByteArrayView name, const QByteArray& cp932);
    void setInteger(QByteArrayView name, qint32 v);
    void setFloat(QByteArrayView name, double v);
    void setDateTime(QByteArrayView name, const QDateTime& v);
    void setNull(QByteArrayView name);

    // The readings above of a value of a field of type `type` (for values read apart
    // from the cursor, as the record list does).
    static QByteArray textOf(FieldType type, const Value& v);
    static qint32 integerOf(const Value& v);
    static QDateTime dateTimeOf(FieldType type, const Value& v);

    // Conversions of the dateTime representation (milliseconds counted from day 1 =
    // 0001-01-01) to and from local date-times.
    static double toStamp(const QDateTime& dt);
    static QDateTime fromStamp(double stamp);

private:
    void rebuildView(std::optional<int> keepRow);
    // The master filter's field, -1 without one; readies rowVisible() until the table
    // next changes.
    int prepareFilter();
    bool rowVisible(int row, int filterField) const;
    // After `row` alone changed: takes it out of the view and puts it back where the
    // order puts it, if the filter lets it in, without ordering the view anew.
    void placeRow(int row);
    // Takes `row` out of the table and the view; the cursor keeps its position.
    void removeRow(int row);
    const Row* currentRow() const;
    Value convertForField(int field, const Value& v) const;
    void setCursor(int pos);

    PacketTable table_;
    std::vector<int> view_; // row indexes in view order
    int pos_ = -1;          // index into view_, -1 when empty
    bool bof_ = true;
    bool eof_ = true;

    State state_ = State::Inactive;
    Row buffer_;
    int editRow_ = -1; // row being edited or inserted

    QByteArray indexFieldNames_;
    QByteArray indexName_;
    QList<IndexDef> indexes_;
    ViewOrder order_;

    struct Filter {
        QByteArray field;
        QByteArray value;
    };
    std::optional<Filter> filter_;
    // The filter's field as kept by the order, when it is (see prepareFilter).
    const std::vector<int>* filterSlots_ = nullptr;
    int filterSlot_ = -2;
    std::optional<std::vector<char>> rowFilter_; // one flag per row of table_.rows
};
