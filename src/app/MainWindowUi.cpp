#include "app/MainWindowUi.h"

#include "app/ColorSwatch.h"
#include "app/KanaTabBar.h"
#include "app/PaintBox.h"
#include "app/UpDown.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// Menu captions.
constexpr char kFileMenu[] = "ファイル(&F)";
constexpr char kNewFile[] = "新規データファイル作成(&N)";
constexpr char kOpen[] = "開く(&O)...";
constexpr char kRecent[] = "最近閉じたファイルを開く...";
constexpr char kOpenBackup[] = "バックアップから開く...";
constexpr char kReload[] = "再読み込み";
constexpr char kReadOnlyStatus[] = "読み取り専用";
constexpr char kSave[] = "上書き保存(&S)";
constexpr char kSaveAs[] = "名前をつけて保存(&A)...";
constexpr char kPageSetup[] = "用紙設定...";
constexpr char kPrint[] = "印刷";
constexpr char kPdfOutput[] = "PDFファイルに出力...";
constexpr char kExit[] = "終了(&X)";
constexpr char kEditMenu[] = "編集(&E)";
constexpr char kAppendRecord[] = "新規レコード追加";
constexpr char kClearRecord[] = "表示レコードをクリア";
constexpr char kDeleteRecord[] = "表示レコードを削除";
constexpr char kDuplicateRecord[] = "表示レコードを複製";
constexpr char kLineClear[] = "選択行をクリア";
constexpr char kLineDelete[] = "選択行を削除";
constexpr char kLineUp[] = "選択行を一つ上に移動";
constexpr char kLineDown[] = "選択行を一つ下に移動";
constexpr char kDefaultLine[] = "列幅を初期化";
constexpr char kViewMenu[] = "表示(&V)";
constexpr char kEditView[] = "編集画面を表示";
constexpr char kRecordList[] = "レコード一覧";
constexpr char kSenderWindow[] = "差出編集ウィンドを表示";
constexpr char kHelpMenu[] = "ヘルプ(&H)";
constexpr char kShowHelp[] = "ヘルプの表示(&H)";
constexpr char kShowHints[] = "ヒントの表示";
constexpr char kAbout[] = "バージョン情報(&A)";

// Side panel.
constexpr char kKindLabel[] = " 種別 ";
constexpr const char* kKinds[] = {"見積書", "請求書", "納品書"};
constexpr char kHonorificLabel[] = " 敬称";
constexpr char kTaxLabel[] = "  消費税(%)";
constexpr char kPitchLabel[] = "  行間";
constexpr char kRowsLabel[] = "  行数";
constexpr char kTablePosLabel[] = "↑↓表の位置";
constexpr char kMarginLabel[] = "  余白10-30";
constexpr char kPrintScaleLabel[] = "印刷範囲調節";
constexpr char kDeliveryDate[] = "納期日の表示";
constexpr char kYenSign[] = "￥記号の表示";
constexpr char kRemarks[] = "下部の備考表示";
constexpr char kFontSizeLabel[] = " ﾌｫﾝﾄ  サイズ";
constexpr char kLineColorLabel[] = "          ラインの色";
constexpr char kSwitchView[] = "一覧・編集 表示切替";
constexpr char kFirst[] = "先頭へ";
constexpr char kPrevious[] = "前へ";
constexpr char kNext[] = "次へ";
constexpr char kLast[] = "最後へ";
constexpr char kPrinterSetup[] = "プリンタ・用紙変更";

// Record buttons.
constexpr char kAppend[] = "新規＋";
constexpr char kDuplicate[] = "複製⇔";
constexpr char kClear[] = "クリア＿";
constexpr char kDelete[] = "削除×";

// Record list.
constexpr const char* kTabs[] = {"全", "あ", "か", "さ", "た", "な",
                                 "は", "ま", "や", "ら", "わ", "他"};
constexpr char kNameLabel[] = "名前";
constexpr char kRowLabel[] = "行";
constexpr char kPostcodeLabel[] = "〒";
constexpr char kAddressLabel[] = "住所";
constexpr char kTelLabel[] = "TEL";
constexpr char kOtherLabel[] = "その他";
constexpr char kSearchLabel[] = "検索";

constexpr int kPanelWidth = 125;
constexpr int kPageTop = 25;
constexpr int kStripHeight = 20;
constexpr int kStatusWidths[] = {120, 20, 50, 90, 60, 70};

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

template <typename T> T* named(T* object, const char* name) {
    object->setObjectName(QString::fromLatin1(name));
    return object;
}

QAction* menuItem(QMenu* menu, const char* name, const char* caption,
                  const QKeySequence& shortcut = {}) {
    QAction* item = named(menu->addAction(u8(caption)), name);
    item->setShortcut(shortcut);
    return item;
}

QPushButton* button(QWidget* parent, const char* name, const char* caption, int tag) {
    auto* b = named(new QPushButton(u8(caption), parent), name);
    b->setProperty("Tag", tag);
    b->setAutoDefault(false);
    return b;
}

QLabel* label(QWidget* parent, const char* name, const char* caption, int y) {
    auto* l = named(new QLabel(u8(caption), parent), name);
    l->setGeometry(2, y + 2, 80, 16);
    return l;
}

// A number box with its spin arrows to the right of a label.
QLineEdit* numberBox(QWidget* parent, const char* name, int y, int width = 34) {
    auto* e = named(new QLineEdit(parent), name);
    e->setGeometry(kPanelWidth - 4 - 17 - width, y, width, 20);
    return e;
}

UpDown* spin(QWidget* parent, const char* name, int y, int minimum, int maximum, int step) {
    auto* u = named(new UpDown(parent), name);
    u->setGeometry(kPanelWidth - 4 - 17, y, 17, 20);
    u->setRange(minimum, maximum);
    u->setIncrement(step);
    return u;
}

void buildMenus(QMainWindow* window, MainWindowUi& ui) {
    QMenuBar* bar = named(window->menuBar(), "MainMenu1");

    ui.N1 = named(bar->addMenu(u8(kFileMenu)), "N1");
    ui.N1->menuAction()->setObjectName(QStringLiteral("N1"));
    ui.N2 = menuItem(ui.N1, "N2", kNewFile, QKeySequence(Qt::CTRL | Qt::Key_N));
    ui.N3 = menuItem(ui.N1, "N3", kOpen, QKeySequence(Qt::CTRL | Qt::Key_O));
    ui.N8 = named(ui.N1->addMenu(u8(kRecent)), "N8");
    ui.N8->menuAction()->setObjectName(QStringLiteral("N8"));
    for (int k = 1; k <= 5; ++k) {
        QAction* item = ui.N8->addAction(QString());
        item->setObjectName(QStringLiteral("o%1").arg(k));
        item->setVisible(false);
        ui.recent.append(item);
    }
    ui.NOpenBackup = menuItem(ui.N1, "NOpenBackup", kOpenBackup);
    ui.NReload = menuItem(ui.N1, "NReload", kReload);
    ui.N1->addSeparator();
    ui.N5 = menuItem(ui.N1, "N5", kSave);
    ui.N6 = menuItem(ui.N1, "N6", kSaveAs);
    ui.N1->addSeparator();
    ui.N14 = menuItem(ui.N1, "N14", kPageSetup);
    ui.N14->setProperty("Tag", 11);
    ui.N15 = menuItem(ui.N1, "N15", kPrint);
    ui.N15->setProperty("Tag", 12);
    ui.N16 = menuItem(ui.N1, "N16", kPdfOutput);
    ui.N1->addSeparator();
    ui.X1 = menuItem(ui.N1, "X1", kExit);

    ui.E1 = named(bar->addMenu(u8(kEditMenu)), "E1");
    ui.E1->menuAction()->setObjectName(QStringLiteral("E1"));
    ui.ADelete1 = menuItem(ui.E1, "ADelete1", kAppendRecord);
    ui.AClear1 = menuItem(ui.E1, "AClear1", kClearRecord);
    ui.ADelete2 = menuItem(ui.E1, "ADelete2", kDeleteRecord);
    ui.ADuplicate1 = menuItem(ui.E1, "ADuplicate1", kDuplicateRecord);
    ui.E1->addSeparator();
    ui.ALineClear1 = menuItem(ui.E1, "ALineClear1", kLineClear);
    ui.N21 = menuItem(ui.E1, "N21", kLineDelete);
    ui.ALineUp1 = menuItem(ui.E1, "ALineUp1", kLineUp);
    ui.AlineDown1 = menuItem(ui.E1, "AlineDown1", kLineDown);
    ui.E1->addSeparator();
    ui.AdefaultLine1 = menuItem(ui.E1, "AdefaultLine1", kDefaultLine);

    ui.N10 = named(bar->addMenu(u8(kViewMenu)), "N10");
    ui.N10->menuAction()->setObjectName(QStringLiteral("N10"));
    ui.N11 = menuItem(ui.N10, "N11", kEditView);
    ui.N13 = menuItem(ui.N10, "N13", kRecordList);
    ui.N12 = menuItem(ui.N10, "N12", kSenderWindow);

    ui.N9 = named(bar->addMenu(u8(kHelpMenu)), "N9");
    ui.N9->menuAction()->setObjectName(QStringLiteral("N9"));
    ui.N22 = menuItem(ui.N9, "N22", kShowHelp);
    ui.N22->setEnabled(false);
    ui.N23 = menuItem(ui.N9, "N23", kShowHints);
    ui.N23->setCheckable(true);
    ui.N23->setChecked(true);
    ui.About1 = menuItem(ui.N9, "About1", kAbout);
}

QFrame* buildSidePanel(MainWindowUi& ui) {
    auto* panel = named(new QFrame, "Panel3");
    ui.Panel3 = panel;
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFixedWidth(kPanelWidth);
    panel->setMinimumHeight(0);
    // Not ClickFocus: Qt would hand the panel the focus for a click on any of its labels,
    // swatches, spin arrows or the kind box's frame too, ending the cell edit. A press on
    // the bare panel gives it the focus itself (Panel3MouseDown).
    panel->setFocusPolicy(Qt::NoFocus);

    constexpr int w = kPanelWidth - 8;
    constexpr int half = (w - 2) / 2;
    int y = 4;
    ui.Button6 = button(panel, "Button6", kSwitchView, 7);
    ui.Button6->setGeometry(4, y, w, 26);
    y += 28;
    ui.B2 = button(panel, "B2", kFirst, 1);
    ui.B2->setGeometry(4, y, half, 24);
    ui.B3 = button(panel, "B3", kPrevious, 2);
    ui.B3->setGeometry(6 + half, y, half, 24);
    y += 25;
    ui.B4 = button(panel, "B4", kNext, 3);
    ui.B4->setGeometry(4, y, half, 24);
    ui.B5 = button(panel, "B5", kLast, 4);
    ui.B5->setGeometry(6 + half, y, half, 24);
    y += 28;
    ui.B6 = button(panel, "B6", kPrinterSetup, 11);
    ui.B6->setGeometry(4, y, w, 24);
    y += 25;
    ui.B1 = button(panel, "B1", kPrint, 12);
    ui.B1->setGeometry(4, y, w, 24);
    y += 28;

    ui.RadioGroup1 = named(new QGroupBox(u8(kKindLabel), panel), "RadioGroup1");
    ui.RadioGroup1->setGeometry(4, y, w, 70);
    ui.RadioGroup1Items = new QButtonGroup(ui.RadioGroup1);
    for (int i = 0; i < 3; ++i) {
        auto* radio = new QRadioButton(u8(kKinds[i]), ui.RadioGroup1);
        radio->setGeometry(8, 16 + i * 17, w - 12, 17);
        ui.RadioGroup1Items->addButton(radio, i);
    }
    ui.RadioGroup1Items->button(0)->setChecked(true);
    y += 73;

    constexpr int row = 22;
    label(panel, "Label8", kHonorificLabel, y);
    ui.Edit6 = named(new QLineEdit(panel), "Edit6");
    ui.Edit6->setGeometry(52, y, w - 48, 20);
    y += row;
    label(panel, "Label12", kTaxLabel, y);
    ui.Edit10 = numberBox(panel, "Edit10", y, 51);
    ui.Edit10->setProperty("Tag", 2);
    ui.Edit10->move(kPanelWidth - 4 - 34, y);
    ui.Edit10->resize(34, 20);
    y += row;
    label(panel, "Label13", kPitchLabel, y);
    ui.Edit11 = numberBox(panel, "Edit11", y);
    ui.UpDown1 = spin(panel, "UpDown1", y, 16, 99, 1);
    y += row;
    label(panel, "Label14", kRowsLabel, y);
    ui.Edit12 = numberBox(panel, "Edit12", y);
    ui.UpDown2 = spin(panel, "UpDown2", y, 5, 99, 1);
    y += row;
    label(panel, "Label2", kTablePosLabel, y);
    ui.Edit14 = numberBox(panel, "Edit14", y);
    ui.UpDown4 = spin(panel, "UpDown4", y, 150, 300, 5);
    y += row;
    label(panel, "Label9", kMarginLabel, y);
    ui.Edit7 = numberBox(panel, "Edit7", y);
    ui.Edit7->setProperty("Tag", 1);
    ui.Edit7->setText(QStringLiteral("10"));
    ui.UpDown5 = spin(panel, "UpDown5", y, 10, 30, 5);
    y += row;
    label(panel, "Label6", kPrintScaleLabel, y);
    ui.Edit15 = numberBox(panel, "Edit15", y);
    ui.Edit15->setProperty("Tag", 15);
    ui.UpDown6 = spin(panel, "UpDown6", y, -100, 100, 1);
    y += row + 2;

    ui.CheckBox1 = named(new QCheckBox(u8(kDeliveryDate), panel), "CheckBox1");
    ui.CheckBox1->setGeometry(4, y, w, 18);
    y += 18;
    ui.CheckBox3 = named(new QCheckBox(u8(kYenSign), panel), "CheckBox3");
    ui.CheckBox3->setGeometry(4, y, w, 18);
    y += 18;
    ui.CheckBox2 = named(new QCheckBox(u8(kRemarks), panel), "CheckBox2");
    ui.CheckBox2->setGeometry(4, y, w, 18);
    ui.CheckBox2->setChecked(true);
    y += 22;

    label(panel, "Label15", kFontSizeLabel, y);
    ui.Edit13 = numberBox(panel, "Edit13", y);
    ui.Edit13->setReadOnly(true);
    ui.UpDown3 = spin(panel, "UpDown3", y, -2, 2, 1);
    y += row;
    ui.ComboBox1 = named(new QComboBox(panel), "ComboBox1");
    ui.ComboBox1->setEditable(true);
    ui.ComboBox1->setGeometry(4, y, w, 22);
    y += 25;
    ui.Shape2 = named(new ColorSwatch(panel), "Shape2");
    ui.Shape2->setGeometry(4, y, w, 16);
    y += 19;
    auto* lineLabel = label(panel, "Label7", kLineColorLabel, y - 2);
    lineLabel->resize(w, 16);
    ui.Shape1 = named(new ColorSwatch(panel), "Shape1");
    ui.Shape1->setGeometry(4, y, 36, 16);
    return panel;
}

QWidget* buildRecordList(MainWindowUi& ui) {
    auto* p1 = named(new QWidget, "P1");
    auto* layout = new QVBoxLayout(p1);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);

    ui.TabControl1 = named(new KanaTabBar(p1), "TabControl1");
    ui.TabControl1->setExpanding(false);
    ui.TabControl1->setUsesScrollButtons(false);
    for (const char* tab : kTabs)
        ui.TabControl1->addTab(u8(tab));
    layout->addWidget(ui.TabControl1);

    auto* search = new QHBoxLayout;
    search->setSpacing(4);
    search->addWidget(named(new QLabel(u8(kSearchLabel), p1), "LabelSearch"));
    ui.SearchBox = named(new QLineEdit(p1), "SearchBox");
    ui.SearchBox->setPlaceholderText(u8(kSearchLabel));
    ui.SearchBox->setClearButtonEnabled(true);
    search->addWidget(ui.SearchBox, 1);
    layout->addLayout(search);

    ui.DBGrid1 = named(new QTableView(p1), "DBGrid1");
    ui.DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui.DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ui.DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    // One line per record: a text too long for its column is cut with an ellipsis.
    ui.DBGrid1->setWordWrap(false);
    ui.DBGrid1->setTextElideMode(Qt::ElideRight);
    ui.DBGrid1->horizontalHeader()->setSectionsMovable(true);
    layout->addWidget(ui.DBGrid1, 1);

    auto* editors = new QGridLayout;
    editors->setSpacing(2);
    auto addEditor = [&](int row, int col, const char* labelName, const char* caption,
                         QWidget* editor) {
        editors->addWidget(named(new QLabel(u8(caption), p1), labelName), row, col);
        editors->addWidget(editor, row, col + 1);
    };
    ui.Edit9 = named(new QLineEdit(p1), "Edit9");
    ui.Edit8 = named(new QLineEdit(p1), "Edit8");
    ui.Edit3 = named(new QLineEdit(p1), "Edit3");
    ui.Edit4 = named(new QLineEdit(p1), "Edit4");
    ui.Edit5 = named(new QLineEdit(p1), "Edit5");
    ui.Memo1 = named(new QPlainTextEdit(p1), "Memo1");
    ui.Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ui.Memo1->setMaximumHeight(60);
    addEditor(0, 0, "Label16", kNameLabel, ui.Edit9);
    addEditor(0, 2, "Label17", kRowLabel, ui.Edit8);
    addEditor(1, 0, "Label18", kPostcodeLabel, ui.Edit3);
    addEditor(1, 2, "Label19", kTelLabel, ui.Edit5);
    addEditor(2, 0, "Label20", kAddressLabel, ui.Edit4);
    editors->addWidget(named(new QLabel(u8(kOtherLabel), p1), "Label21"), 3, 0);
    editors->addWidget(ui.Memo1, 3, 1, 1, 3);
    editors->setColumnStretch(1, 3);
    editors->setColumnStretch(3, 1);
    layout->addLayout(editors);
    return p1;
}

QScrollArea* buildPageView(MainWindowUi& ui) {
    ui.ScrollBox1 = named(new QScrollArea, "ScrollBox1");
    ui.ScrollBox1->setWidgetResizable(false);
    ui.ScrollBox1->setFocusPolicy(Qt::StrongFocus);
    ui.pageArea = named(new QWidget, "ScrollBox1Content");
    ui.PB1 = named(new PaintBox(ui.pageArea), "PB1");
    ui.PB1->setGeometry(0, kPageTop, 630, 891);
    ui.Pl2 = named(new QLabel(ui.pageArea), "Pl2");
    ui.Edit1 = named(new QLineEdit(ui.pageArea), "Edit1");
    ui.Edit2 = named(new QLineEdit(ui.pageArea), "Edit2");
    ui.Memo2 = named(new QPlainTextEdit(ui.pageArea), "Memo2");
    ui.DateTimePicker1 = named(new QDateEdit(ui.pageArea), "DateTimePicker1");
    ui.DateTimePicker2 = named(new QDateEdit(ui.pageArea), "DateTimePicker2");
    for (QWidget* overlay : std::initializer_list<QWidget*>{
             ui.Edit1, ui.Edit2, ui.Memo2, ui.DateTimePicker1, ui.DateTimePicker2}) {
        overlay->hide();
        overlay->raise();
    }
    ui.DateTimePicker1->setCalendarPopup(true);
    ui.DateTimePicker2->setCalendarPopup(true);
    ui.Edit1->setFrame(false);
    ui.Edit1->resize(90, 21);
    layoutPageArea(ui);
    ui.ScrollBox1->setWidget(ui.pageArea);
    return ui.ScrollBox1;
}

void buildStatusBar(QMainWindow* window, MainWindowUi& ui) {
    ui.StatusBar1 = named(new QStatusBar(window), "StatusBar1");
    ui.StatusBar1->setSizeGripEnabled(false);
    const int count = int(std::size(kStatusWidths));
    for (int i = 0; i < count; ++i) {
        auto* panel = new QLabel(ui.StatusBar1);
        panel->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i));
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        if (i + 1 < count) {
            panel->setFixedWidth(kStatusWidths[i]);
            ui.StatusBar1->addWidget(panel);
        } else {
            // The last panel runs to the right edge, as hints are long.
            panel->setMinimumWidth(kStatusWidths[i]);
            ui.StatusBar1->addWidget(panel, 1);
        }
        ui.statusPanels.append(panel);
    }
    // Shown only while an earlier version of the data file is open.
    ui.backupPanel = named(new QLabel(ui.StatusBar1), "BackupPanel");
    ui.backupPanel->setFrameShape(QFrame::Panel);
    ui.backupPanel->setFrameShadow(QFrame::Sunken);
    // Its text may be cut in a narrow window; it must not widen the window.
    ui.backupPanel->setMinimumWidth(40);
    ui.StatusBar1->addPermanentWidget(ui.backupPanel);
    ui.backupPanel->hide();
    // Shown only while the open file is held by another PC.
    ui.readOnlyPanel = named(new QLabel(u8(kReadOnlyStatus), ui.StatusBar1), "ReadOnlyPanel");
    ui.readOnlyPanel->setFrameShape(QFrame::Panel);
    ui.readOnlyPanel->setFrameShadow(QFrame::Sunken);
    ui.StatusBar1->addPermanentWidget(ui.readOnlyPanel);
    ui.readOnlyPanel->hide();
    window->setStatusBar(ui.StatusBar1);
}

} // namespace

void layoutPageArea(MainWindowUi& ui) {
    const QRect page = ui.PB1->geometry();
    ui.PB1->move(0, kPageTop);
    ui.Pl2->setGeometry(0, kPageTop + page.height(), page.width() + 10, kStripHeight);
    ui.pageArea->resize(page.width() + 10, kPageTop + page.height() + kStripHeight);
}

void fitListToItems(QComboBox* box) {
    QAbstractItemView* list = box->view();
    const int items = list->sizeHintForColumn(0);
    const int scrollBar = list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
    list->setMinimumWidth(items + scrollBar + 2 * list->frameWidth());
}

void buildMainWindowUi(QMainWindow* window, MainWindowUi& ui) {
    buildMenus(window, ui);

    auto* central = named(new QWidget(window), "ClientArea");
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(buildSidePanel(ui));

    auto* right = new QVBoxLayout;
    right->setContentsMargins(0, 0, 0, 0);
    right->setSpacing(0);
    auto* buttons = named(new QWidget(central), "RecordButtons");
    buttons->setFixedHeight(28);
    ui.Button4 = button(buttons, "Button4", kAppend, 5);
    ui.Button9 = button(buttons, "Button9", kDuplicate, 13);
    ui.Button7 = button(buttons, "Button7", kClear, 8);
    ui.Button5 = button(buttons, "Button5", kDelete, 6);
    int x = 2;
    for (QPushButton* b : {ui.Button4, ui.Button9, ui.Button7, ui.Button5}) {
        b->setGeometry(x, 2, 72, 24);
        x += 74;
    }
    right->addWidget(buttons);

    ui.P1 = buildRecordList(ui);
    right->addWidget(ui.P1, 1);
    right->addWidget(buildPageView(ui), 1);
    // With both views hidden (while a file opens) the button row keeps to the top
    // instead of being centred in the empty client area.
    right->addStretch(0);
    row->addLayout(right, 1);
    window->setCentralWidget(central);

    buildStatusBar(window, ui);
}
