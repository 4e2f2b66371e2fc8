// Finding records with the search box above the record list, and a returning customer's
// details offered while the name is typed on the page.
#include "MainWindowFixture.h"
#include "RecordTestFile.h"
#include "platform/Cp932.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>
#include <QTest>

#include <vector>

using namespace recordtest;

namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

// Sets the fields named in `fields` ("pcode=100;addr=東京") and the creation day.
std::function<void(Dataset&)> with(const char* fields, int day = 1) {
    const QString text = u8(fields);
    return [text, day](Dataset& d) {
        for (const QString& pair : text.split(u';', Qt::SkipEmptyParts)) {
            const qsizetype eq = pair.indexOf(u'=');
            d.setText(pair.left(eq).toLatin1(), cp932::encode(pair.mid(eq + 1)));
        }
        d.setDateTime("sday", QDateTime(QDate(2026, 12, day), QTime(9, 0)));
    };
}

class RecordSearchWindowTest : public MainWindowFixture {
protected:
    static QStringList gridNumbers(const TForm1& form) {
        QStringList out;
        const QAbstractItemModel* model = form.ui.DBGrid1->model();
        for (int row = 0; row < model->rowCount(); ++row)
            out << model->index(row, 0).data().toString();
        return out;
    }

    static void search(TForm1& form, const char* text) {
        form.ui.SearchBox->setFocus();
        form.ui.SearchBox->setText(u8(text));
    }

    static QString count(const TForm1& form) { return form.ui.statusPanels[4]->text(); }

    static void type(QWidget* widget, const QString& text) {
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(widget, &press);
        }
    }

    static void clickTitle(TForm1& form, int column) {
        QHeaderView* header = form.ui.DBGrid1->horizontalHeader();
        const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    }

    std::vector<Rec> shop() {
        return {
            {1, "や", "山田商店", true, with("addr=東京都千代田区")},
            {2, "か", "カタカナ工業", true, with("addr=大阪府")},
            {3, "か", "かたかな書房", true, with("addr=千代田区神田")},
            {4, "た", "田中", true,
             with("Sum=品名・規格,数量\r\n\"ボルト M8, 特注\",10\r\n;other=千代田区へ納品")},
            {5, "あ", "ABC Trading", true, with("tel=045-111")},
        };
    }
};

TEST_F(RecordSearchWindowTest, TheGridShowsTheRecordsHoldingEveryWordAndTheStatusBarCountsThem) {
    auto form = openList(shop());
    EXPECT_EQ(form->ui.SearchBox->placeholderText(), u8("検索"));
    EXPECT_TRUE(form->ui.SearchBox->isClearButtonEnabled());
    EXPECT_EQ(count(*form), QString());
    const struct {
        const char* text;
        QStringList numbers; // in row order: あ か た や
    } cases[] = {
        {"山田", {"0001"}},         // part of a kanji name
        {"ｶﾀｶﾅ", {"0002", "0003"}}, // half-width: カタカナ and かたかな
        {"千代田　神田", {"0003"}}, // two words, both needed
        {"ボルト", {"0004"}},       // only in a line item
        {"m8 ﾎﾞﾙﾄ", {"0004"}},      // words in any order and case
        {"045", {"0005"}},          // the telephone
        {"存在しない", {}},         // no match
    };
    for (const auto& c : cases) {
        search(*form, c.text);
        EXPECT_EQ(gridNumbers(*form), c.numbers) << c.text;
        EXPECT_EQ(count(*form), QStringLiteral("%1件").arg(c.numbers.size())) << c.text;
    }
    // Nothing found: the editors under the grid are empty.
    EXPECT_EQ(form->ui.Edit9->text(), QString());
    search(*form, "");
    EXPECT_EQ(gridNumbers(*form).size(), 5);
    EXPECT_EQ(count(*form), QString());
}

TEST_F(RecordSearchWindowTest, TheFilterStaysAcrossTabsAndSortsAndEscShowsAllAgain) {
    auto form = openList(shop());
    search(*form, "千代田");
    EXPECT_EQ(gridNumbers(*form), (QStringList{"0003", "0004", "0001"}));
    form->ui.TabControl1->setCurrentIndex(2); // か
    EXPECT_EQ(gridNumbers(*form), QStringList{"0003"});
    EXPECT_EQ(count(*form), u8("1件"));
    form->ui.TabControl1->setCurrentIndex(0);
    clickTitle(*form, 0); // No, ascending
    EXPECT_EQ(gridNumbers(*form), (QStringList{"0001", "0003", "0004"}));
    clickTitle(*form, 0);
    EXPECT_EQ(gridNumbers(*form), (QStringList{"0004", "0003", "0001"}));
    // The list's own commands work on the rows shown: a double click opens that record.
    form->ui.DBGrid1->setCurrentIndex(form->ui.DBGrid1->model()->index(1, 0));
    EXPECT_EQ(form->ui.Edit9->text(), u8("かたかな書房"));

    form->ui.SearchBox->setFocus();
    QTest::keyClick(form->ui.SearchBox, Qt::Key_Escape);
    EXPECT_EQ(form->ui.SearchBox->text(), QString());
    EXPECT_EQ(gridNumbers(*form).size(), 5);
    EXPECT_EQ(count(*form), QString());
    EXPECT_EQ(form->ui.Edit9->text(), u8("かたかな書房")); // still the current record
}

TEST_F(RecordSearchWindowTest, AnEditedRecordStaysShownUntilTheTextChangesAndANewOneIsShown) {
    auto form = openList(shop());
    search(*form, "千代田");
    form->ui.DBGrid1->setCurrentIndex(form->ui.DBGrid1->model()->index(0, 0)); // 0003
    form->ui.Edit4->setFocus();
    form->ui.Edit4->setText(u8("名古屋市"));
    form->ui.DBGrid1->setFocus();
    QTest::keyClick(form->ui.DBGrid1, Qt::Key_Down); // the edit is posted
    EXPECT_EQ(gridNumbers(*form), (QStringList{"0003", "0004", "0001"}));
    EXPECT_EQ(form->CDS2.content().rows.size(), 5u);

    // A new record, made while the search stands, is shown: the user is about to write it.
    form->findChild<QPushButton*>(QStringLiteral("Button4"))->click();
    EXPECT_EQ(gridNumbers(*form).size(), 4);
    EXPECT_EQ(count(*form), u8("4件"));

    search(*form, "千代田区");
    EXPECT_EQ(gridNumbers(*form), (QStringList{"0004", "0001"}));

    // Another file starts unfiltered.
    const QString other = path(QStringLiteral("other.dat"));
    ASSERT_TRUE(writeRecords(other, {{1, "あ", "青木"}, {2, "い", "井上"}}).isEmpty());
    dialogs.openAnswers.push_back(other);
    form->afopen();
    form->findChild<QPushButton*>(QStringLiteral("Button6"))->click();
    form->findChild<QPushButton*>(QStringLiteral("Button6"))->click();
    EXPECT_TRUE(form->isRecordListShown());
    EXPECT_EQ(form->ui.SearchBox->text(), QString());
    EXPECT_EQ(gridNumbers(*form).size(), 2);
}

// ---- a returning customer on the page ----------------------------------------------------------

class CustomerCompletionTest : public RecordSearchWindowTest {
protected:
    static void toPage(TForm1& form) {
        if (form.isRecordListShown())
            form.findChild<QPushButton*>(QStringLiteral("Button6"))->click();
        EXPECT_TRUE(form.isPageViewShown());
    }
    // A new record on the page, its name editor open and empty.
    QLineEdit* newRecordNameEditor(TForm1& form) {
        toPage(form);
        form.AAppendExecute();
        return nameEditor(form);
    }
    // The name editor of the record on the page, open and empty.
    static QLineEdit* nameEditor(TForm1& form) {
        toPage(form);
        QLineEdit* edit = form.ui.Edit2;
        edit->clear();
        edit->show();
        edit->setFocus();
        EXPECT_TRUE(QTest::qWaitFor([edit] { return edit->hasFocus(); }, 2000));
        return edit;
    }
    static QAbstractItemView* list(const TForm1& form) { return form.nameCompleter()->popup(); }
    static QStringList offered(const TForm1& form) {
        QStringList out;
        const QAbstractItemModel* model = list(form)->model();
        for (int row = 0; list(form)->isVisible() && row < model->rowCount(); ++row)
            out << model->index(row, 0).data().toString();
        return out;
    }

    std::vector<Rec> customers() {
        return {
            {1, "や", "山田商店", true, with("pcode=100-0001;addr=旧住所;tel=03-1111", 1)},
            {2, "や", "山田工務店", true, with("pcode=200-0002;addr=横浜;tel=045-2222", 3)},
            {3, "や", "山田商店", true,
             with("pcode=100-0009;addr=新住所;tel=03-9999;honorifics=御中", 5)},
            {4, "た", "田中", true, with("", 9)},
        };
    }
};

TEST_F(CustomerCompletionTest,
       APrefixOffersEachNameOnceNewestFirstAndChoosingFillsOnlyEmptyFields) {
    auto form = openList(customers());
    QLineEdit* edit = newRecordNameEditor(*form);
    form->CDS2.setText("tel", "06-5555"); // typed already: stays
    type(edit, u8("やまだ"));
    EXPECT_EQ(offered(*form), QStringList()); // no reading of these kanji names is known
    edit->clear();
    type(edit, u8("山田"));
    ASSERT_EQ(offered(*form), (QStringList{u8("山田商店"), u8("山田工務店")}));
    // Up and Down are the list's, not the line commands'.
    EXPECT_TRUE(form->ActionList1->isSuspended());

    // As an input method passes them on: to the name editor, which hands them to the list.
    QTest::keyClick(edit, Qt::Key_Down);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_FALSE(list(*form)->isVisible());
    EXPECT_FALSE(form->ActionList1->isSuspended());
    EXPECT_EQ(edit->text(), u8("山田商店"));
    EXPECT_TRUE(edit->isVisible());
    EXPECT_EQ(form->CDS2.asText("pcode"), "100-0009");
    EXPECT_EQ(form->CDS2.asText("addr"), sj("新住所"));
    EXPECT_EQ(form->CDS2.asText("tel"), "06-5555");
    // The honorific the new record started with was not typed; the customer's replaces it.
    EXPECT_EQ(form->CDS2.asText("honorifics"), sj("御中"));
    EXPECT_EQ(form->ui.Edit6->text(), u8("御中"));

    QTest::keyClick(edit, Qt::Key_Return); // ends the edit: filed as the customer
    EXPECT_EQ(form->CDS2.asText("name"), sj("山田商店"));
    EXPECT_EQ(form->CDS2.asText("cate"), sj("や"));
}

TEST_F(CustomerCompletionTest, TheCustomersHonorificReplacesOnlyTheUntouchedOneOfANewRecord) {
    auto form = openList({{1, "あ", "青木", true, with("honorifics=様", 1)},
                          {2, "や", "山田商店", true, with("honorifics=御中", 2)},
                          {3, "か", "川口工業", true, with("honorifics=御中", 3)},
                          {4, "さ", "佐藤商会", true, with("honorifics=御中", 4)}});
    const auto choose = [](QLineEdit* edit, const char* name) {
        type(edit, u8(name));
        QTest::keyClick(edit, Qt::Key_Down);
        QTest::keyClick(edit, Qt::Key_Return);
        EXPECT_EQ(edit->text(), u8(name));
    };
    // A record of the file: its 様 was chosen.
    ASSERT_EQ(form->CDS2.asText("name"), sj("青木"));
    choose(nameEditor(*form), "山田商店");
    EXPECT_EQ(form->CDS2.asText("honorifics"), sj("様"));
    EXPECT_EQ(form->ui.Edit6->text(), u8("様"));

    // A new record whose 様 the user typed again.
    toPage(*form);
    form->AAppendExecute();
    QLineEdit* honorific = form->ui.Edit6;
    honorific->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([honorific] { return honorific->hasFocus(); }, 2000));
    honorific->selectAll();
    type(honorific, u8("様"));
    choose(nameEditor(*form), "川口工業");
    EXPECT_EQ(form->CDS2.asText("honorifics"), sj("様"));
    EXPECT_EQ(honorific->text(), u8("様"));

    // A new record as made.
    choose(newRecordNameEditor(*form), "佐藤商会");
    EXPECT_EQ(form->CDS2.asText("honorifics"), sj("御中"));
    EXPECT_EQ(honorific->text(), u8("御中"));

    // A copy is no new record: it keeps the 様 it was given.
    form->ADuplicateExecute();
    ASSERT_EQ(form->CDS2.asText("honorifics"), sj("様"));
    choose(nameEditor(*form), "佐藤商会");
    EXPECT_EQ(form->CDS2.asText("honorifics"), sj("様"));
}

TEST_F(CustomerCompletionTest, EscOrTypingOnIgnoresTheListAndAFirstCustomerIsOfferedNothing) {
    auto form = openList(customers());
    QLineEdit* edit = newRecordNameEditor(*form);
    type(edit, u8("山"));
    EXPECT_EQ(offered(*form).size(), 2);
    QTest::keyClick(list(*form), Qt::Key_Escape);
    EXPECT_FALSE(list(*form)->isVisible());
    type(edit, u8("田"));
    EXPECT_EQ(offered(*form).size(), 2);
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_FALSE(list(*form)->isVisible());
    EXPECT_TRUE(edit->isVisible());
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), u8("山"));
    type(edit, u8("田太郎"));
    EXPECT_EQ(offered(*form), QStringList());
    EXPECT_EQ(edit->text(), u8("山田太郎"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(form->CDS2.asText("name"), sj("山田太郎"));
    EXPECT_EQ(form->CDS2.asText("addr"), QByteArray());
    EXPECT_EQ(form->CDS2.asText("pcode"), QByteArray());

    // The only record of a file has no earlier customer, not even itself.
    auto alone = openList({{1, "や", "山田商店", true, with("addr=東京")}});
    alone->findChild<QPushButton*>(QStringLiteral("Button6"))->click();
    QLineEdit* own = alone->ui.Edit2;
    own->clear();
    own->show();
    own->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([own] { return own->hasFocus(); }, 2000));
    type(own, u8("山"));
    EXPECT_EQ(offered(*alone), QStringList());
}

TEST_F(CustomerCompletionTest, AKanjiNameTypedThroughTheInputMethodIsOfferedByItsReading) {
    auto form = openList({{1, "他", "青木"}});
    QLineEdit* edit = newRecordNameEditor(*form);
    auto compose = [edit](const QString& reading, const QString& commit) {
        QInputMethodEvent preedit(reading, {});
        QApplication::sendEvent(edit, &preedit);
        QInputMethodEvent done;
        done.setCommitString(commit);
        QApplication::sendEvent(edit, &done);
    };
    compose(u8("やまだ"), u8("山田"));
    compose(u8("しょうてん"), u8("商店"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(form->CDS2.asText("cate"), sj("や"));

    edit = newRecordNameEditor(*form);
    type(edit, u8("ヤマダｼ")); // kana typed: the reading of 山田商店 begins so
    EXPECT_EQ(offered(*form), QStringList{u8("山田商店")});
}

} // namespace
