#include "records/FileState.h"
#include "RecordsTestSupport.h"
#include "records/CategoryRows.h"

#include <gtest/gtest.h>

TEST(FileState, LastRecordNumberIsTheLargestInTheFileWhateverTheView) {
    Dataset d = emptyRecords();
    EXPECT_EQ(LastRecordNumber(d), 0);
    addRecord(d, -4, "他");
    addRecord(d, 0, "他");
    EXPECT_EQ(LastRecordNumber(d), 0);
    addRecord(d, 1, "あ");
    addRecord(d, 5, "か");
    addRecord(d, 3, "あ");
    EXPECT_EQ(LastRecordNumber(d), 5);
    EXPECT_EQ(d.recNo(), 1);
    // A tab hides か's 5; handing out 4 and then 5 again would repeat a number.
    d.setMasterFilter("cate", sjis("あ"));
    EXPECT_EQ(LastRecordNumber(d), 5);
}

TEST(FileState, AddToHistoryMovesOrInsertsAtTheFront) {
    const HistoryList five{"A", "B", "C", "D", "E"};
    const HistoryList withF = AddToHistory(five, "F");
    EXPECT_EQ(withF, (HistoryList{"F", "A", "B", "C", "D"}));
    EXPECT_EQ(AddToHistory(withF, "C"), (HistoryList{"C", "F", "A", "B", "D"}));
    // Gaps close up; an empty name only packs; case counts.
    EXPECT_EQ(AddToHistory({"", "A", "", "B", ""}, ""), (HistoryList{"A", "B", "", "", ""}));
    EXPECT_EQ(AddToHistory({}, "A"), (HistoryList{"A", "", "", "", ""}));
    EXPECT_EQ(AddToHistory({"a", "B"}, "A"), (HistoryList{"A", "a", "B", "", ""}));
    // Of two equal entries the last one moves.
    EXPECT_EQ(AddToHistory({"A", "X", "A", "B"}, "A"), (HistoryList{"A", "A", "X", "B", ""}));
}

TEST(FileState, HistoryMenuShowsFilledEntriesAndEnablesN8) {
    const HistoryMenuState none = RefreshHistoryMenu({});
    EXPECT_FALSE(none.n8Enabled);
    EXPECT_EQ(none.visible, (std::array<bool, 5>{}));
    const HistoryMenuState some = RefreshHistoryMenu({"/d/a&b.dat", "", "/d/c.dat"});
    EXPECT_TRUE(some.n8Enabled);
    EXPECT_EQ(some.captions[0], "/d/a&b.dat");
    EXPECT_EQ(some.visible, (std::array<bool, 5>{true, false, true, false, false}));
}

TEST(FileState, WindowTitleShowsTheFileNameOnly) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "Ledora"},
        {"C:\\data\\jan.dat", "Ledora - jan.dat"},
        {"C:jan.dat", "Ledora - jan.dat"},
        {"/home/u/data/jan.dat", "Ledora - jan.dat"},
        {"jan.dat", "Ledora - jan.dat"}};
    for (const auto& [path, title] : cases)
        EXPECT_EQ(WindowTitle(QString::fromUtf8(path)), QString::fromUtf8(title)) << path;
}

TEST(FileState, CategoryRowsHoldTheElevenHeadsInTabOrder) {
    Dataset cds1;
    FillCategoryRows(cds1);
    ASSERT_EQ(cds1.recordCount(), 11);
    cds1.moveTo(2);
    EXPECT_EQ(cds1.asText("CATEGORY"), sjis("か"));
    cds1.last();
    EXPECT_EQ(cds1.asText("category"), sjis("他"));
}
