#pragma once
// "バックアップから開く": the generations of the open data file, newest first, with their
// date and time, size and record count. A damaged one is shown as such and cannot be chosen.
// The dialog shows at once; generations not read yet are read on another thread and their
// counts filled in as each is read.
#include "records/BackupGenerations.h"

#include <QDialog>

#include <memory>
#include <vector>

class QPushButton;
class QTreeWidget;

class BackupDialog : public QDialog {
    Q_OBJECT
public:
    BackupDialog(const QString& dataFile, std::vector<backups::Generation> generations,
                 QWidget* parent = nullptr);
    ~BackupDialog() override;

    // The generation chosen; empty unless the dialog was accepted on a sound one.
    QString chosenPath() const;

    // How a generation's time, size and record count are shown, also in the window's title.
    static QString timeText(const QDateTime& time);
    static QString sizeText(qint64 bytes);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The row shown as current, when it is a sound generation; -1 otherwise.
    int chosenRow() const;
    void openChosen();
    void showCount(int row);
    // Shows the generation read at `row`: its count, or that it is damaged.
    void showRead(int row, const backups::Generation& read);
    void startReading();

    struct Reading;
    std::shared_ptr<Reading> reading_; // shared with the thread that reads
    std::vector<backups::Generation> generations_;
    QTreeWidget* list_ = nullptr;
    QPushButton* open_ = nullptr;
};
