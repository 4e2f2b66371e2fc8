// What is typed into an open editor on the page belongs to the document: every command
// that saves, exits, prints, exports or changes the current record takes it first, into
// the record it was typed for, without a focus change to bring it there.
#include "MainWindowFixture.h"
#include "WindowInput.h"
#include "RecordTestFile.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>

#include <cmath>
#include <functional>
#include <optional>

using namespace recordtest;
using windowinput::pressPage;
using windowinput::type;

namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

// Page points of the stand-in A4 page with the test records' layout (M 10, P 200, LH 22).
const QPoint kNameArea(100, 80);
const QPoint kDeliveryDateArea(100, 135);
const QPoint kRemarksArea(300, 200 + (19 + 6) * 22 + 40);
const QDate kPicked(2027, 3, 15);

// An open editor, what is typed into it, and whether a record holds that.
struct Editor {
    const char* name;
    std::function<void(TForm1&)> type;
    std::function<bool(const Dataset&)> holdsTyped;
};

const Editor kName{"name",
                   [](TForm1& form) {
                       pressPage(form, kNameArea);
                       QLineEdit* edit = form.ui.Edit2;
                       ASSERT_TRUE(edit->hasFocus());
                       edit->selectAll();
                       type(edit, u8("青木商会"));
                   },
                   [](const Dataset& d) { return d.asText("name") == sj("青木商会"); }};

const Editor kRemarks{"remarks",
                      [](TForm1& form) {
                          pressPage(form, kRemarksArea);
                          QPlainTextEdit* memo = form.ui.Memo2;
                          ASSERT_TRUE(memo->hasFocus());
                          type(memo, u8("納期厳守"));
                      },
                      [](const Dataset& d) { return d.asText("memo") == sj("納期厳守"); }};

const Editor kDeliveryDate{"delivery date",
                           [](TForm1& form) {
                               pressPage(form, kDeliveryDateArea);
                               QDateEdit* picker = form.ui.DateTimePicker2;
                               ASSERT_TRUE(picker->isVisible());
                               picker->setFocus(Qt::MouseFocusReason); // the user clicks into it
                               picker->setDate(kPicked);
                           },
                           [](const Dataset& d) { return d.asDateTime("day").date() == kPicked; }};

class OpenEditorTest : public MainWindowFixture {
protected:
    std::unique_ptr<TForm1> openTwoRecords() {
        file = path(QStringLiteral("shop.dat"));
        EXPECT_TRUE(writeRecords(file, {{1, "あ", "青木"}, {2, "か", "加藤"}}).isEmpty());
        auto form = openShown(file);
        form->ui.CheckBox2->setChecked(true); // the remarks box opens on a press
        return form;
    }

    // The record numbered `num` in `data`, made current; false when there is none.
    static bool find(Dataset& data, int num) {
        for (data.first(); !data.eof(); data.next())
            if (data.asInteger("num") == num)
                return true;
        return false;
    }

    // The file on disk.
    Dataset saved() const {
        Dataset data;
        EXPECT_TRUE(DataFile::load(data, file).isEmpty());
        return data;
    }

    QString file;
};

TEST_F(OpenEditorTest, EverySaveTakesTheTextOfTheOpenEditor) {
    const std::pair<const char*, std::function<void(TForm1&, ScriptedDialogService&)>> saves[] = {
        {"Ctrl+S",
         [](TForm1&, ScriptedDialogService&) {
             QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
         }},
        {"the menu item", [](TForm1& form, ScriptedDialogService&) { form.ui.N5->trigger(); }},
        {"save as",
         [this](TForm1& form, ScriptedDialogService& dialogs) {
             file = path(QStringLiteral("copy.dat"));
             dialogs.saveAnswers.push_back(file);
             form.ui.N6->trigger();
         }},
        {"save and exit",
         [](TForm1& form, ScriptedDialogService& dialogs) {
             dialogs.exitAnswers.push_back(1);
             EXPECT_TRUE(form.close());
         }},
    };
    for (const Editor& editor : {kName, kRemarks, kDeliveryDate}) {
        for (const auto& [how, save] : saves) {
            SCOPED_TRACE(std::string(editor.name) + ", " + how);
            auto form = openTwoRecords();
            editor.type(*form);
            save(*form, dialogs);
            Dataset data = saved();
            ASSERT_TRUE(find(data, 1));
            EXPECT_TRUE(editor.holdsTyped(data));
        }
    }
}

TEST_F(OpenEditorTest, CtrlSSavesWhereverTheKeysAreAndTakesATypedPanelValue) {
    struct Case {
        const char* where;
        std::function<QWidget*(TForm1&)> focus; // what has the keys, after typing
        std::function<bool(const Dataset&)> saved;
    };
    const Case cases[] = {
        {"tax box",
         [](TForm1& form) {
             form.ui.Edit10->setFocus(Qt::MouseFocusReason);
             form.ui.Edit10->selectAll();
             QTest::keyClicks(form.ui.Edit10, QStringLiteral("10"));
             return form.ui.Edit10;
         },
         [](const Dataset& d) { return std::abs(d.asFloat("SalesTax") - 0.1) < 1e-12; }},
        {"row count box",
         [](TForm1& form) {
             form.ui.Edit12->setFocus(Qt::MouseFocusReason);
             form.ui.Edit12->selectAll();
             QTest::keyClicks(form.ui.Edit12, QStringLiteral("15"));
             return form.ui.Edit12;
         },
         [](const Dataset& d) { return d.asInteger("linecount") == 15; }},
        {"honorific box",
         [](TForm1& form) {
             form.ui.Edit6->setFocus(Qt::MouseFocusReason);
             form.ui.Edit6->selectAll();
             type(form.ui.Edit6, u8("御中"));
             return form.ui.Edit6;
         },
         [](const Dataset& d) { return d.asText("honorifics") == sj("御中"); }},
        {"record list",
         [](TForm1& form) {
             form.ui.Button6->click();
             EXPECT_TRUE(form.isRecordListShown());
             form.ui.Edit5->setFocus(Qt::MouseFocusReason);
             QTest::keyClicks(form.ui.Edit5, QStringLiteral("03-1234"));
             return form.ui.Edit5;
         },
         [](const Dataset& d) { return d.asText("tel") == "03-1234"; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        auto form = openTwoRecords();
        QWidget* keys = c.focus(*form);
        ASSERT_TRUE(QTest::qWaitFor([keys] { return keys->hasFocus(); }, 2000));
        QTest::keyClick(keys, Qt::Key_S, Qt::ControlModifier);
        Dataset data = saved();
        ASSERT_TRUE(find(data, 1));
        EXPECT_TRUE(c.saved(data));
        EXPECT_TRUE(dialogs.errors.isEmpty());
    }
}

TEST_F(OpenEditorTest, TheSavedEditorStaysOpenForMoreTyping) {
    auto form = openTwoRecords();
    kName.type(*form);
    QTest::keyClick(form->ui.Edit2, Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(form->ui.Edit2->isVisible());
    EXPECT_TRUE(form->ui.Edit2->hasFocus());
    type(form->ui.Edit2, u8("様"));
    EXPECT_EQ(form->ui.Edit2->text(), u8("青木商会様"));
}

TEST_F(OpenEditorTest, RecordCommandsWriteTheTextIntoTheRecordItWasTypedFor) {
    // Each command of the 編集 menu, and whether the record it leaves current is a copy of
    // record 1.
    const std::pair<const char*, bool> commands[] = {
        {"ADelete1", false}, {"ADuplicate1", true}, {"ADelete2", false}};
    for (const Editor& editor : {kName, kRemarks, kDeliveryDate}) {
        for (const auto& [command, copy] : commands) {
            SCOPED_TRACE(std::string(editor.name) + ", " + command);
            auto form = openTwoRecords();
            ASSERT_EQ(form->CDS2.asInteger("num"), 1);
            editor.type(*form);
            form->findChild<QAction*>(u8(command))->trigger();
            // No editor is left open to write into the record now current.
            EXPECT_FALSE(form->ui.Edit2->isVisible());
            EXPECT_FALSE(form->ui.Memo2->isVisible());
            EXPECT_FALSE(form->ui.DateTimePicker2->isVisible());
            form->ui.ScrollBox1->setFocus();
            EXPECT_NE(form->CDS2.asInteger("num"), 1);
            EXPECT_EQ(editor.holdsTyped(form->CDS2), copy);

            if (QByteArray(command) == "ADelete2")
                continue;
            Dataset& data = form->CDS2;
            data.post();
            ASSERT_TRUE(find(data, 1));
            EXPECT_TRUE(editor.holdsTyped(data));
        }
    }
}

TEST_F(OpenEditorTest, AClearedRecordStaysClearedWhenTheEditorWouldHaveBeenLeft) {
    for (const Editor& editor : {kName, kRemarks, kDeliveryDate}) {
        SCOPED_TRACE(editor.name);
        auto form = openTwoRecords();
        editor.type(*form);
        form->ui.AClear1->trigger(); // 編集 → 表示レコードをクリア
        pressPage(*form, {300, 500});    // the user goes on elsewhere on the page
        Dataset& data = form->CDS2;
        data.post();
        ASSERT_TRUE(find(data, 1));
        EXPECT_FALSE(editor.holdsTyped(data));
    }
}

TEST_F(OpenEditorTest, MovingToAnotherRecordTakesTheTextFirst) {
    auto form = openTwoRecords();
    kName.type(*form);
    form->findChild<QPushButton*>(QStringLiteral("B4"))->click(); // next record
    EXPECT_EQ(form->CDS2.asInteger("num"), 2);
    EXPECT_EQ(form->CDS2.asText("name"), sj("加藤"));
    form->CDS2.first();
    EXPECT_EQ(form->CDS2.asText("name"), sj("青木商会"));
}

TEST_F(OpenEditorTest, OpeningAnotherFileLeavesNoEditorToWriteIntoIt) {
    const QString other = path(QStringLiteral("other.dat"));
    ASSERT_TRUE(writeRecords(other, {{1, "か", "加藤"}, {2, "さ", "佐藤"}}).isEmpty());
    Dataset onDisk;
    ASSERT_TRUE(DataFile::load(onDisk, other).isEmpty());
    // The question and the file dialog are windows of their own: the editor loses the keys
    // to them, not to the page, and the window is active again only after the command.
    QWidget dialog;
    dialogs.whileOpen = [&dialog] {
        dialog.show();
        dialog.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
    };
    const auto ctrlO = [&dialog](TForm1& form) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_O, Qt::ControlModifier);
        dialog.hide();
        form.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
    };
    for (const Editor& editor : {kName, kRemarks, kDeliveryDate}) {
        SCOPED_TRACE(editor.name);
        auto form = openTwoRecords();
        editor.type(*form);
        dialogs.openAnswers.push_back(other);
        ctrlO(*form);
        ASSERT_EQ(form->CurrentFileName, other);
        EXPECT_FALSE(form->ui.Edit2->isVisible());
        EXPECT_FALSE(form->ui.Memo2->isVisible());
        EXPECT_FALSE(form->ui.DateTimePicker2->isVisible());
        pressPage(*form, {300, 500}); // the user goes on elsewhere on the page
        form->CDS2.post();
        EXPECT_EQ(form->CDS2.content().rows, onDisk.content().rows);

        // Open cancelled: the text stays in the record it was typed for.
        form = openTwoRecords();
        editor.type(*form);
        ctrlO(*form);
        ASSERT_EQ(form->CurrentFileName, file);
        EXPECT_EQ(form->CDS2.asInteger("num"), 1);
        EXPECT_TRUE(editor.holdsTyped(form->CDS2));
    }
}

TEST_F(OpenEditorTest, PrintAndPdfShowTheNameBeingTyped) {
    for (const char* command : {"print", "pdf"}) {
        SCOPED_TRACE(command);
        auto form = openTwoRecords();
        kName.type(*form);
        dialogs.confirmations.clear();
        dialogs.confirmAnswers.push_back(false); // the question is enough
        if (QByteArray(command) == "print")
            form->findChild<QPushButton*>(QStringLiteral("B1"))->click();
        else
            form->ui.N16->trigger();
        ASSERT_EQ(dialogs.confirmations.size(), 1);
        EXPECT_TRUE(dialogs.confirmations.front().contains(u8("青木商会")))
            << dialogs.confirmations.front().toStdString();
    }
}

} // namespace
