// The view keeps its order one record at a time: after every post, append, insert, delete
// and cancel it must be exactly what a full stable sort of all records gives, under every
// order a user can choose, with and without the kana row's filter.
#include "RecordsTestSupport.h"

#include <gtest/gtest.h>

#include "platform/Collation.h"
#include "records/CategoryRows.h"

#include <algorithm>
#include <optional>
#include <random>

namespace {

struct OrderCase {
    const char* label;
    int tab;            // 0: all records; n: the records of row n
    const char* fields; // empty: record order
    bool descending;
};

void PrintTo(const OrderCase& order, std::ostream* os) {
    *os << order.label;
}

const OrderCase kOrders[] = {
    {"RecordOrder", 0, "", false},
    {"RecordOrderUnderRowKa", 2, "", false},
    {"Cate", 0, "cate", false},
    {"CateUnderRowKa", 2, "cate", false},
    {"Name", 0, "name", false},
    {"NameDescending", 0, "name", true},
    {"CateNameUnderRowKa", 2, "cate;name", false},
    {"CateNameDescendingUnderRowA", 1, "cate;name", true},
    {"Date", 0, "sday", false},
    {"DateDescending", 0, "sday", true},
    {"NumberDescending", 0, "num", true},
    {"Address", 0, "addr", false},
    {"NameThenDateDescending", 0, "name;sday", true},
    {"CateNameDateUnderRowKa", 2, "cate;name;sday", false},
};

// Few distinct values, so that ties are common: equal texts, texts of equal rank in some
// collation levels, empty texts and nulls (nullptr).
const char* const kNames[] = {"かとう", "カトウ", "ｶﾄｳ",  "がとう", "あおき", "山田",
                              "やまだ", "Zeta",   "zeta", "",       nullptr};
const char* const kAddresses[] = {"東京都", "とうきょう", "大阪府", "", nullptr};

QByteArray headOf(int tab) {
    return CategoryHeads().value(tab - 1);
}

// What a full sort gives: the numbers of the records the filter lets in, stably sorted by
// the fields (text by collation key, null first), in record order where they are equal.
QList<qint32> fullSort(const Dataset& d, const OrderCase& order) {
    const PacketTable& table = d.content();
    const int cate = table.fieldIndex("cate");
    std::vector<size_t> rows;
    for (size_t r = 0; r < table.rows.size(); ++r)
        if (order.tab == 0 || table.rows[r][size_t(cate)].toBytes() == headOf(order.tab))
            rows.push_back(r);
    QList<int> fields;
    for (const QByteArray& name : QByteArray(order.fields).split(';'))
        if (!name.isEmpty())
            fields.append(table.fieldIndex(name));
    const auto compare = [&](size_t a, size_t b, int f) {
        const Value& x = table.rows[a][size_t(f)];
        const Value& y = table.rows[b][size_t(f)];
        const FieldType type = table.fields[f].type;
        if (type != FieldType::String && type != FieldType::Memo)
            return compareValues(x, y);
        if (x.isNull() || y.isNull())
            return int(y.isNull()) - int(x.isNull());
        const QByteArray kx = collation::sortKey(x.bytes()), ky = collation::sortKey(y.bytes());
        return kx < ky ? -1 : (ky < kx ? 1 : 0);
    };
    std::stable_sort(rows.begin(), rows.end(), [&](size_t a, size_t b) {
        for (int f : fields)
            if (const int c = compare(a, b, f); c != 0)
                return order.descending ? c > 0 : c < 0;
        return false;
    });
    QList<qint32> nums;
    for (size_t r : rows)
        nums.append(table.rows[r][size_t(table.fieldIndex("num"))].toInt());
    return nums;
}

QList<qint32> viewNumbers(const Dataset& d) {
    QList<qint32> nums;
    for (int recNo = 1; recNo <= d.recordCount(); ++recNo)
        nums.append(d.viewValue(recNo, "num").toInt());
    return nums;
}

void applyOrder(Dataset& d, const OrderCase& order) {
    d.setIndexFieldNames("cate"); // what a tab change does first
    if (order.tab == 0)
        d.clearMasterFilter();
    else
        d.setMasterFilter("cate", headOf(order.tab));
    if (order.descending) {
        const QByteArray name = QByteArray(order.fields) + "_DESC";
        d.addIndex(name, order.fields, true);
        ASSERT_TRUE(d.setIndexName(name));
    } else {
        d.setIndexFieldNames(order.fields);
    }
}

class RandomEdits {
public:
    explicit RandomEdits(unsigned seed) : random_(seed) {}

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    bool chance(int percent) { return below(100) < percent; }

    void setText(Dataset& d, const char* field, const char* const* pool, int size) {
        const char* text = pool[below(size)];
        if (text)
            d.setText(field, sjis(text));
        else
            d.setNull(field);
    }

    // Changes some of the fields an order looks at, in the record being edited.
    void change(Dataset& d) {
        if (chance(60))
            setText(d, "name", kNames, int(std::size(kNames)));
        if (chance(30))
            d.setText("cate", headOf(1 + below(3))); // あ, か or さ: in and out of row か
        if (chance(40)) {
            if (chance(15))
                d.setNull("sday");
            else
                d.setDateTime("sday", QDateTime(QDate(2026, 1 + below(3), 1), QTime(9, 0)));
        }
        if (chance(30))
            setText(d, "addr", kAddresses, int(std::size(kAddresses)));
    }

    void newRecord(Dataset& d, qint32 num) {
        d.setInteger("num", num);
        d.setText("cate", headOf(1 + below(3)));
        change(d);
    }

private:
    std::mt19937 random_;
};

} // namespace

class ViewOrderTest : public ::testing::TestWithParam<OrderCase> {};

TEST_P(ViewOrderTest, StaysWhatAFullSortGivesThroughRandomEdits) {
    const OrderCase& order = GetParam();
    RandomEdits random(20261211u + unsigned(order.tab) * 7u + unsigned(order.descending));
    Dataset d = emptyRecords();
    qint32 num = 0;
    for (; num < 30; ++num) {
        d.append();
        random.newRecord(d, num + 1);
        d.post();
    }
    applyOrder(d, order);
    ASSERT_EQ(viewNumbers(d), fullSort(d, order));

    for (int step = 0; step < 400; ++step) {
        SCOPED_TRACE(testing::Message() << "step " << step);
        std::optional<qint32> posted; // the record that must be current afterwards
        switch (random.below(8)) {
        case 0:
        case 1:
        case 2: // an edit, posted by post() or by a move, or cancelled
            if (d.isEmpty())
                break;
            d.moveTo(1 + random.below(d.recordCount()));
            posted = d.asInteger("num");
            random.change(d);
            if (random.chance(15)) {
                d.cancel();
            } else if (random.chance(30)) {
                d.first();
                posted.reset();
            } else {
                d.post();
            }
            break;
        case 3: // 新規＋: an appended record
            d.append();
            random.newRecord(d, ++num);
            posted = num;
            d.post();
            break;
        case 4: // a record put in before the current one, or given up
            d.insert();
            random.newRecord(d, ++num);
            posted = num;
            if (random.chance(20)) {
                d.cancel();
                posted.reset();
            } else {
                d.post();
            }
            break;
        case 5:
            if (!d.isEmpty()) {
                d.moveTo(1 + random.below(d.recordCount()));
                d.deleteRecord();
            }
            break;
        case 6: // another order and back: a full sort over the ranks kept so far
            d.setIndexFieldNames("num");
            applyOrder(d, order);
            break;
        case 7: // the file replaced by one with the same records, names turned round
            if (random.chance(25)) {
                PacketTable table = d.content();
                const int name = table.fieldIndex("name");
                for (size_t r = 0; r + 1 < table.rows.size(); r += 2)
                    std::swap(table.rows[r][size_t(name)], table.rows[r + 1][size_t(name)]);
                d.setContent(std::move(table));
                applyOrder(d, order);
            }
            break;
        }
        ASSERT_EQ(d.state(), Dataset::State::Browse);
        ASSERT_EQ(viewNumbers(d), fullSort(d, order));
        // A posted record the filter lets in stays current, wherever it went.
        if (posted && viewNumbers(d).contains(*posted)) {
            ASSERT_EQ(d.asInteger("num"), *posted);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Orders, ViewOrderTest, ::testing::ValuesIn(kOrders),
                         [](const auto& info) { return std::string(info.param.label); });
