#include "app/BackupDialog.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr char kCaption[] = "バックアップから開く";
constexpr char kHeading[] = "%1 の以前の版（新しい順）";
constexpr char kNone[] = "%1 のバックアップはまだありません。";
constexpr const char* kColumns[] = {"日時", "サイズ", "件数"};
constexpr char kRecords[] = "%1 件";
constexpr char kDamaged[] = "壊れています";
constexpr char kOpen[] = "開く";
constexpr char kCancel[] = "キャンセル";

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

} // namespace

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
    const QLocale japanese(QLocale::Japanese);
    for (const backups::Generation& g : generations_) {
        auto* item = new QTreeWidgetItem(list_);
        item->setText(0, timeText(g.time));
        item->setText(1, sizeText(g.size));
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        item->setText(2, g.damage.isEmpty() ? u8(kRecords).arg(japanese.toString(g.recordCount))
                                            : u8(kDamaged));
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        if (!g.damage.isEmpty()) {
            item->setFlags(Qt::NoItemFlags);
            item->setToolTip(2, g.damage);
        }
    }
    list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
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
