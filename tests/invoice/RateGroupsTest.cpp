// Totals per tax rate, checked on documents whose figures a person can work out by hand.
#include "invoice/RateGroups.h"

#include "platform/Cp932.h"
#include "table/TableTotals.h"

#include <gtest/gtest.h>

#include <limits>

using invoice::RateGroup;

namespace {

QByteArray sj(const char* utf8) {
    return cp932::encode(QString::fromUtf8(utf8));
}

struct Line {
    const char* item;
    const char* quantity;
    const char* price;
};

struct DocumentCase {
    const char* name;
    double recordRate;
    std::vector<Line> lines;
    std::vector<RateGroup> groups;
    qint64 total;
};

} // namespace

TEST(RateGroups, EachRateIsSummedAndTaxedOnceThenAllAreAdded) {
    const DocumentCase cases[] = {
        {"all at the record's rate",
         0.1,
         {{"工事費", "1", "6000"}, {"部材", "3", "500"}},
         {{0.1, false, 7500, 750}},
         8250},
        // Taxed line by line the 8 % lines would give 396 + 71 = 467.
        {"mixed",
         0.1,
         {{"※米", "2", "2480"}, {"※お茶", "3", "298"}, {"洗剤", "2", "398"}, {"配送料", "", "500"}},
         {{0.1, false, 1296, 129}, {0.08, true, 5854, 468}},
         7747},
        {"only marked lines", 0.1, {{"※米", "2", "2480"}}, {{0.08, true, 4960, 396}}, 5356},
        {"no lines", 0.1, {}, {{0.1, false, 0, 0}}, 0},
        {"record at the reduced rate",
         0.08,
         {{"※米", "2", "2480"}, {"洗剤", "2", "398"}},
         {{0.08, false, 5756, 460}},
         6216},
        // 3 % of 100 as a product of doubles falls a hair below 3.
        {"an uncommon rate", 0.03, {{"作業", "1", "100"}}, {{0.03, false, 100, 3}}, 103},
        // A line without an amount (a note) forms no group of its own.
        {"a note at the other rate",
         0.1,
         {{"※米", "2", "2480"}, {"以下余白", "", ""}},
         {{0.08, true, 4960, 396}},
         5356},
    };
    for (const DocumentCase& c : cases) {
        LineItemTable grid(8);
        for (size_t i = 0; i < c.lines.size(); ++i) {
            const int row = int(i) + 1;
            grid.setCell(row, ColItem, sj(c.lines[i].item));
            grid.setCell(row, ColQuantity, c.lines[i].quantity);
            grid.setCell(row, ColUnitPrice, c.lines[i].price);
        }
        SGkei(grid, c.recordRate);
        const invoice::RateTotals totals = invoice::GroupByRate(grid, c.recordRate, 0.08);
        EXPECT_EQ(totals.groups, c.groups) << c.name;
        EXPECT_EQ(totals.total, c.total) << c.name;
        const TableTotals sums = totals.sums();
        EXPECT_EQ(sums.Subtotal + sums.TaxAmount, c.total) << c.name;
    }
}

TEST(RateGroups, OnlyALeadingMarkCounts) {
    EXPECT_TRUE(invoice::IsReducedRateItem(sj("※米")));
    EXPECT_TRUE(invoice::IsReducedRateItem(sj("※")));
    EXPECT_FALSE(invoice::IsReducedRateItem(sj("米※")));
    EXPECT_FALSE(invoice::IsReducedRateItem(sj(" ※米")));
    EXPECT_FALSE(invoice::IsReducedRateItem(sj("＊米")));
    EXPECT_FALSE(invoice::IsReducedRateItem(QByteArray()));
}

TEST(RateGroups, RatesShowInPercentInTheirShortestForm) {
    const std::pair<double, const char*> cases[] = {{0.1, "10"},    {0.08, "8"}, {0.07, "7"},
                                                    {0.065, "6.5"}, {0.0, "0"},  {0.05, "5"}};
    for (auto [rate, text] : cases)
        EXPECT_EQ(invoice::RatePercentText(rate), QString::fromLatin1(text)) << rate;
}

TEST(RateGroups, TaxIsExactInHundredthsOfAPercentAndTruncatedTowardZero) {
    struct Case {
        qint64 subtotal;
        double rate;
        qint64 tax;
    };
    const Case cases[] = {
        {50, 0.06, 3},    {100, 0.03, 3},     {-50, 0.06, -3},
        {-100, 0.03, -3}, {12345, 0.08, 987}, {5854, 0.08, 468},
        {999, 0.1, 99},   {-999, 0.1, -99},   {10000, 0.0825, 825},
        {99, 0.0825, 8},  {1000, 0.065, 65},  {0, 0.1, 0},
        {1, 0.08, 0},     {-1, 0.08, 0},      {3000000000LL, 0.1, 300000000LL},
    };
    for (const Case& c : cases)
        EXPECT_EQ(invoice::TaxAtRate(c.subtotal, c.rate), c.tax) << c.subtotal << " at " << c.rate;
    // The product is formed beyond 64 bits, so the largest subtotal is taxed, not wrapped.
    const qint64 most = std::numeric_limits<qint64>::max();
    EXPECT_EQ(invoice::TaxAtRate(most, 0.1), most / 10);
}

TEST(RateGroups, PageGroupsOnlyInQualifiedModeWithARecordRate) {
    LineItemTable grid(4);
    grid.setCell(1, ColItem, sj("※米"));
    grid.setCell(1, ColAmount, "1000");
    grid.setCell(2, ColItem, sj("洗剤"));
    grid.setCell(2, ColAmount, "500");
    const invoice::InvoiceSettings on{true, QString(), 0.08};
    const invoice::InvoiceSettings off{false, QString(), 0.08};

    const std::optional<invoice::RateTotals> grouped = invoice::PageRateTotals(grid, 0.1, on);
    ASSERT_TRUE(grouped);
    EXPECT_EQ(grouped->groups.size(), 2u);
    EXPECT_EQ(grouped->total, 500 + 50 + 1000 + 80);
    // A record at 0 % or without a rate (NaN stands for a value read from nowhere) has no
    // rate to state: none, so the page draws its plain totals.
    for (double rate : {0.1, 0.0, -0.05, std::numeric_limits<double>::quiet_NaN()})
        EXPECT_FALSE(invoice::PageRateTotals(grid, rate, off)) << rate;
    for (double rate : {0.0, -0.05, std::numeric_limits<double>::quiet_NaN()})
        EXPECT_FALSE(invoice::PageRateTotals(grid, rate, on)) << rate;
}
