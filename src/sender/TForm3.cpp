#include "sender/TForm3.h"

#include "platform/Cp932.h"
#include "platform/UpDown.h"
#include "sender/AlignIcons.h"
#include "sender/SenderGrid.h"

#include <QButtonGroup>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QToolButton>

namespace {

constexpr char kCaption[] = "差出側項目...";
constexpr char kPitchLabel[] = "  行間";
constexpr char kOk[] = "OK";
constexpr char kCancel[] = "キャンセル";
constexpr const char* kAlignHints[] = {"左寄せ", "中央寄せ", "右寄せ"};

constexpr int kClientWidth = 273;
constexpr int kClientHeight = 196;

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

} // namespace

TForm3::TForm3(sender::SenderItemsAccess access, QWidget* parent)
    : QDialog(parent), model_(std::move(access)) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(u8(kCaption));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setModal(true);
    setFixedSize(kClientWidth, kClientHeight);

    sg1 = new SenderGrid(this);
    sg1->setGeometry(8, 8, 255, 105);
    sg1->setAlignmentSource([this](int row) { return model_.alignmentOf(row); });

    alignGroup_ = new QButtonGroup(this);
    alignGroup_->setExclusive(true);
    for (int i = 0; i < 3; ++i) {
        auto* button = new QToolButton(this);
        button->setObjectName(QStringLiteral("sb%1").arg(i));
        button->setGeometry(40 + 27 * i, 119, 25, 21);
        button->setCheckable(true);
        button->setAutoRaise(true);
        // Like the grid's own speed buttons: a click leaves the focus (and an open cell
        // editor) where it is.
        button->setFocusPolicy(Qt::NoFocus);
        button->setIcon(sender::alignIcon(i));
        button->setToolTip(u8(kAlignHints[i]));
        alignGroup_->addButton(button, i);
        connect(button, &QToolButton::clicked, this, [this, i] { sbMUp(i); });
        sb[i] = button;
    }

    Label6 = new QLabel(u8(kPitchLabel), this);
    Label6->setObjectName(QStringLiteral("Label6"));
    Label6->setGeometry(176, 120, 79, 20);
    Label6->setAutoFillBackground(true);
    QPalette white = Label6->palette();
    white.setColor(QPalette::Window, Qt::white);
    Label6->setPalette(white);

    Edit15 = new QLineEdit(this);
    Edit15->setObjectName(QStringLiteral("Edit15"));
    Edit15->setGeometry(213, 122, 21, 18);
    // Only the arrows set the pitch; a typed number would be shown but never used.
    Edit15->setReadOnly(true);

    UpDown5 = new UpDown(this);
    UpDown5->setObjectName(QStringLiteral("UpDown5"));
    UpDown5->setRange(sender::kMinLineHeight, sender::kMaxLineHeight);
    UpDown5->setIncrement(1);
    UpDown5->setFixedWidth(20);
    UpDown5->setGeometry(235, 121, 20, 19);
    connect(UpDown5, &UpDown::clicked, this, [this] { UpDown5Click(); });

    Button1 = new QPushButton(u8(kOk), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(102, 155, 75, 25);
    Button2 = new QPushButton(u8(kCancel), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(183, 155, 75, 25);
    // Enter clicks only the button that has the focus (see keyPressEvent), never a
    // default one while a line is being typed.
    for (QPushButton* button : {Button1, Button2}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });

    connect(sg1, &QTableWidget::currentCellChanged, this,
            [this](int row, int col, int, int) { sg1SelectCell(col, row); });
    connect(sg1, &SenderGrid::mousePressedAt, this,
            [this](int col, int row) { model_.pressCell(col, row); });
    connect(sg1, &SenderGrid::editTextChanged, this,
            [this](int row, const QString& text) { sg1SetEditText(row, text); });
    connect(sg1, &SenderGrid::editReverted, this, [this] {
        if (!filling_)
            linesFromCells();
    });
    connect(sg1, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (!filling_ && item->column() == sender::kTextCol)
            linesFromCells();
    });

    FormCreate();
}

void TForm3::FormCreate() {
    model_.selectCell(sender::kNumberCol, 0);
}

void TForm3::fillLines(const std::array<QByteArray, sender::kLineCount>& lines) {
    filling_ = true;
    sg1->finishEditing(false);
    for (int row = 0; row < sender::kLineCount; ++row)
        sg1->item(row, sender::kTextCol)->setText(cp932::decodeShown(lines[row]));
    filling_ = false;
}

void TForm3::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TForm3::FormShow() {
    // Line 1's text cell, and its alignment's button, also when it already was current.
    const int button = model_.show();
    sg1->setCurrentCell(0, sender::kTextCol);
    pressButton(button);
    filling_ = true;
    for (int row = 0; row < sender::kLineCount; ++row)
        sg1->item(row, sender::kNumberCol)->setText(QString::number(row + 1));
    filling_ = false;
    const int pitch = model_.saved().lineHeight;
    UpDown5->setPosition(pitch);
    Edit15->setText(QString::number(pitch));
    sg1->setFocus(Qt::ActiveWindowFocusReason);
}

void TForm3::sg1SelectCell(int col, int row) {
    pressButton(model_.selectCell(col, row));
}

void TForm3::sg1SetEditText(int row, const QString& text) {
    model_.setLines(cellLines(row, text));
}

void TForm3::sbMUp(int align) {
    if (!model_.applyAlignment(align)) {
        // Nothing changed: the buttons keep showing the current line's alignment.
        if (sg1->currentColumn() == sender::kTextCol)
            pressButton(sender::SenderItemsModel::buttonFor(model_.alignmentOf(sg1->currentRow())));
    }
    sg1->refreshEditorAlignment();
    sg1->viewport()->update();
}

void TForm3::UpDown5Click() {
    Edit15->setText(QString::number(UpDown5->position()));
    model_.setLineHeight(UpDown5->position());
}

void TForm3::Button1Click() {
    accept();
}

void TForm3::Button2Click() {
    sg1->finishEditing(false);
    model_.cancel();
    reject();
}

void TForm3::done(int result) {
    // OK and the close box keep what is being typed (the window already has it).
    sg1->finishEditing(true);
    QDialog::done(result);
}

void TForm3::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        // Esc does not close the dialog; in a cell it has already dropped the edit.
        event->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
            button->click();
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

std::array<QByteArray, sender::kLineCount> TForm3::cellLines(int row, const QString& typed) const {
    std::array<QByteArray, sender::kLineCount> lines;
    for (int r = 0; r < sender::kLineCount; ++r)
        lines[r] = cp932::encode(r == row ? typed : sg1->item(r, sender::kTextCol)->text());
    return lines;
}

void TForm3::linesFromCells() {
    model_.setLines(cellLines());
}

void TForm3::pressButton(int button) {
    if (button >= 0 && button < 3)
        sb[button]->setChecked(true);
}
