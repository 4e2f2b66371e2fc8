// Totals per tax rate, checked on documents whose figures a person can work out by hand.
#include "invoice/RateGroups.h"

#include "platform/Cp932.h"
#include "table/TableTotals.h"

#include <gtest/gtest.h>

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
