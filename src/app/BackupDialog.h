#pragma once
// "バックアップから開く": the generations of the open data file, newest first, with their
// date and time, size and record count. A damaged one is shown as such and cannot be chosen.
#include "records/BackupGenerations.h"

#include <QDialog>

#include <vector>

class QPushButton;
class QTreeWidget;

class BackupDialog : public QDialog {
    Q_OBJECT
public:
    BackupDialog(const QString& dataFile, std::vector<backups::Generation> generations,
                 QWidget* parent = nullptr);

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

    std::vector<backups::Generation> generations_;
    QTreeWidget* list_ = nullptr;
    QPushButton* open_ = nullptr;
};
