// The record list: tabs, sorting by a column title, deleting from the grid, the current
// row's colours and the editors under the grid.
#include "app/TForm1.h"

#include "app/CurrentRowDelegate.h"
#include "app/DialogService.h"
#include "app/EventHook.h"
#include "app/KanaTabBar.h"
#include "platform/Cp932.h"
#include "records/CategoryRows.h"
#include "records/KanaRow.h"
#include "records/RecordListModel.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTableView>
#include <QTextCursor>
#include <QWheelEvent>

#include <algorithm>

namespace {
constexpr char kDeleteQuestion[] = "レコードを削除してもよいですか？";
// Tabs are this size in pixels, on as many lines as they need.
constexpr char kAscendingSuffix[] = "_IDX";
constexpr char kDescendingSuffix[] = "_DESC";
constexpr char kCateLead[] = "cate;";
} // namespace

void TForm1::connectRecordList() {
    ui.TabControl1->setStyleSheet(
        QStringLiteral("QTabBar::tab { width: %1px; height: %2px; padding: 0px; margin: 0px; }")
            .arg(KanaTabBar::kTabWidth)
            .arg(KanaTabBar::kTabHeight));

    QTableView* grid = ui.DBGrid1;
    grid->setItemDelegate(new CurrentRowDelegate(grid));
    grid->setTabKeyNavigation(true);
    grid->setSortingEnabled(false); // the dataset's indexes order the rows
    grid->horizontalHeader()->setSectionsClickable(true);
    grid->horizontalHeader()->setSectionsMovable(true);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    connect(grid->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int logical) { DBGrid1TitleClick(logical); });
    // The wheel reaches the rows' viewport, not the grid.
    EventHook::install(grid->viewport(), [this](QEvent& event) {
        return event.type() == QEvent::Wheel &&
               DBGrid1MouseWheel(static_cast<const QWheelEvent&>(event));
    });
    EventHook::install(grid, [this, grid](QEvent& event) {
        if (event.type() == QEvent::KeyPress)
            return DBGrid1KeyDown(static_cast<const QKeyEvent&>(event));
        // The current row changes colour with the focus.
        if (event.type() == QEvent::FocusIn || event.type() == QEvent::FocusOut)
            grid->viewport()->update();
        return false;
    });

    connect(ui.Edit9, &QLineEdit::textChanged, this, [this] { Edit9Change(); });
    connect(ui.Edit8, &QLineEdit::textChanged, this, [this] { Edit8Change(); });
    connect(ui.Edit3, &QLineEdit::textChanged, this, [this] { Edit3Change(); });
    connect(ui.Edit4, &QLineEdit::textChanged, this, [this] { Edit4Change(); });
    connect(ui.Edit5, &QLineEdit::textChanged, this, [this] { Edit5Change(); });
    connect(ui.Memo1, &QPlainTextEdit::textChanged, this, [this] { Memo1Change(); });
}

// ---- the grid ------------------------------------------------------------------------------

void TForm1::DBGrid1TitleClick(int column) {
    if (!CDS2.isActive() || CDS2.isEmpty())
        return;
    const QByteArray field = RecordListModel::fieldOf(column);
    if (field.isEmpty())
        return;
    // Under a kana tab the link to the row needs cate to lead the index.
    const QByteArray fields =
        ui.TabControl1->currentIndex() <= 0 ? field : QByteArray(kCateLead) + field;
    const QByteArray ascending = fields + kAscendingSuffix;
    const bool descend = CDS2.indexName() == ascending;
    const QByteArray name = descend ? fields + kDescendingSuffix : ascending;
    CDS2.addIndex(name, fields, descend);
    // The order changes, not the current record (even a posted one stays current): the
    // page and the editors still show it.
    CDS2.setIndexName(name);
    ReloadRecordList();
    UpdateStatusBar();
}

bool TForm1::DBGrid1KeyDown(const QKeyEvent& event) {
    if (event.key() != Qt::Key_Delete || !(event.modifiers() & Qt::ControlModifier))
        return false;
    if (CDS2.isEmpty())
        return true;
    if (!dialogs().confirm(QString::fromUtf8(kDeleteQuestion)))
        return true;
    CDS2.deleteRecord();
    FollowCurrentRecord();
    return true;
}

bool TForm1::DBGrid1MouseWheel(const QWheelEvent& event) {
    if (event.angleDelta().y() == 0)
        return false; // sideways: the grid scrolls its columns
    const int steps = gridWheel_.add(event.angleDelta().y());
    QTableView* grid = ui.DBGrid1;
    const int rows = grid->model() ? grid->model()->rowCount() : 0;
    if (steps == 0 || rows == 0)
        return true;
    const QModelIndex current = grid->currentIndex();
    const int row = std::clamp((current.isValid() ? current.row() : 0) - steps, 0, rows - 1);
    // As an arrow key: the grid scrolls to the row, and its move loads the editors and the
    // status bar (DBGrid1CellClick).
    grid->setCurrentIndex(grid->model()->index(row, std::max(current.column(), 0)));
    return true;
}

// ---- the editors under the grid -------------------------------------------------------------

void TForm1::AppendForListEditor(QWidget* editor) {
    auto* line = qobject_cast<QLineEdit*>(editor);
    auto* memo = qobject_cast<QPlainTextEdit*>(editor);
    const QString text = line ? line->text() : memo ? memo->toPlainText() : QString();
    const int cursor = line ? line->cursorPosition() : memo ? memo->textCursor().position() : 0;
    AAppendExecute();
    ShowListRecord(); // the other editors show the new record
    const QSignalBlocker blocker(editor);
    if (line) {
        line->setText(text);
        line->setCursorPosition(cursor);
    } else if (memo) {
        memo->setPlainText(text);
        QTextCursor position = memo->textCursor();
        position.setPosition(cursor);
        memo->setTextCursor(position);
    }
}

void TForm1::StoreListEditor(QWidget* editor, const char* field, const QByteArray& text) {
    if (!editor->hasFocus())
        return;
    // Typing into an empty view must not make a record without a number.
    if (CDS2.isEmpty())
        AppendForListEditor(editor);
    CDS2.setText(field, text);
    ReloadRecordList();
}

void TForm1::Edit9Change() {
    if (!ui.Edit9->hasFocus())
        return;
    if (CDS2.isEmpty())
        AppendForListEditor(ui.Edit9);
    const QByteArray name = cp932::encode(ui.Edit9->text());
    CDS2.setText("name", name);
    CDS2.setText("cate", KanaRowOf(name));
    ui.Edit8->setText(cp932::decodeShown(CDS2.asText("cate")));
    ReloadRecordList();
    UpdateStatusBar();
}

void TForm1::Edit8Change() {
    if (!ui.Edit8->hasFocus())
        return;
    if (CDS2.isEmpty())
        AppendForListEditor(ui.Edit8);
    const QByteArray head = KanaRowOf(cp932::encode(ui.Edit8->text()));
    CDS2.setText("cate", head);
    CDS2.post();
    // Re-filed out of the chosen tab, the record has left the view and another one is
    // current: the editors must show that one, or further typing would change it unseen.
    const int tab = ui.TabControl1->currentIndex();
    if (tab > 0 && CategoryHeads().value(tab - 1) != head) {
        FollowCurrentRecord();
        return;
    }
    ReloadRecordList();
    UpdateStatusBar();
}

void TForm1::Edit3Change() {
    StoreListEditor(ui.Edit3, "pcode", cp932::encode(ui.Edit3->text()));
}

void TForm1::Edit4Change() {
    StoreListEditor(ui.Edit4, "addr", cp932::encode(ui.Edit4->text()));
}

void TForm1::Edit5Change() {
    StoreListEditor(ui.Edit5, "tel", cp932::encode(ui.Edit5->text()));
}

void TForm1::Memo1Change() {
    StoreListEditor(ui.Memo1, "other", cp932::encodeLines(ui.Memo1->toPlainText()));
}
