#include "RecordsTestSupport.h"

#include <gtest/gtest.h>

#include "platform/Collation.h"

#include <algorithm>
#include <optional>

namespace {

QList<qint32> numbersInView(Dataset& d) {
    QList<qint32> out;
    for (d.first(); !d.eof(); d.next())
        out.append(d.asInteger("num"));
    return out;
}

Dataset sample() {
    Dataset d = emptyRecords();
    addRecord(d, 1, "他", "Zeta");
    addRecord(d, 2, "か", "Kato");
    addRecord(d, 3, "あ", "Aoki");
    addRecord(d, 4, "か", "Kimura");
    return d;
}

} // namespace

TEST(Dataset, UnsetFieldsReadAsZeroOrEmptyAndNullDiffersFromEmpty) {
    Dataset d = emptyRecords();
    d.append();
    EXPECT_EQ(d.asInteger("linecount"), 0);
    EXPECT_EQ(d.asFloat("SalesTax"), 0.0);
    EXPECT_EQ(d.asText("memo"), QByteArray());
    EXPECT_TRUE(d.isNull("memo"));
    d.setText("memo", "");
    EXPECT_FALSE(d.isNull("memo"));
    EXPECT_FALSE(d.asDateTime("sday").isValid());
}

TEST(Dataset, FieldsAreFoundWithoutRegardToCase) {
    Dataset d = emptyRecords();
    EXPECT_EQ(d.fieldIndex("SUM"), d.fieldIndex("Sum"));
    EXPECT_EQ(d.fieldIndex("salestax"), d.fieldIndex("SalesTax"));
    EXPECT_EQ(d.fieldIndex("nosuch"), -1);
}

TEST(Dataset, StringFieldsCutToTheirByteWidthWithoutSplittingACharacter) {
    Dataset d = emptyRecords();
    d.append();
    d.setText("honorifics", sjis("御中御中御中")); // 12 bytes into 10
    EXPECT_EQ(d.asText("honorifics"), sjis("御中御中御"));
    d.setText("honorifics", sjis("a御中御中御中")); // a + 5 chars would split at byte 10
    EXPECT_EQ(d.asText("honorifics"), sjis("a御中御中"));
    const QByteArray longMemo(5000, 'x');
    d.setText("memo", longMemo);
    EXPECT_EQ(d.asText("memo"), longMemo);
}

TEST(Dataset, CursorMovesAndCountsOverTheView) {
    Dataset d = sample();
    EXPECT_EQ(d.recordCount(), 4);
    d.first();
    EXPECT_EQ(d.recNo(), 1);
    EXPECT_TRUE(d.bof());
    d.prior();
    EXPECT_EQ(d.recNo(), 1);
    d.last();
    EXPECT_EQ(d.recNo(), 4);
    EXPECT_TRUE(d.eof());
    d.next();
    EXPECT_EQ(d.recNo(), 4);
    d.moveTo(2);
    EXPECT_EQ(d.asInteger("num"), 2);
    d.moveTo(99);
    EXPECT_EQ(d.recNo(), 4);
}

TEST(Dataset, OrderByCatePutsKanaRowsBeforeTheOthersAndKeepsInsertionOrderWithin) {
    Dataset d = sample();
    d.setIndexFieldNames("cate");
    EXPECT_EQ(numbersInView(d), (QList<qint32>{3, 2, 4, 1}));
}

// Text orders as its collation keys do, with a null before the empty text, ties in the
// records' own order, and descending the exact reverse of the ranks.
TEST(Dataset, TextOrdersByCollationWithNullFirstAndTiesInRecordOrder) {
    Dataset d = emptyRecords();
    const char* names[] = {"かとう", "", "カトウ", "あおき", "かとう", "Zeta", "zeta", "", "あおき"};
    qint32 num = 1;
    for (const char* name : names)
        addRecord(d, num++, "あ", name);
    d.append(); // a record whose name is null
    d.setInteger("num", num);
    d.post();

    // The expected order, from the keys themselves.
    QList<qint32> expected;
    for (qint32 n = 1; n <= num; ++n)
        expected.append(n);
    const auto keyOf = [&](qint32 n) {
        return n == num ? std::optional<QByteArray>()
                        : std::optional<QByteArray>(collation::sortKey(sjis(names[n - 1])));
    };
    std::stable_sort(expected.begin(), expected.end(), [&](qint32 a, qint32 b) {
        const auto ka = keyOf(a), kb = keyOf(b);
        if (!ka || !kb)
            return !ka && kb;
        return *ka < *kb;
    });
    d.setIndexFieldNames("name");
    EXPECT_EQ(numbersInView(d), expected);
    EXPECT_EQ(expected.first(), num); // null first

    d.addIndex("name_DESC", "name", true);
    ASSERT_TRUE(d.setIndexName("name_DESC"));
    QList<qint32> descending = numbersInView(d);
    EXPECT_EQ(descending.last(), num);
    // Ties keep the records' own order in both directions.
    EXPECT_LT(descending.indexOf(1), descending.indexOf(5));
    EXPECT_LT(descending.indexOf(2), descending.indexOf(8));
}

TEST(Dataset, MasterFilterShowsOneRowAndSavingContentKeepsAll) {
    Dataset d = sample();
    d.setIndexFieldNames("cate");
    d.setMasterFilter("cate", sjis("か"));
    EXPECT_EQ(d.recordCount(), 2);
    EXPECT_EQ(numbersInView(d), (QList<qint32>{2, 4}));
    d.setMasterFilter("cate", sjis("さ"));
    EXPECT_EQ(d.recordCount(), 0);
    EXPECT_EQ(d.recNo(), 0);
    EXPECT_EQ(d.content().rows.size(), 4u);
    d.clearMasterFilter();
    EXPECT_EQ(d.recordCount(), 4);
}

TEST(Dataset, RefilingARecordMovesItOutOfTheFilteredViewAtPost) {
    Dataset d = sample();
    d.setIndexFieldNames("cate");
    d.setMasterFilter("cate", sjis("か"));
    d.edit();
    d.setText("cate", sjis("あ"));
    EXPECT_EQ(d.recordCount(), 2); // pending until posted
    d.post();
    EXPECT_EQ(d.recordCount(), 1);
    EXPECT_EQ(d.asInteger("num"), 4);
}

TEST(Dataset, NamedIndexesAscendDescendAreReusedAndDropped) {
    Dataset d = sample();
    d.addIndex("name_IDX", "name");
    d.addIndex("name_DESC", "name", true);
    d.addIndex("name_IDX", "name"); // same definition: reused, not doubled
    EXPECT_EQ(d.indexNames(), (QList<QByteArray>{"name_IDX", "name_DESC"}));
    ASSERT_TRUE(d.setIndexName("name_IDX"));
    EXPECT_EQ(numbersInView(d), (QList<qint32>{3, 2, 4, 1}));
    ASSERT_TRUE(d.setIndexName("name_DESC"));
    EXPECT_EQ(numbersInView(d), (QList<qint32>{1, 4, 2, 3}));
    d.addIndex("cate;name_DESC", "cate;name", true);
    ASSERT_TRUE(d.setIndexName("cate;name_DESC"));
    EXPECT_EQ(numbersInView(d), (QList<qint32>{1, 4, 2, 3}));
    d.setIndexName("name_IDX");
    d.deleteIndex("name_IDX");
    EXPECT_EQ(d.indexName(), QByteArray());
    EXPECT_EQ(numbersInView(d), (QList<qint32>{1, 2, 3, 4}));
    EXPECT_FALSE(d.setIndexName("name_IDX"));
}

TEST(Dataset, ChangingTheOrderKeepsTheCurrentRecord) {
    Dataset d = sample();
    d.moveTo(3); // num 3, "Aoki"
    d.addIndex("name_DESC", "name", true);
    d.setIndexName("name_DESC");
    EXPECT_EQ(d.asInteger("num"), 3);
    EXPECT_EQ(d.recNo(), 4);
}

TEST(Dataset, CursorMovePostsAPendingEditAndCancelDiscardsIt) {
    Dataset d = sample();
    d.first();
    d.setText("name", "Changed"); // writing starts the edit
    EXPECT_EQ(d.state(), Dataset::State::Edit);
    EXPECT_EQ(d.content().rows[0][size_t(d.fieldIndex("name"))].toBytes(), "Zeta");
    d.next();
    EXPECT_EQ(d.state(), Dataset::State::Browse);
    d.first();
    EXPECT_EQ(d.asText("name"), "Changed");
    d.setText("name", "Again");
    d.cancel();
    EXPECT_EQ(d.asText("name"), "Changed");

    // The window moves by all five; each posts the record it leaves.
    const std::pair<const char*, void (*)(Dataset&)> moves[] = {
        {"by next", [](Dataset& x) { x.next(); }},
        {"by first", [](Dataset& x) { x.first(); }},
        {"by prior", [](Dataset& x) { x.prior(); }},
        {"by last", [](Dataset& x) { x.last(); }},
        {"by moveTo", [](Dataset& x) { x.moveTo(1); }}};
    const int name = d.fieldIndex("name");
    for (const auto& step : moves) {
        const char* const text = step.first;
        d.moveTo(2);
        d.setText("name", text);
        step.second(d);
        EXPECT_EQ(d.state(), Dataset::State::Browse) << text;
        EXPECT_TRUE(std::any_of(d.content().rows.begin(), d.content().rows.end(),
                                [&](const Row& r) { return r[size_t(name)].toBytes() == text; }))
            << text;
    }
}

TEST(Dataset, EditOnAnEmptyViewInsertsARecord) {
    Dataset d = sample();
    d.setMasterFilter("cate", sjis("さ"));
    d.edit();
    EXPECT_EQ(d.state(), Dataset::State::Insert);
    d.setText("cate", sjis("さ"));
    d.post();
    EXPECT_EQ(d.recordCount(), 1);
    EXPECT_EQ(d.content().rows.size(), 5u);
}

TEST(Dataset, InsertGoesBeforeTheCurrentRecordAndCancelRemovesIt) {
    Dataset d = sample();
    d.moveTo(2);
    d.insert();
    d.setInteger("num", 9);
    d.post();
    EXPECT_EQ(numbersInView(d), (QList<qint32>{1, 9, 2, 3, 4}));
    d.last();
    d.append();
    EXPECT_EQ(d.recordCount(), 6);
    d.cancel();
    EXPECT_EQ(numbersInView(d), (QList<qint32>{1, 9, 2, 3, 4}));
}

TEST(Dataset, DeleteKeepsThePositionAndClampsAtTheEnd) {
    Dataset d = sample();
    d.moveTo(2);
    d.deleteRecord();
    EXPECT_EQ(d.asInteger("num"), 3);
    d.last();
    d.deleteRecord();
    EXPECT_EQ(d.asInteger("num"), 3);
    EXPECT_EQ(d.recordCount(), 2);
    d.first();
    d.deleteRecord();
    d.deleteRecord();
    EXPECT_EQ(d.recordCount(), 0);
    d.deleteRecord(); // nothing left: no effect
    EXPECT_EQ(d.recNo(), 0);
}

TEST(Dataset, DateTimesKeepTheMillisecond) {
    Dataset d = emptyRecords();
    d.append();
    const QDateTime when(QDate(2026, 12, 10), QTime(14, 23, 7, 60));
    d.setDateTime("sday", when);
    d.post();
    EXPECT_EQ(d.asDateTime("sday"), when);
    EXPECT_EQ(d.asText("sday"), "2026/12/10 14:23:07");
}

// Text sorts by the Japanese collation: the eleven row heads in syllabary order with
// 他 last, and katakana of both widths among the hiragana (byte order would put
// か before ア and ｱ after everything double-byte).
TEST(Dataset, TextIndexesFollowTheJapaneseCollation) {
    Dataset d = emptyRecords();
    const char* heads[] = {"他", "わ", "は", "あ", "ら", "か", "ま", "な", "た", "や", "さ"};
    for (int i = 0; i < 11; ++i)
        addRecord(d, i + 1, heads[i]);
    d.setIndexFieldNames("cate");
    QByteArray order;
    for (d.first(); !d.eof(); d.next())
        order += d.asText("cate");
    EXPECT_EQ(order, sjis("あかさたなはまやらわ他"));

    Dataset names = emptyRecords();
    addRecord(names, 1, "他", "安藤");
    addRecord(names, 2, "他", "やまだ");
    addRecord(names, 3, "他", "ｲﾄｳ");
    addRecord(names, 4, "他", "かとう");
    addRecord(names, 5, "他", "アベ");
    names.append();
    names.setInteger("num", 6); // name left null: before every text
    names.post();
    names.addIndex("name_IDX", "name");
    names.setIndexName("name_IDX");
    EXPECT_EQ(numbersInView(names), (QList<qint32>{6, 5, 3, 4, 2, 1}));
    names.addIndex("name_DESC", "name", true);
    names.setIndexName("name_DESC");
    EXPECT_EQ(numbersInView(names), (QList<qint32>{1, 2, 4, 3, 5, 6}));
}

TEST(Dataset, ViewValueReadsAnyRowWithoutMovingOrPosting) {
    Dataset d = sample();
    d.moveTo(2);
    d.append();
    d.setText("name", sjis("New"));
    EXPECT_EQ(d.viewValue(1, "name").toBytes(), QByteArray("Zeta"));
    EXPECT_EQ(d.viewValue(5, "name").toBytes(), QByteArray("New")); // the edit buffer
    EXPECT_TRUE(d.viewValue(6, "name").isNull());
    EXPECT_EQ(d.state(), Dataset::State::Insert);
    EXPECT_EQ(d.recNo(), 5);
}
