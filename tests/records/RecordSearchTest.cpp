#include "RecordsTestSupport.h"

#include <gtest/gtest.h>

#include "platform/SearchFold.h"
#include "records/CustomerIndex.h"
#include "records/KanaRow.h"
#include "records/RecordSearch.h"

namespace {

struct Rec {
    qint32 num;
    const char* name;
    const char* addr = "";
    const char* sum = "";
    const char* other = "";
    const char* memo = "";
};

Dataset records(std::initializer_list<Rec> list) {
    Dataset d = emptyRecords();
    for (const Rec& r : list) {
        d.append();
        d.setInteger("num", r.num);
        d.setText("name", sjis(r.name));
        d.setText("addr", sjis(r.addr));
        d.setText("Sum", sjis(r.sum));
        d.setText("other", sjis(r.other));
        d.setText("memo", sjis(r.memo));
        d.post();
    }
    return d;
}

QList<qint32> numbersOf(const Dataset& d, const std::vector<char>& flags) {
    QList<qint32> out;
    const int num = d.fieldIndex("num");
    for (size_t i = 0; i < flags.size(); ++i)
        if (flags[i])
            out.append(d.content().rows[i][size_t(num)].toInt());
    return out;
}

Dataset shop() {
    return records({
        {1, "山田商店", "東京都千代田区", "品名・規格,数量\r\n\"ボルト M8, 特注\",10\r\n"},
        {2, "カタカナ工業", "大阪府"},
        {3, "ｶﾀｸﾗ印刷", "京都府", "", "担当：佐藤"},
        {4, "ABC Trading", "横浜市", "", "", "ＦＡＸで送付"},
        {5, "田中", "千代田区外神田"},
    });
}

} // namespace

TEST(SearchFold, WidthsKanaKindsAndCaseFoldAlike) {
    const struct {
        const char* a;
        const char* b;
    } same[] = {
        {"ｶﾀｶﾅ", "カタカナ"}, {"カタカナ", "かたかな"}, {"ｶﾞｯｺｳ", "がっこう"}, {"ＡＢＣ", "abc"},
        {"Abc", "aBC"},       {"１２３", "123"},        {"ヴ", "ゔ"},          {"ｰ", "ー"},
    };
    for (const auto& c : same)
        EXPECT_EQ(searchfold::fold(QString::fromUtf8(c.a)),
                  searchfold::fold(QString::fromUtf8(c.b)))
            << c.a << " / " << c.b;
    // The first and last katakana with a hiragana of their own.
    EXPECT_EQ(searchfold::fold(QStringLiteral("ァヶ")), "ぁゖ");
    EXPECT_NE(searchfold::fold(QStringLiteral("山田")), searchfold::fold(QStringLiteral("やまだ")));
}

TEST(SearchFold, WordsAreSplitAtSpacesOfEitherWidth) {
    const std::vector<std::string> words = searchfold::words(QString::fromUtf8(" 山田　ﾎﾞﾙﾄ  Ab "));
    ASSERT_EQ(words.size(), 3u);
    EXPECT_EQ(words[0], searchfold::fold(QStringLiteral("山田")));
    EXPECT_EQ(words[1], searchfold::fold(QStringLiteral("ぼると")));
    EXPECT_EQ(words[2], "ab");
    EXPECT_TRUE(searchfold::words(QString::fromUtf8("　 ")).empty());
}

TEST(RecordSearch, EveryWordMustAppearInOneOfTheSearchedFields) {
    Dataset d = shop();
    const struct {
        const char* query;
        QList<qint32> found;
    } cases[] = {
        {"山田", {1}},           // part of a kanji name
        {"ｶﾀｶﾅ", {2}},           // half-width katakana finds full-width
        {"かたかな", {2}},       // hiragana finds katakana
        {"かた", {2, 3}},        // and half-width katakana
        {"千代田", {1, 5}},      // the address
        {"千代田　外神田", {5}}, // two words, both needed, full-width space
        {"千代田 ボルト", {1}},  // a word found only in a line item
        {"ﾎﾞﾙﾄ m8", {1}},        // inside a quoted cell, case folded
        {"特注\"", {}},          // the table's quotes are no text
        {"佐藤", {3}},           // その他
        {"fax", {4}},            // the remarks, full-width letters
        {"abc trading", {4}},    // the name's words apart
        {"0003", {3}},           // the number as the grid shows it
        {"存在しない", {}},      // no match
        {"", {1, 2, 3, 4, 5}},   // nothing typed: all
    };
    RecordSearch search;
    for (const auto& c : cases)
        EXPECT_EQ(numbersOf(d, search.match(d.content(), QString::fromUtf8(c.query))), c.found)
            << c.query;
}

TEST(RecordSearch, TypedLookAlikesFindWhatCodePage932StoredForThem) {
    // Stored, 〜 (U+301C) reads back as ～ and − (U+2212) as －; typed, they stay what they are.
    Dataset d = records({
        {1, "丸の内商事", "丸の内1〜3", "", "", "TEL 03−1234"},
        {2, "鈴木", "丸の内1-3"},
    });
    const struct {
        const char* query;
        QList<qint32> found;
    } cases[] = {
        {"1〜3", {1}}, {"1～3", {1}}, {"03−1234", {1}}, {"03-1234", {1}}, {"1-3", {2}},
    };
    RecordSearch search;
    for (const auto& c : cases)
        EXPECT_EQ(numbersOf(d, search.match(d.content(), QString::fromUtf8(c.query))), c.found)
            << c.query;
}

TEST(RecordSearch, TheTableIsSearchedWithoutItsTitleRow) {
    // The title row is the first line as the table reads it back: up to CR LF, a lone CR or
    // a lone LF, even inside quotes.
    Dataset d = records({
        {1, "甲", "", "品名・規格,数量,単位,単価,金額,備考\r\nボルト,10,本,50,500,\r\n"},
        {2, "乙", "", "作業内容,数量,単位,単価,金額,備考\r\n単価の改定,1,式,,,\r\n"},
        {3, "丙", "", "品名・規格,数量\rボルト,2\r\n"},
        {4, "丁", "", "品名・規格,数量\n作業,2\n"},
        {5, "戊", "", "\"品名\r\n備考\",数量\r\n"},
    });
    const struct {
        const char* query;
        QList<qint32> found;
    } cases[] = {
        {"品名", {}},  {"単価", {2}},      {"作業内容", {}},
        {"作業", {4}}, {"ボルト", {1, 3}}, {"備考 数量", {5}},
    };
    RecordSearch search;
    for (const auto& c : cases)
        EXPECT_EQ(numbersOf(d, search.match(d.content(), QString::fromUtf8(c.query))), c.found)
            << c.query;
}

TEST(RecordSearch, FoldsEachRecordOnceAndAgainOnlyWhenItChanged) {
    Dataset d = shop();
    RecordSearch search;
    search.match(d.content(), QStringLiteral("x"));
    EXPECT_EQ(search.texts().lastFolded(), 5);
    search.match(d.content(), QStringLiteral("xy"));
    EXPECT_EQ(search.texts().lastFolded(), 0);

    d.moveTo(2);
    d.setText("tel", "06-1111");
    d.post();
    EXPECT_EQ(numbersOf(d, search.match(d.content(), QStringLiteral("06-1111"))), QList<qint32>{2});
    EXPECT_EQ(search.texts().lastFolded(), 1);

    // A record added and one removed: the others keep their texts.
    d.append();
    d.setInteger("num", 6);
    d.setText("name", sjis("新規"));
    d.post();
    d.moveTo(1);
    d.deleteRecord();
    EXPECT_EQ(numbersOf(d, search.match(d.content(), QStringLiteral("新規"))), QList<qint32>{6});
    EXPECT_EQ(search.texts().lastFolded(), 1);
}

TEST(FoldedRows, RowsSharingTheirBytesEachKeepATextWhenARowBeforeThemIsDeleted) {
    // A copied value shares the original's bytes, so the rows "x" are found again by the same
    // values; the first row goes. Each must still take a text of its own, none taken twice:
    // in "axbxx" one "x" is matched by its values to a text another "x" took before it.
    for (const char* layout : {"axx", "axbxx"}) {
        Dataset d = emptyRecords();
        Value shared;
        qint32 num = 0;
        for (const char* c = layout; *c; ++c) {
            addRecord(d, ++num, "他", *c == 'x' ? "山田商店" : std::string(1, *c).c_str());
            if (*c != 'x')
                continue;
            if (shared.isNull())
                shared = d.value("name");
            d.edit();
            d.setValue(d.fieldIndex("name"), shared);
            d.post();
        }
        FoldedRows names({"name"}, [](const PacketTable&, const std::vector<Value>& values) {
            return searchfold::fold(cp932::decode(values[0].toBytes()));
        });
        names.sync(d.content());
        d.moveTo(1);
        d.deleteRecord();
        names.sync(d.content());
        EXPECT_EQ(names.lastFolded(), 0) << layout;
        for (int row = 0; row < names.size(); ++row) {
            const char kind = layout[row + 1];
            EXPECT_EQ(names.text(row), kind == 'x' ? searchfold::fold(QStringLiteral("山田商店"))
                                                   : std::string(1, kind))
                << layout << " row " << row;
        }
    }
}

TEST(RecordSearch, TypingOnNarrowsTheLastResultUnlessARecordChanged) {
    Dataset d = shop();
    RecordSearch search;
    search.match(d.content(), QStringLiteral("千代田"));
    EXPECT_EQ(numbersOf(d, search.match(d.content(), QStringLiteral("千代田区"))),
              (QList<qint32>{1, 5}));
    EXPECT_EQ(search.lastSearched(), 2);

    // Record 2 now has the words, though the last result did not hold it.
    d.moveTo(2);
    d.setText("addr", sjis("千代田区神田"));
    d.post();
    EXPECT_EQ(numbersOf(d, search.match(d.content(), QString::fromUtf8("千代田区 神田"))),
              (QList<qint32>{2, 5}));
    EXPECT_EQ(search.lastSearched(), 5);

    // Folded ahead of the next search, the change still bars narrowing.
    d.moveTo(1);
    d.setText("addr", sjis("千代田区神田"));
    d.post();
    search.prepare(d.content());
    EXPECT_EQ(numbersOf(d, search.match(d.content(), QString::fromUtf8("千代田区 神田 区"))),
              (QList<qint32>{1, 2, 5}));
}

TEST(RecordSearch, AQueryAskedAgainIsAnsweredWithoutASearchUntilARecordChanges) {
    Dataset d = shop();
    RecordSearch search;
    const QList<qint32> kanda{1, 5};
    search.match(d.content(), QStringLiteral("千"));
    search.match(d.content(), QStringLiteral("千代田"));
    EXPECT_EQ(search.lastSearched(), 2);
    search.match(d.content(), QStringLiteral("千代田区外"));
    // Deleted back: the kept results answer.
    EXPECT_EQ(numbersOf(d, search.match(d.content(), QStringLiteral("千代田"))), kanda);
    EXPECT_EQ(search.lastSearched(), 0);
    // Typed on after deleting: narrowed from the smallest result it only adds to.
    EXPECT_EQ(numbersOf(d, search.match(d.content(), QStringLiteral("千代田区"))), kanda);
    EXPECT_EQ(search.lastSearched(), 2);

    d.moveTo(2);
    d.setText("addr", sjis("千代田"));
    d.post();
    EXPECT_EQ(numbersOf(d, search.match(d.content(), QStringLiteral("千代田"))),
              (QList<qint32>{1, 2, 5}));
    EXPECT_EQ(search.lastSearched(), 5);
}

TEST(DatasetRowFilter, HidesUnflaggedRowsBesideTheMasterLinkAndFollowsAddedAndRemovedRows) {
    Dataset d = emptyRecords();
    addRecord(d, 1, "あ", "a1");
    addRecord(d, 2, "か", "k2");
    addRecord(d, 3, "あ", "a3");
    addRecord(d, 4, "あ", "a4");
    d.setRowFilter({1, 1, 0, 1});
    auto nums = [&] {
        QList<qint32> out;
        for (int r = 1; r <= d.recordCount(); ++r)
            out.append(d.viewValue(r, "num").toInt());
        return out;
    };
    EXPECT_EQ(nums(), (QList<qint32>{1, 2, 4}));
    d.setMasterFilter("cate", sjis("あ"));
    EXPECT_EQ(nums(), (QList<qint32>{1, 4}));
    d.clearMasterFilter();

    // A record appended while the filter stands is shown; one removed takes its flag.
    addRecord(d, 5, "あ", "a5");
    d.moveTo(1);
    d.deleteRecord();
    EXPECT_EQ(nums(), (QList<qint32>{2, 4, 5}));
    d.moveTo(1);
    d.insert();
    d.setInteger("num", 6);
    d.post();
    EXPECT_EQ(nums(), (QList<qint32>{6, 2, 4, 5}));

    // An edit is no reason to hide a record.
    d.moveTo(2);
    d.setText("name", "zz");
    d.post();
    EXPECT_EQ(nums(), (QList<qint32>{6, 2, 4, 5}));

    d.clearRowFilter();
    EXPECT_EQ(nums(), (QList<qint32>{6, 2, 3, 4, 5}));
    d.setRowFilter({0, 0, 0, 0, 0});
    EXPECT_TRUE(d.isEmpty());
    d.setContent(d.content());
    EXPECT_FALSE(d.rowFilterActive());
    EXPECT_EQ(d.recordCount(), 5);
}

namespace {

struct Visit {
    qint32 num;
    const char* name;
    int day; // December 2026
    const char* pcode = "";
    const char* addr = "";
    const char* honorifics = "";
};

Dataset visits(std::initializer_list<Visit> list) {
    Dataset d = emptyRecords();
    for (const Visit& v : list) {
        d.append();
        d.setInteger("num", v.num);
        d.setText("name", sjis(v.name));
        d.setText("cate", KanaRowOf(sjis(v.name)));
        d.setDateTime("sday", QDateTime(QDate(2026, 12, v.day), QTime(9, 0)));
        d.setText("pcode", v.pcode);
        d.setText("addr", sjis(v.addr));
        d.setText("honorifics", sjis(v.honorifics));
        d.post();
    }
    return d;
}

QStringList namesOf(const std::vector<Customer>& customers) {
    QStringList out;
    for (const Customer& c : customers)
        out.append(cp932::decode(c.name));
    return out;
}

} // namespace

TEST(CustomerIndex, OffersEachNameOnceNewestFirstWithItsNewestDetails) {
    Dataset d = visits({
        {1, "山田商店", 1, "100-0001", "旧住所", "御中"},
        {2, "山田工務店", 3, "200-0002", "横浜"},
        {3, "ﾔﾏﾀﾞ商店", 5, "100-0009", "新住所", "様"},
        {4, "田中", 9},
    });
    CustomerIndex index;
    const std::vector<Customer> found =
        index.lookup(d.content(), QStringLiteral("山田"), QString(), std::nullopt);
    EXPECT_EQ(namesOf(found),
              (QStringList{QStringLiteral("山田工務店"), QStringLiteral("山田商店")}));

    const std::vector<Customer> kana =
        index.lookup(d.content(), QStringLiteral("やまだ"), QString(), std::nullopt);
    ASSERT_EQ(namesOf(kana), QStringList{QStringLiteral("ﾔﾏﾀﾞ商店")});
    EXPECT_EQ(kana[0].pcode, "100-0009");
    EXPECT_EQ(kana[0].addr, sjis("新住所"));

    // Names that differ only in width are one customer, by its newest record.
    d.moveTo(3);
    d.setText("name", sjis("山田商店"));
    d.post();
    const std::vector<Customer> merged =
        index.lookup(d.content(), QStringLiteral("山田商"), QString(), std::nullopt);
    ASSERT_EQ(merged.size(), 1u);
    EXPECT_EQ(merged[0].addr, sjis("新住所"));
    EXPECT_EQ(merged[0].honorifics, sjis("様"));
}

TEST(CustomerIndex, FindsAKanjiNameByItsReadingAndNeverTheRecordBeingWritten) {
    Dataset d = visits({{1, "山田商店", 1}, {2, "鈴木", 2}, {3, "大阪−京都便", 3}});
    CustomerIndex index;
    EXPECT_TRUE(index.lookup(d.content(), QStringLiteral("やま"), QString(), std::nullopt).empty());
    index.rememberReading(QStringLiteral("山田商店"), QStringLiteral("やまだしょうてん"));
    const struct {
        const char* typed;
        const char* reading;
        QStringList found;
    } cases[] = {
        {"やま", "", {QStringLiteral("山田商店")}},     // kana typed, the reading begins so
        {"ﾔﾏﾀﾞｼ", "", {QStringLiteral("山田商店")}},    // folded as the search folds
        {"山", "やま", {QStringLiteral("山田商店")}},   // the typed kanji's own reading
        {"八間", "やま", {QStringLiteral("山田商店")}}, // another kanji of that reading
        {"すずき", "", {}},                             // no reading captured for 鈴木
        {"", "", {}},                                   // nothing typed
        {"大阪−", "", {QStringLiteral("大阪－京都便")}}, // typed as code page 932 stored it
    };
    for (const auto& c : cases)
        EXPECT_EQ(namesOf(index.lookup(d.content(), QString::fromUtf8(c.typed),
                                       QString::fromUtf8(c.reading), std::nullopt)),
                  c.found)
            << c.typed;
    // The record on the page is no earlier customer of itself.
    EXPECT_TRUE(index.lookup(d.content(), QStringLiteral("山"), QString(), 1).empty());
    Dataset alone = visits({{1, "山田商店", 1}});
    EXPECT_TRUE(index.lookup(alone.content(), QStringLiteral("山"), QString(), 1).empty());
}
