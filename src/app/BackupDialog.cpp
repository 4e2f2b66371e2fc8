#include "app/BackupDialog.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QThreadPool>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <mutex>

namespace {

constexpr char kCaption[] = "バックアップから開く";
constexpr char kHeading[] = "%1 の以前の版（新しい順）";
constexpr char kNone[] = "%1 のバックアップはまだありません。";
constexpr const char* kColumns[] = {"日時", "サイズ", "件数"};
constexpr char kRecords[] = "%1 件";
constexpr char kDamaged[] = "壊れています";
constexpr char kReading[] = "読み込み中";
constexpr char kOpen[] = "開く";
constexpr char kCancel[] = "キャンセル";

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

} // namespace

// The reading thread's link to the dialog; cut when the dialog goes, so that a
// generation still being read is dropped rather than shown in a dialog that is gone.
struct BackupDialog::Reading {
    std::mutex mutex;
    BackupDialog* dialog = nullptr;
};

QString BackupDialog::timeText(const QDateTime& time) {
    return time.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
}

QString BackupDialog::sizeText(qint64 bytes) {
    return QLocale(QLocale::Japanese).toString((bytes + 1023) / 1024) + QStringLiteral(" KB");
}

BackupDialog::BackupDialog(const QString& dataFile, std::vector<backups::Generation> generations,
                           QWidget* parent)
    : QDialog(parent), generations_(std::move(generations)) {
    setObjectName(QStringLiteral("BackupDialog"));
    setWindowTitle(u8(kCaption));
    const QString fileName = QFileInfo(dataFile).fileName();
    auto* heading = new QLabel(u8(generations_.empty() ? kNone : kHeading).arg(fileName), this);
    heading->setObjectName(QStringLiteral("Label1"));

    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("BackupList"));
    list_->setRootIsDecorated(false);
    list_->setColumnCount(3);
    list_->setHeaderLabels({u8(kColumns[0]), u8(kColumns[1]), u8(kColumns[2])});
    for (backups::Generation& g : generations_) {
        if (g.unread)
            g.size = QFileInfo(g.path).size(); // cheap: the count is what takes reading
        auto* item = new QTreeWidgetItem(list_);
        item->setText(0, timeText(g.time));
        item->setText(1, sizeText(g.size));
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    }
    for (int row = 0; row < list_->topLevelItemCount(); ++row)
        showCount(row);
    list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // The first that is not known to be damaged; one not read yet can be opened at once.
    for (int row = 0; row < list_->topLevelItemCount(); ++row) {
        if (generations_[size_t(row)].damage.isEmpty()) {
            list_->setCurrentItem(list_->topLevelItem(row));
            break;
        }
    }

    auto* buttons = new QDialogButtonBox(this);
    open_ = buttons->addButton(u8(kOpen), QDialogButtonBox::AcceptRole);
    open_->setObjectName(QStringLiteral("OpenButton"));
    buttons->addButton(u8(kCancel), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &BackupDialog::openChosen);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QTreeWidget::itemActivated, this, [this] { openChosen(); });
    auto updateOpen = [this] { open_->setEnabled(chosenRow() >= 0); };
    connect(list_, &QTreeWidget::currentItemChanged, this, updateOpen);
    updateOpen();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(list_);
    layout->addWidget(buttons);
    resize(420, 300);
    list_->setFocus();
    startReading();
}

BackupDialog::~BackupDialog() {
    if (reading_) {
        const std::lock_guard<std::mutex> lock(reading_->mutex);
        reading_->dialog = nullptr;
    }
}

void BackupDialog::showCount(int row) {
    const backups::Generation& g = generations_[size_t(row)];
    QTreeWidgetItem* item = list_->topLevelItem(row);
    item->setText(1, sizeText(g.size));
    if (g.unread) {
        item->setText(2, u8(kReading));
        return;
    }
    item->setText(2, g.damage.isEmpty()
                         ? u8(kRecords).arg(QLocale(QLocale::Japanese).toString(g.recordCount))
                         : u8(kDamaged));
    if (!g.damage.isEmpty()) {
        item->setFlags(Qt::NoItemFlags);
        item->setToolTip(2, g.damage);
    }
}

void BackupDialog::showRead(int row, const backups::Generation& read) {
    generations_[size_t(row)] = read;
    const bool wasCurrent = list_->currentItem() == list_->topLevelItem(row);
    showCount(row);
    if (wasCurrent && !read.damage.isEmpty()) {
        // The one shown as current cannot be opened: the next that may be, else one above.
        QTreeWidgetItem* next = nullptr;
        for (int r = row + 1; r < list_->topLevelItemCount() && !next; ++r)
            if (generations_[size_t(r)].damage.isEmpty())
                next = list_->topLevelItem(r);
        for (int r = row - 1; r >= 0 && !next; --r)
            if (generations_[size_t(r)].damage.isEmpty())
                next = list_->topLevelItem(r);
        list_->setCurrentItem(next);
    }
    open_->setEnabled(chosenRow() >= 0);
}

void BackupDialog::startReading() {
    std::vector<std::pair<int, backups::Generation>> unread;
    for (size_t row = 0; row < generations_.size(); ++row)
        if (generations_[row].unread)
            unread.emplace_back(int(row), generations_[row]);
    if (unread.empty())
        return;
    reading_ = std::make_shared<Reading>();
    reading_->dialog = this;
    // Ten generations of a large file are a gigabyte to read: never on the window's thread.
    QThreadPool::globalInstance()->start([reading = reading_, unread = std::move(unread)] {
        for (auto [row, g] : unread) {
            {
                const std::lock_guard<std::mutex> lock(reading->mutex);
                if (!reading->dialog)
                    return;
            }
            backups::read(g);
            const std::lock_guard<std::mutex> lock(reading->mutex);
            BackupDialog* dialog = reading->dialog;
            if (!dialog)
                return;
            // Delivered on the window's thread, and dropped with the dialog if it goes first.
            QMetaObject::invokeMethod(
                dialog, [dialog, row = row, g = g] { dialog->showRead(row, g); },
                Qt::QueuedConnection);
        }
    });
}

int BackupDialog::chosenRow() const {
    const int row = list_->indexOfTopLevelItem(list_->currentItem());
    if (row < 0 || !generations_[size_t(row)].damage.isEmpty())
        return -1;
    return row;
}

QString BackupDialog::chosenPath() const {
    const int row = chosenRow();
    return result() == QDialog::Accepted && row >= 0 ? generations_[size_t(row)].path : QString();
}

void BackupDialog::openChosen() {
    if (chosenRow() >= 0)
        accept();
}

void BackupDialog::keyPressEvent(QKeyEvent* event) {
    // Enter opens the current generation, whichever control has the focus.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        openChosen();
        return;
    }
    QDialog::keyPressEvent(event);
}
