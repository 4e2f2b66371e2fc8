// New-record defaults, clearing, numbering, tab heads and the record grid's rows, on a
// dataset built from the new-file template.
#include "records/RecordDefaults.h"
#include "platform/Cp932.h"
#include "records/Datapacket.h"
#include "records/Dataset.h"
#include "records/NewFileTemplate.h"
#include "records/RecordListModel.h"
#include "records/RecordNumbering.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

QByteArray sj(const char* utf8) {
    return cp932::encode(QString::fromUtf8(utf8));
}

Dataset emptyRecords() {
    Dataset records;
    records.setContent(datapacket::readXml(NewFileTemplate()).table);
    records.deleteRecord();
    return records;
}

void addRecord(Dataset& records, int num, const char* cate, const char* name) {
    records.append();
    records.setInteger("num", num);
    records.setText("cate", sj(cate));
    records.setText("name", sj(name));
    records.post();
}

TEST(RecordNumbering, AscendsFromTheLastNumberAndNeverRepeatsOrWraps) {
    qint32 last = 41;
    EXPECT_EQ(NextRecordNumber(last), 42);
    EXPECT_EQ(NextRecordNumber(last), 43);
    EXPECT_EQ(last, 43);

    // No number is handed out twice: at the top there is none left.
    last = std::numeric_limits<qint32>::max() - 1;
    EXPECT_EQ(NextRecordNumber(last), std::numeric_limits<qint32>::max());
    EXPECT_EQ(NextRecordNumber(last), std::nullopt);
    EXPECT_EQ(last, std::numeric_limits<qint32>::max());
}

TEST(RecordTabs, NewRecordRowAndStatusHeadByTab) {
    struct Case {
        int tab;
        const char* category;
        const char* head;
    };
    const Case cases[] = {
        {0, "他", "全"},  {1, "あ", "あ"}, {2, "か", "か"}, {10, "わ", "わ"},
        {11, "他", "他"}, {12, "他", ""},  {-1, "他", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tab);
        EXPECT_EQ(CategoryForTab(c.tab), sj(c.category));
        EXPECT_EQ(TabHead(c.tab), QString::fromUtf8(c.head));
    }
}

TEST(RecordTabs, TaxPercentIsTheShortTextOfTheRate) {
    EXPECT_EQ(TaxPercentText(0.08), QStringLiteral("8"));
    EXPECT_EQ(TaxPercentText(0.1), QStringLiteral("10"));
    EXPECT_EQ(TaxPercentText(0.07), QStringLiteral("7")); // not 7.000000000000001
    EXPECT_EQ(TaxPercentText(0.055), QStringLiteral("5.5"));
}

TEST(RecordDefaults, NewRecordGetsEveryDefault) {
    Dataset records = emptyRecords();
    records.append();
    const QDateTime now(QDate(2026, 12, 10), QTime(9, 30));
    ApplyNewRecordDefaults(records, {now, DefaultColumnWidths(10), 0.1});
    records.post();

    EXPECT_EQ(records.asDateTime("sday"), now);
    EXPECT_EQ(records.asDateTime("day"), now);
    EXPECT_EQ(records.asText("honorifics"), sj("様"));
    EXPECT_EQ(records.asInteger("lineheight"), 22);
    EXPECT_EQ(records.asInteger("linecount"), 20);
    EXPECT_EQ(records.asInteger("line1"), 230);
    EXPECT_EQ(records.asInteger("line2"), 40);
    EXPECT_EQ(records.asInteger("line5"), 90);
    EXPECT_DOUBLE_EQ(records.asFloat("SalesTax"), 0.1);
    EXPECT_TRUE(records.asText("Sum").isEmpty());
}

TEST(RecordDefaults, ClearKeepsNumberHonorificLayoutAndTax) {
    Dataset records = emptyRecords();
    addRecord(records, 7, "か", "加藤");
    records.edit();
    records.setText("honorifics", sj("御中"));
    records.setText("Sum", "a,b\r\n");
    records.setText("memo", "m");
    records.setInteger("lineheight", 30);
    records.setInteger("line3", 55);
    records.setFloat("SalesTax", 0.1);
    records.post();

    const QDateTime now(QDate(2026, 12, 10), QTime(10, 0));
    ClearRecordContents(records, now);
    records.post();

    EXPECT_EQ(records.asInteger("num"), 7);
    EXPECT_EQ(records.asText("honorifics"), sj("御中"));
    EXPECT_EQ(records.asInteger("lineheight"), 30);
    EXPECT_EQ(records.asInteger("line3"), 55);
    EXPECT_DOUBLE_EQ(records.asFloat("SalesTax"), 0.1);
    EXPECT_EQ(records.asText("cate"), sj("他"));
    EXPECT_TRUE(records.asText("name").isEmpty());
    EXPECT_TRUE(records.asText("Sum").isEmpty());
    EXPECT_TRUE(records.asText("memo").isEmpty());
    EXPECT_EQ(records.asDateTime("sday"), now);
    EXPECT_EQ(records.asDateTime("day"), now);
}

TEST(RecordDefaults, LayoutValuesPresentWhenAnyOfTheSevenFieldsHoldsOne) {
    Dataset records = emptyRecords();
    EXPECT_FALSE(HasLayoutValues(records)); // empty view
    addRecord(records, 1, "あ", "");
    EXPECT_FALSE(HasLayoutValues(records));
    records.setInteger("linecount", 20);
    EXPECT_TRUE(HasLayoutValues(records));
}

TEST(RecordListModel, ShowsTheViewInOrderAndLeavesTheCursor) {
    Dataset records = emptyRecords();
    addRecord(records, 3, "他", "Zeta");
    addRecord(records, 42, "か", "加藤");
    addRecord(records, 1, "あ", "安藤");
    records.setIndexFieldNames("cate");
    records.moveTo(2);

    RecordListModel model;
    model.reload(records);
    ASSERT_EQ(model.rowCount(), 3);
    EXPECT_EQ(records.recNo(), 2);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("No"));
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), QStringLiteral("0001"));
    EXPECT_EQ(model.data(model.index(1, 0)).toString(), QStringLiteral("0042"));
    EXPECT_EQ(model.data(model.index(1, 1)).toString(), QString::fromUtf8("加藤"));
    EXPECT_EQ(model.data(model.index(2, 1)).toString(), QStringLiteral("Zeta"));

    // A pending edit is shown without being posted.
    records.setText("name", sj("河合"));
    model.reload(records);
    EXPECT_EQ(records.state(), Dataset::State::Edit);
    EXPECT_EQ(model.data(model.index(1, 1)).toString(), QString::fromUtf8("河合"));
}

// Cells are read from the view when asked: a record deleted since the last reload shows
// nothing rather than another record's or freed values.
TEST(RecordListModel, ARecordTheViewLostShowsNothingUntilTheNextReload) {
    Dataset records = emptyRecords();
    addRecord(records, 1, "あ", "安藤");
    addRecord(records, 2, "か", "加藤");
    RecordListModel model;
    model.reload(records);
    records.last();
    records.deleteRecord();
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), QString::fromUtf8("安藤"));
    EXPECT_FALSE(model.data(model.index(1, 1)).isValid());
    model.reload(records);
    EXPECT_EQ(model.rowCount(), 1);
}

// A click lands on the grid as it was drawn before the edited record was posted: every
// other row clicked is found again where the post put it.
TEST(RecordListModel, ARowClickedBeforeAPostIsFoundWhereThePostPutIt) {
    struct Case {
        const char* how;
        int edited;       // row of the record edited, in name order under あ
        const char* name; // its new name
        const char* cate; // its new row
    };
    const Case cases[] = {
        {"to the end", 0, "Z", "あ"},       {"to the start", 4, "0", "あ"},
        {"into the middle", 1, "Dx", "あ"}, {"in place", 2, "Cx", "あ"},
        {"out of the view", 1, "B", "か"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        Dataset records = emptyRecords();
        const char* names[] = {"A", "B", "C", "D", "E"};
        for (int i = 0; i < 5; ++i)
            addRecord(records, i + 1, "あ", names[i]);
        records.setIndexFieldNames("cate;name");
        records.setMasterFilter("cate", sj("あ"));
        records.moveTo(c.edited + 1);
        records.setText("name", c.name);
        records.setText("cate", sj(c.cate));
        std::vector<qint32> shown; // the numbers on the grid before the post
        for (int row = 0; row < records.recordCount(); ++row)
            shown.push_back(Dataset::integerOf(records.viewValue(row + 1, "num")));
        const int count = records.recordCount();
        records.post();
        const std::optional<int> to =
            records.recordCount() < count ? std::nullopt : std::optional<int>(records.recNo() - 1);
        for (int row = 0; row < count; ++row) {
            if (row == c.edited)
                continue;
            const int after = RecordListModel::rowAfterPost(row, c.edited, to);
            EXPECT_EQ(Dataset::integerOf(records.viewValue(after + 1, "num")), shown[size_t(row)])
                << row;
        }
    }
}

TEST(RecordListModel, CellTexts) {
    EXPECT_EQ(RecordListModel::numberText(QVariant()), QString());
    EXPECT_EQ(RecordListModel::numberText(0), QStringLiteral("0000"));
    EXPECT_EQ(RecordListModel::numberText(12345), QStringLiteral("12345"));
    EXPECT_EQ(RecordListModel::dateTimeText(QDateTime(QDate(2026, 1, 5), QTime(0, 0))),
              QString::fromUtf8("2026年1月5日"));
    EXPECT_EQ(RecordListModel::dateTimeText(QDateTime(QDate(2026, 1, 5), QTime(9, 3, 7))),
              QString::fromUtf8("2026年1月5日 9:03:07"));
}

} // namespace
