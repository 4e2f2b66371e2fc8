#include "table/TableTotals.h"

#include "TableTestText.h"

#include <gtest/gtest.h>

namespace {

LineItemTable lineTable(const QByteArray& quantity, const QByteArray& price,
                        const QByteArray& amount) {
    LineItemTable grid(3);
    grid.setCell(1, ColQuantity, quantity);
    grid.setCell(1, ColUnitPrice, price);
    grid.setCell(1, ColAmount, amount);
    return grid;
}

struct AmountCase {
    QByteArray quantity;
    QByteArray price;
    QByteArray amountBefore;
    QByteArray amountAfter;
};

TEST(SGkei, ComputesQualifyingAmountsRoundingHalfToEven) {
    const AmountCase cases[] = {
        {"", "1200", "", "1200"},         // empty quantity counts 1
        {"0.5", "5", "", "2"},            // 2.5 to even
        {"1.5", "3", "", "4"},            // 4.5 to even
        {"3.5", "1", "", "4"},            // 3.5 to even
        {"2", "1500", "9", "3000"},       // replaces what was typed
        {"abc", "7", "", "7"},            // unreadable quantity counts 1
        {"-1.5", "2", "", "-3"},          // not an integer, so it qualifies
        {"0.1", "3", "", "0"},            // no "-0" or fractions
        {"$10", "3", "", "3"},            // an integer, but no decimal: counts 1
        {"3", "1,000", "keep", "3000"},   // prices are written grouped
        {"1,500", "2", "", "3000"},       // and quantities too
        {"1,000.5", "2", "", "2001"},     // not an integer, read as a decimal
        {"3", "1,00", "keep", "keep"},    // a malformed grouping does not read
        {"1,0", "10", "", "10"},          // nor in the quantity: it counts 1
        {"-1,000", "10", "keep", "keep"}, // a negative grouped quantity
        {"0", "100", "keep", "keep"},     // zero quantity
        {"-2", "100", "keep", "keep"},    // negative integer quantity
        {"1", "0", "keep", "keep"},       // zero price
        {"1", "-5", "keep", "keep"},      // negative price
        {"1", "12.5", "keep", "keep"},    // fractional price
        {"1e4932", "10", "keep", "keep"}, // product beyond extended precision
        {"2", "2000000000", "", "4000000000"},
    };
    for (const auto& c : cases) {
        LineItemTable grid = lineTable(c.quantity, c.price, c.amountBefore);
        SGkei(grid, 0.0);
        EXPECT_EQ(grid.cell(1, ColAmount), c.amountAfter)
            << c.quantity.toStdString() << " x " << c.price.toStdString();
    }
}

TEST(SGkei, TruncatesTaxFromTheExtendedProduct) {
    const struct {
        QByteArray amount;
        double rate;
        TableTotals expected;
    } cases[] = {
        {"12345", 0.08, {12345, 987, 13332}}, {"0", 0.08, {0, 0, 0}},
        {"100", 0.03, {100, 2, 102}}, // 100 x 0.03 falls a hair below 3
        {"-100", 0.08, {-100, -8, -108}},     {"1000", 0.1, {1000, 100, 1100}},
    };
    for (const auto& c : cases) {
        LineItemTable grid = lineTable("", "", c.amount);
        const TableTotals totals = SGkei(grid, c.rate);
        EXPECT_EQ(totals.Subtotal, c.expected.Subtotal) << c.amount.toStdString();
        EXPECT_EQ(totals.TaxAmount, c.expected.TaxAmount) << c.amount.toStdString();
        EXPECT_EQ(totals.GrandTotal, c.expected.GrandTotal) << c.amount.toStdString();
    }
}

TEST(SGkei, SubtotalReadsAmountCellsAsIntegers) {
    LineItemTable grid(8);
    grid.setCell(1, ColAmount, " 500");       // leading space counts
    grid.setCell(2, ColAmount, "500 ");       // trailing space does not
    grid.setCell(3, ColAmount, sj("５００")); // full-width digits do not
    grid.setCell(4, ColAmount, "1,00");       // not grouped by threes
    grid.setCell(5, ColAmount, "70");         // typed amount of a non-qualifying row
    grid.setCell(5, ColQuantity, "0");
    grid.setCell(5, ColUnitPrice, "3");
    grid.setCell(6, ColAmount, "4000000000"); // beyond 32 bits reads 0
    grid.setCell(7, ColAmount, "2,000");      // grouped, as the page shows it
    grid.setCell(0, ColAmount, "999");        // the title row is not a line
    EXPECT_EQ(SGkei(grid, 0.0).Subtotal, 2570);
}

TEST(SGkei, TotalsBeyond32BitsDoNotWrap) {
    LineItemTable grid(4);
    for (int r = 1; r <= 3; ++r) {
        grid.setCell(r, ColQuantity, "1");
        grid.setCell(r, ColUnitPrice, "2000000000");
    }
    const TableTotals totals = SGkei(grid, 0.1);
    EXPECT_EQ(totals.Subtotal, 6000000000LL);
    EXPECT_EQ(totals.TaxAmount, 600000000LL);
    EXPECT_EQ(totals.GrandTotal, 6600000000LL);
}

TEST(SGkei, HiddenRowsAreNeitherComputedNorSummed) {
    LineItemTable grid(6);
    grid.setCell(5, ColUnitPrice, "10");
    grid.setCell(5, ColAmount, "1");
    grid.setRowCount(4);
    EXPECT_EQ(SGkei(grid, 0.0).Subtotal, 0);
    grid.setRowCount(6);
    EXPECT_EQ(grid.cell(5, ColAmount), "1");
}

// One cell of line 1 goes from `before` to `after`, the amount cell holding `amount`.
TEST(DropStaleAmount, AComputedAmountGoesWithTheQuantityOrPriceThatMadeIt) {
    const struct {
        QByteArray quantityBefore, priceBefore, quantityAfter, priceAfter;
        QByteArray amount, amountAfter;
    } cases[] = {
        {"2", "1", "2", "1,", "2", ""},             // a grouped price halfway typed
        {"2", "500", "2", "", "1000", ""},          // price erased
        {"2", "500", "2", "500x", "1000", ""},      // price no longer an integer
        {"2", "500", "0", "500", "1000", ""},       // quantity 0
        {"2", "500", "-1", "500", "1000", ""},      // negative quantity
        {"2", "1,000", "2", "1,00", "2000", ""},    // a grouped price spoilt
        {"2", "500", "3", "500", "1000", "1000"},   // still qualifies: SGkei recomputes
        {"2", "500", "2", "1,000", "1000", "1000"}, // from plain to grouped
        {"", "500", "abc", "500", "500", "500"},    // a non-integer quantity counts 1
        {"0", "500", "0", "50", "5000", "5000"},    // typed into a line that never qualified
        {"1", "", "1", "abc", "5000", "5000"},      // nor this one
        {"2", "1,00", "2", "1,0", "5000", "5000"},  // nor this one
        {"0", "500", "1", "500", "5000", "5000"},   // qualifies now: SGkei takes over
        {"1e4932", "10", "1e4932", "1", "7", "7"},  // computed nothing: kept what it had
    };
    for (const auto& c : cases) {
        LineItemTable grid = lineTable(c.quantityBefore, c.priceBefore, c.amount);
        const TableRow before = grid.row(1);
        grid.setCell(1, ColQuantity, c.quantityAfter);
        grid.setCell(1, ColUnitPrice, c.priceAfter);
        DropStaleAmount(grid, 1, before);
        EXPECT_EQ(grid.cell(1, ColAmount), c.amountAfter)
            << c.quantityBefore.toStdString() << " x " << c.priceBefore.toStdString() << " -> "
            << c.quantityAfter.toStdString() << " x " << c.priceAfter.toStdString();
    }
}

TEST(DropStaleAmount, LeavesTheTitleRowAndRowsOutsideTheTableAlone) {
    LineItemTable grid(3);
    const TableRow qualified = {"", "2", "", "500", "1000", ""};
    grid.setRow(0, {"", "0", "", "500", "1000", ""});
    DropStaleAmount(grid, 0, qualified);
    EXPECT_EQ(grid.cell(0, ColAmount), "1000");
    DropStaleAmount(grid, 3, qualified); // beyond LineCount: nothing to touch, no crash
    DropStaleAmount(grid, -1, qualified);
}

TEST(FormatPlainAmount, WritesDigitsWithoutSeparators) {
    EXPECT_EQ(FormatPlainAmount(-0.0L), "0");
    EXPECT_EQ(FormatPlainAmount(-1234567.0L), "-1234567");
    EXPECT_EQ(FormatPlainAmount(1e20L), "100000000000000000000");
}

} // namespace
