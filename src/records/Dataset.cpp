#include "records/Dataset.h"

#include "platform/Cp932.h"
#include "records/Datapacket.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr qint64 MsPerDay = 86400000;

QList<QByteArray> splitFields(const QByteArray& fields) {
    QList<QByteArray> out;
    for (const QByteArray& part : fields.split(';'))
        if (!part.trimmed().isEmpty())
            out.append(part.trimmed());
    return out;
}

} // namespace

// --- content -------------------------------------------------------------------

void Dataset::setContent(PacketTable table) {
    table_ = std::move(table);
    // A file may hold strings longer than its fields declare; they are cut here, as
    // setValue() cuts, so that every file written again keeps its widths.
    std::vector<size_t> cutFields;
    for (qsizetype f = 0; f < table_.fields.size(); ++f)
        if (table_.fields[f].type == FieldType::String && table_.fields[f].width > 0)
            cutFields.push_back(size_t(f));
    for (Row& row : table_.rows) {
        row.resize(size_t(table_.fields.size()));
        for (size_t f : cutFields) {
            const qsizetype width = table_.fields[qsizetype(f)].width;
            if (row[f].isBytes() && row[f].bytes().size() > width)
                row[f] = Value::fromBytes(cp932::cutToWidth(row[f].toBytes(), width));
        }
    }
    state_ = table_.fields.isEmpty() ? State::Inactive : State::Browse;
    buffer_.clear();
    editRow_ = -1;
    indexes_.clear();
    indexName_.clear();
    order_.reset();
    rowFilter_.reset();
    rebuildView(std::nullopt);
    setCursor(view_.empty() ? -1 : 0);
}

void Dataset::clear() {
    setContent(PacketTable{});
}

// --- view ----------------------------------------------------------------------

int Dataset::prepareFilter() {
    const int field = filter_ ? table_.fieldIndex(filter_->field) : -1;
    // The kana row orders every tab, so its values are kept as slots: the filter then
    // compares whole numbers in one array instead of reaching into every record's bytes.
    // A null value reads as the empty text here, which has a slot of its own there.
    filterSlots_ = field >= 0 && !filter_->value.isEmpty() ? order_.slotsOfRows(field) : nullptr;
    filterSlot_ = filterSlots_ ? order_.slotOf(field, filter_->value) : -2;
    return field;
}

bool Dataset::rowVisible(int row, int filterField) const {
    if (rowFilter_ && !(*rowFilter_)[size_t(row)])
        return false;
    if (!filter_)
        return true;
    if (filterField < 0)
        return false;
    if (filterSlots_)
        return (*filterSlots_)[size_t(row)] == filterSlot_;
    const Value& v = table_.rows[size_t(row)][size_t(filterField)];
    return v.isBytes() ? v.bytes() == filter_->value : v.toBytes() == filter_->value;
}

Value Dataset::viewValue(int recNo, int f) const {
    if (f < 0 || f >= int(table_.fields.size()) || recNo < 1 || recNo > int(view_.size()))
        return {};
    const int row = view_[size_t(recNo - 1)];
    if ((state_ == State::Edit || state_ == State::Insert) && row == editRow_)
        return buffer_[size_t(f)];
    return table_.rows[size_t(row)][size_t(f)];
}

Value Dataset::rowValue(int row, int f) const {
    if (f < 0 || f >= int(table_.fields.size()) || row < 0 || row >= int(table_.rows.size()))
        return {};
    if ((state_ == State::Edit || state_ == State::Insert) && row == editRow_)
        return buffer_[size_t(f)];
    return table_.rows[size_t(row)][size_t(f)];
}

void Dataset::rebuildView(std::optional<int> keepRow) {
    const int oldPos = pos_;
    view_.clear();
    view_.reserve(table_.rows.size());
    const int filterField = prepareFilter();
    for (int i = 0; i < int(table_.rows.size()); ++i)
        if (rowVisible(i, filterField))
            view_.push_back(i);

    QList<QByteArray> names = splitFields(indexFieldNames_);
    bool descending = false;
    if (!indexName_.isEmpty())
        for (const IndexDef& idx : indexes_)
            if (idx.name == indexName_) {
                names = idx.fields;
                descending = idx.descending;
            }
    QList<int> orderFields;
    for (const QByteArray& n : names)
        if (const int f = table_.fieldIndex(n); f >= 0)
            orderFields.append(f);
    order_.setFields(table_, orderFields, descending);
    order_.sort(table_, view_);

    int pos = std::min(oldPos, int(view_.size()) - 1);
    if (keepRow) {
        const auto it = std::find(view_.begin(), view_.end(), *keepRow);
        if (it != view_.end())
            pos = int(it - view_.begin());
    }
    if (pos < 0 && !view_.empty())
        pos = 0;
    setCursor(pos);
}

void Dataset::placeRow(int row) {
    const int oldPos = pos_;
    // The row being posted is the current one; only an odd caller needs the search.
    auto at = pos_ >= 0 && view_[size_t(pos_)] == row ? view_.begin() + pos_
                                                      : std::find(view_.begin(), view_.end(), row);
    if (at != view_.end())
        view_.erase(at);
    int pos = std::min(oldPos, int(view_.size()) - 1);
    if (rowVisible(row, prepareFilter())) {
        const size_t place = order_.placeOf(table_, view_, row);
        view_.insert(view_.begin() + qsizetype(place), row);
        pos = int(place);
    }
    setCursor(pos < 0 ? 0 : pos);
}

void Dataset::removeRow(int row) {
    const int oldPos = pos_;
    table_.rows.erase(table_.rows.begin() + row);
    if (rowFilter_)
        rowFilter_->erase(rowFilter_->begin() + row);
    order_.rowRemoved(row);
    // The others keep their order; those after it move down one place in the table.
    std::erase(view_, row);
    for (int& r : view_)
        if (r > row)
            --r;
    setCursor(std::max(std::min(oldPos, int(view_.size()) - 1), 0));
}

void Dataset::setCursor(int pos) {
    pos_ = view_.empty() ? -1 : std::clamp(pos, 0, int(view_.size()) - 1);
    bof_ = pos_ <= 0;
    eof_ = view_.empty();
}

int Dataset::recordCount() const {
    return int(view_.size());
}
int Dataset::recNo() const {
    return pos_ + 1;
}

void Dataset::first() {
    post();
    setCursor(0);
}

void Dataset::next() {
    post();
    if (pos_ + 1 < int(view_.size())) {
        ++pos_;
        bof_ = eof_ = false;
    } else {
        eof_ = true;
    }
}

void Dataset::prior() {
    post();
    if (pos_ > 0) {
        --pos_;
        bof_ = eof_ = false;
    } else {
        bof_ = true;
    }
}

void Dataset::last() {
    post();
    setCursor(int(view_.size()) - 1);
    eof_ = true;
}

void Dataset::moveTo(int recNo) {
    post();
    setCursor(recNo - 1);
}

// --- order and filter ------------------------------------------------------------

void Dataset::setIndexFieldNames(const QByteArray& fields) {
    post();
    // Every change rebuilds the view, so it already stands in this order.
    if (fields == indexFieldNames_ && indexName_.isEmpty())
        return;
    indexFieldNames_ = fields;
    indexName_.clear();
    rebuildView(pos_ >= 0 ? std::optional<int>(view_[size_t(pos_)]) : std::nullopt);
}

void Dataset::addIndex(const QByteArray& name, const QByteArray& fields, bool descending) {
    const IndexDef def{name, splitFields(fields), descending};
    for (IndexDef& idx : indexes_)
        if (idx.name == name) {
            if (idx == def)
                return;
            idx = def;
            if (indexName_ == name)
                setIndexName(name);
            return;
        }
    indexes_.append(def);
}

void Dataset::deleteIndex(const QByteArray& name) {
    for (qsizetype i = 0; i < indexes_.size(); ++i)
        if (indexes_[i].name == name) {
            indexes_.removeAt(i);
            if (indexName_ == name) {
                // Back to the records' own order, as after clearing the index name.
                post();
                indexName_.clear();
                rebuildView(pos_ >= 0 ? std::optional<int>(view_[size_t(pos_)]) : std::nullopt);
            }
            return;
        }
}

bool Dataset::setIndexName(const QByteArray& name) {
    if (!name.isEmpty() && std::none_of(indexes_.begin(), indexes_.end(),
                                        [&](const IndexDef& i) { return i.name == name; }))
        return false;
    post();
    indexName_ = name;
    indexFieldNames_.clear();
    rebuildView(pos_ >= 0 ? std::optional<int>(view_[size_t(pos_)]) : std::nullopt);
    return true;
}

QList<QByteArray> Dataset::indexNames() const {
    QList<QByteArray> out;
    for (const IndexDef& idx : indexes_)
        out.append(idx.name);
    return out;
}

void Dataset::setMasterFilter(const QByteArray& field, const QByteArray& value) {
    post();
    filter_ = Filter{field, value};
    rebuildView(std::nullopt);
    setCursor(0);
}

void Dataset::clearMasterFilter() {
    post();
    if (filter_) {
        filter_.reset();
        rebuildView(std::nullopt);
    }
    setCursor(0);
}

void Dataset::setRowFilter(std::vector<char> shown) {
    post();
    shown.resize(table_.rows.size(), 1);
    rowFilter_ = std::move(shown);
    rebuildView(pos_ >= 0 ? std::optional<int>(view_[size_t(pos_)]) : std::nullopt);
}

void Dataset::clearRowFilter() {
    post();
    if (!rowFilter_)
        return;
    rowFilter_.reset();
    rebuildView(pos_ >= 0 ? std::optional<int>(view_[size_t(pos_)]) : std::nullopt);
}

// --- editing ---------------------------------------------------------------------

void Dataset::edit() {
    if (state_ != State::Browse)
        return;
    if (view_.empty()) {
        append();
        return;
    }
    editRow_ = view_[size_t(pos_)];
    buffer_ = table_.rows[size_t(editRow_)];
    state_ = State::Edit;
}

void Dataset::append() {
    if (state_ == State::Inactive)
        return;
    post();
    table_.rows.emplace_back(size_t(table_.fields.size()));
    if (rowFilter_)
        rowFilter_->push_back(1);
    editRow_ = int(table_.rows.size()) - 1;
    order_.rowInserted(table_, editRow_);
    view_.push_back(editRow_);
    setCursor(int(view_.size()) - 1);
    buffer_ = Row(size_t(table_.fields.size()));
    state_ = State::Insert;
}

void Dataset::insert() {
    if (state_ == State::Inactive)
        return;
    post();
    if (view_.empty()) {
        append();
        return;
    }
    const int phys = view_[size_t(pos_)];
    table_.rows.insert(table_.rows.begin() + phys, Row(size_t(table_.fields.size())));
    order_.rowInserted(table_, phys);
    if (rowFilter_)
        rowFilter_->insert(rowFilter_->begin() + phys, 1);
    for (int& r : view_)
        if (r >= phys)
            ++r;
    view_.insert(view_.begin() + pos_, phys);
    setCursor(pos_);
    editRow_ = phys;
    buffer_ = Row(size_t(table_.fields.size()));
    state_ = State::Insert;
}

void Dataset::post() {
    if (state_ != State::Edit && state_ != State::Insert)
        return;
    table_.rows[size_t(editRow_)] = std::move(buffer_);
    buffer_.clear();
    state_ = State::Browse;
    const int row = editRow_;
    editRow_ = -1;
    order_.rowChanged(table_, row);
    placeRow(row);
}

void Dataset::cancel() {
    if (state_ == State::Edit) {
        state_ = State::Browse;
        buffer_.clear();
        editRow_ = -1;
    } else if (state_ == State::Insert) {
        state_ = State::Browse;
        buffer_.clear();
        const int row = editRow_;
        editRow_ = -1;
        removeRow(row);
    }
}

void Dataset::deleteRecord() {
    if (state_ == State::Insert) {
        cancel();
        return;
    }
    cancel();
    if (state_ != State::Browse || view_.empty())
        return;
    removeRow(view_[size_t(pos_)]);
}

// --- field access ------------------------------------------------------------------

const Row* Dataset::currentRow() const {
    if (state_ == State::Edit || state_ == State::Insert)
        return &buffer_;
    if (pos_ < 0 || pos_ >= int(view_.size()))
        return nullptr;
    return &table_.rows[size_t(view_[size_t(pos_)])];
}

Value Dataset::value(int field) const {
    const Row* row = currentRow();
    if (!row || field < 0 || field >= int(row->size()))
        return {};
    return (*row)[size_t(field)];
}

QByteArray Dataset::textOf(FieldType type, const Value& v) {
    if (v.isNull())
        return {};
    switch (type) {
    case FieldType::DateTime:
    case FieldType::Date:
        return dateTimeOf(type, v).toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")).toLatin1();
    case FieldType::R8:
        return QByteArray::number(v.toReal(), 'g', 15);
    default:
        return v.toBytes();
    }
}

qint32 Dataset::integerOf(const Value& v) {
    if (v.isReal())
        return std::isfinite(v.toReal()) && std::abs(v.toReal()) < 2147483648.0
                   ? qint32(std::llround(v.toReal()))
                   : 0;
    return v.toInt();
}

QDateTime Dataset::dateTimeOf(FieldType type, const Value& v) {
    if (v.isNull())
        return {};
    switch (type) {
    case FieldType::Date:
        return fromStamp(double(v.toInt()) * MsPerDay);
    case FieldType::Time:
        return fromStamp(double(MsPerDay + v.toInt()));
    default:
        return fromStamp(v.toReal());
    }
}

QByteArray Dataset::asText(QByteArrayView name) const {
    const int f = fieldIndex(name);
    return f < 0 ? QByteArray() : textOf(table_.fields[f].type, value(f));
}

qint32 Dataset::asInteger(QByteArrayView name) const {
    return integerOf(value(name));
}

double Dataset::asFloat(QByteArrayView name) const {
    return value(name).toReal();
}

QDateTime Dataset::asDateTime(QByteArrayView name) const {
    const int f = fieldIndex(name);
    return f < 0 ? QDateTime() : dateTimeOf(table_.fields[f].type, value(f));
}

Value Dataset::convertForField(int field, const Value& v) const {
    if (v.isNull())
        return v;
    const FieldDef& f = table_.fields[field];
    switch (f.type) {
    case FieldType::String:
        return Value::fromBytes(f.width > 0 ? cp932::cutToWidth(v.toBytes(), f.width)
                                            : v.toBytes());
    case FieldType::Memo:
    case FieldType::Blob:
        return Value::fromBytes(v.toBytes());
    case FieldType::I2:
        return Value::fromInt(std::clamp(v.toInt(), -32768, 32767));
    case FieldType::Boolean:
        return Value::fromInt(v.toInt() != 0);
    case FieldType::I4:
    case FieldType::Date:
    case FieldType::Time:
        return Value::fromInt(
            v.isReal() ? qint32(std::llround(std::clamp(v.toReal(), -2147483648.0, 2147483647.0)))
                       : v.toInt());
    case FieldType::R8:
    case FieldType::DateTime:
        return Value::fromReal(v.toReal());
    }
    return v;
}

void Dataset::setValue(int field, const Value& v) {
    if (field < 0 || field >= int(table_.fields.size()))
        return;
    edit();
    if (state_ != State::Edit && state_ != State::Insert)
        return;
    buffer_[size_t(field)] = convertForField(field, v);
}

void Dataset::setText(QByteArrayView name, const QByteArray& cp932) {
    const int f = fieldIndex(name);
    if (f < 0)
        return;
    switch (table_.fields[f].type) {
    case FieldType::String:
    case FieldType::Memo:
    case FieldType::Blob:
        setValue(f, Value::fromBytes(cp932));
        return;
    default:
        break;
    }
    const QByteArray t = cp932.trimmed();
    bool ok = false;
    const double d = t.toDouble(&ok);
    setValue(f, t.isEmpty() || !ok ? Value() : Value::fromReal(d));
}

void Dataset::setInteger(QByteArrayView name, qint32 v) {
    setValue(fieldIndex(name), Value::fromInt(v));
}

void Dataset::setFloat(QByteArrayView name, double v) {
    setValue(fieldIndex(name), Value::fromReal(v));
}

void Dataset::setDateTime(QByteArrayView name, const QDateTime& v) {
    const int f = fieldIndex(name);
    if (f < 0)
        return;
    if (!v.isValid()) {
        setValue(f, Value());
        return;
    }
    const double stamp = toStamp(v);
    switch (table_.fields[f].type) {
    case FieldType::Date:
        setValue(f, Value::fromInt(qint32(std::floor(stamp / MsPerDay))));
        return;
    case FieldType::Time:
        setValue(f, Value::fromInt(v.time().msecsSinceStartOfDay()));
        return;
    default:
        setValue(f, Value::fromReal(stamp));
    }
}

void Dataset::setNull(QByteArrayView name) {
    setValue(fieldIndex(name), Value());
}

double Dataset::toStamp(const QDateTime& dt) {
    const QDate d = dt.date();
    return double(datapacket::dayNumber(d.year(), d.month(), d.day())) * MsPerDay +
           dt.time().msecsSinceStartOfDay();
}

QDateTime Dataset::fromStamp(double stamp) {
    if (!std::isfinite(stamp) || std::abs(stamp) > 1e17)
        return {};
    const qint64 total = std::llround(stamp);
    qint64 day = total / MsPerDay;
    qint64 ms = total % MsPerDay;
    if (ms < 0) {
        ms += MsPerDay;
        --day;
    }
    return QDateTime(QDate::fromJulianDay(day + 1721425), QTime::fromMSecsSinceStartOfDay(int(ms)));
}
