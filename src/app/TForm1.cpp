#include "app/TForm1.h"

#include "app/AppTexts.h"
#include "app/DialogService.h"
#include "app/PaintBox.h"
#include "app/SharedFileGuard.h"
#include "platform/FontFamilies.h"
#include "platform/PrinterDeviceQt.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSessionManager>
#include <QStandardPaths>
#include <QWheelEvent>

namespace {
constexpr int kWheelLines = 5;
constexpr int kScrollLineStep = 8;

QString u8(const char* text) {
    return QString::fromUtf8(text);
}
} // namespace

TForm1::TForm1(TForm1Options options, QWidget* parent)
    : QMainWindow(parent), dialogs_(options.dialogs), printer_(std::move(options.printer)),
      settingsPath_(std::move(options.settingsPath)),
      executableDir_(std::move(options.executableDir)),
      backupFolder_(std::move(options.backupFolder)), screenSize_(options.screenSize) {
    Q_ASSERT(dialogs_);
    setObjectName(QStringLiteral("Form1"));
    sharedFile_ = std::make_unique<SharedFileGuard>(*dialogs_);
    if (settingsPath_.isEmpty())
        settingsPath_ = settingsFilePath();
    if (executableDir_.isEmpty())
        executableDir_ = QCoreApplication::applicationDirPath();
    if (backupFolder_.isEmpty())
        backupFolder_ = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                        QStringLiteral("/backup");
    if (screenSize_.isEmpty()) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        screenSize_ = screen ? screen->size() : QSize(1024, 768);
    }
    if (!printer_)
        printer_ = PrinterDeviceQt::createDefault();

    QFont font(fonts::installedOrShown(u8("メイリオ")));
    font.setPixelSize(11);
    setFont(font);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(200, 200, 200)); // the scroll-bar grey
    setPalette(pal);

    buildMainWindowUi(this, ui);
    ui.ScrollBox1->verticalScrollBar()->setSingleStep(kScrollLineStep);
    ui.ScrollBox1->horizontalScrollBar()->setSingleStep(kScrollLineStep);
    ui.PB1->setPaintHandler([this](QPainter& painter) { PB1Paint(painter); });
    createActions();
    createLineCommands();
    createInvoiceCommands();
    connectPageInteraction();
    connectFileMenu();
    connectRecordCommands();
    connectSidePanel();
    connectPdfCommand();
    connectKanaRows();
    connectRecordList();
    connectRecordSearch();

    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(app, &QGuiApplication::commitDataRequest, this, &TForm1::commitDataRequest);

    FormCreate();
}

TForm1::~TForm1() {
    qApp->removeEventFilter(this);
    FormDestroy();
}

void TForm1::createActions() {
    ActionList1 = new ActionList(this, this);
    auto add = [this](const char* name, const char* caption, QKeySequence key = {},
                      bool live = true) { ActionList1->add(u8(name), u8(caption), key, live); };
    // File commands. Ctrl+N and Ctrl+O belong to the menu items, which confirm first.
    add("afnew", "新規データファイル作成(&N)", QKeySequence(Qt::CTRL | Qt::Key_N), false);
    add("afopen", "開く(&O)...", QKeySequence(Qt::CTRL | Qt::Key_O), false);
    add("afsave", "上書き保存(&S)", QKeySequence(Qt::CTRL | Qt::Key_S));
    add("afsaveas", "名前をつけて保存(&A)...");
    add("afclose", "終了(&X)");
    // Record commands and views.
    add("AAppend", "新規レコード追加");
    add("AClear", "表示レコードをクリア");
    add("ADelete", "表示レコードを削除");
    add("ADuplicate", "表示レコードを複製");
    add("Achangeview", "一覧・編集 表示切替");
    add("AEditView", "編集画面を表示");
    add("AIchiran", "レコード一覧");
    add("Ashowform3", "差出編集ウィンドを表示");
    // Line commands and cell moves.
    add("ALineCopy", "一行をコピー", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    add("ALinePaste", "一行に貼り付け", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V));
    add("ALineCut", "一行を切り取り", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_X));
    add("ALineClear", "選択行をクリア");
    add("ALineDelete", "選択行を削除");
    add("AMoveLineUp", "選択行を一つ上に移動", QKeySequence(Qt::CTRL | Qt::Key_Up));
    add("AMoveLineDown", "選択行を一つ下に移動", QKeySequence(Qt::CTRL | Qt::Key_Down));
    add("AdefaultLine", "列幅を初期化");
    add("ASPBLine", "空行にスペースを入れラインを表示");
    add("ASPBLineDel", "表中の半角全角スペースのみの項目を削除");
    add("AMUp", "", QKeySequence(Qt::Key_Up));
    add("AMDown", "", QKeySequence(Qt::Key_Down));
    add("AMLeft", "");
    add("AMRight", "");
    add("AHelpAbout", "バージョン情報(&A)");

    // No control uses Ctrl+S, and a save that silently does nothing would lose work.
    ActionList1->keepLive(QStringLiteral("afsave"));
    ActionList1->bind(QStringLiteral("afnew"), [this] { afnew(); });
    ActionList1->bind(QStringLiteral("afopen"), [this] { afopen(); });
    ActionList1->bind(QStringLiteral("afsave"), [this] { afsave(); });
    ActionList1->bind(QStringLiteral("afsaveas"), [this] { afsaveas(); });
    ActionList1->bind(QStringLiteral("afclose"), [this] { afclose(); });
    ActionList1->bind(QStringLiteral("AHelpAbout"), [this] { AHelpAbout(); });

    const std::pair<QAction*, const char*> bound[] = {
        {ui.N5, "afsave"},
        {ui.N6, "afsaveas"},
        {ui.X1, "afclose"},
        {ui.ADelete1, "AAppend"},
        {ui.AClear1, "AClear"},
        {ui.ADelete2, "ADelete"},
        {ui.ADuplicate1, "ADuplicate"},
        {ui.ALineClear1, "ALineClear"},
        {ui.N21, "ALineDelete"},
        {ui.ALineUp1, "AMoveLineUp"},
        {ui.AlineDown1, "AMoveLineDown"},
        {ui.AdefaultLine1, "AdefaultLine"},
        {ui.N11, "AEditView"},
        {ui.N13, "AIchiran"},
        {ui.N12, "Ashowform3"},
        {ui.About1, "AHelpAbout"},
    };
    for (const auto& [item, name] : bound)
        ActionList1->bindMenuItem(item, u8(name));

    connect(ui.N23, &QAction::toggled, this, [this](bool on) { applyHintSetting(on); });
    // Opening a top-level menu gives the commands back their keys.
    for (QMenu* menu : {ui.N1, ui.E1, ui.N10, ui.N9})
        connect(menu, &QMenu::aboutToShow, this, [this] { NClick(); });
}

void TForm1::connectFileMenu() {
    connect(ui.N2, &QAction::triggered, this, [this] { N2Click(); });
    connect(ui.N3, &QAction::triggered, this, [this] { N3Click(); });
    for (QAction* item : ui.recent)
        connect(item, &QAction::triggered, this, [this, item] { o1Click(item); });
    connect(ui.NOpenBackup, &QAction::triggered, this, [this] { NOpenBackupClick(); });
    connect(ui.NReload, &QAction::triggered, this, [this] { NReloadClick(); });
    // A file never saved has no earlier versions, and nothing to load again.
    connect(ui.N1, &QMenu::aboutToShow, this, [this] {
        ui.NOpenBackup->setEnabled(!backupDataFile().isEmpty());
        ui.NReload->setEnabled(!shownFileName().isEmpty());
    });
}

bool TForm1::isPageViewShown() const {
    return !ui.ScrollBox1->isHidden();
}

bool TForm1::isRecordListShown() const {
    return !ui.P1->isHidden();
}

// ---- closing -------------------------------------------------------------------------------

bool TForm1::FormCloseQuery() {
    TakeEditorText();
    ExitChoice = dialogs_->exitQuestion();
    bool canClose = false;
    if (ExitChoice == 1) {
        const bool saved = afsave();
        // A failed save was reported; the data stay open.
        canClose = saved && ExitChoice == 1;
    } else if (ExitChoice == 2) {
        canClose = true;
    }
    return canClose;
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (closeApproved_ || FormCloseQuery()) {
        closeApproved_ = true;
        event->accept();
        FormDestroy();
    } else {
        event->ignore();
    }
}

void TForm1::commitDataRequest(QSessionManager& manager) {
    if (closeApproved_)
        return;
    if (manager.allowsInteraction()) {
        const bool canClose = FormCloseQuery();
        manager.release();
        if (!canClose) {
            manager.cancel();
            return;
        }
    }
    // The session ends: nothing more may be asked, but the settings are kept.
    closeApproved_ = true;
    FormDestroy();
}

void TForm1::afclose() {
    close();
}

// ---- About -------------------------------------------------------------------------------

QString TForm1::FileVersionText() {
#ifdef LEDORA_VERSION_TEXT
    return QStringLiteral(LEDORA_VERSION_TEXT);
#else
    return {};
#endif
}

QString TForm1::AboutText() {
    return u8(apptext::kAppTitle) + QStringLiteral(" v") + FileVersionText() +
           QStringLiteral("\n\r") + u8(apptext::kMakerLine);
}

void TForm1::AHelpAbout() {
    if (FileVersionText().isEmpty()) {
        dialogs_->error(u8(apptext::kVersionUnreadable));
        return;
    }
    dialogs_->info(AboutText());
}

// ---- hints and the wheel --------------------------------------------------------------------

void TForm1::applyHintSetting(bool on) {
    showHints_ = on;
    if (ui.N23->isChecked() != on)
        ui.N23->setChecked(on);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui.Edit1 && Edit1Event(event))
        return true;
    if (overlayEditorEvent(watched, event))
        return true;
    if (!watched->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != this)
        return false;
    if (event->type() == QEvent::Wheel) {
        // Only the page scrolls by five lines; any other control takes the wheel itself
        // (font box, date pickers, remarks editor), and what it leaves rises to the page
        // only through the page's own parents.
        const bool onPage = widget == ui.PB1 || widget == ui.ScrollBox1 ||
                            widget == ui.ScrollBox1->viewport() || widget == ui.pageArea ||
                            widget == ui.Pl2;
        if (onPage)
            return MainWindowProcWheel(static_cast<QWheelEvent*>(event));
        hideCellEditor();
        return false;
    }
    if (event->type() == QEvent::ToolTip && !showHints_)
        return true;
    return false;
}

bool TForm1::MainWindowProcWheel(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0 && event->pixelDelta().y() == 0)
        return false;
    hideCellEditor();
    if (!isPageViewShown())
        return false;
    const auto step = (delta > 0 || (delta == 0 && event->pixelDelta().y() > 0))
                          ? QAbstractSlider::SliderSingleStepSub
                          : QAbstractSlider::SliderSingleStepAdd;
    for (int i = 0; i < kWheelLines; ++i)
        ui.ScrollBox1->verticalScrollBar()->triggerAction(step);
    return true;
}
