#pragma once
// The sender-items dialog: the five sender lines, their alignments and their line pitch,
// edited live on the main window's values; Cancel puts back what the dialog found.
#include "sender/SenderItemsModel.h"

#include <QDialog>

#include <array>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class SenderGrid;
class UpDown;

class TForm3 : public QDialog {
    Q_OBJECT
public:
    explicit TForm3(sender::SenderItemsAccess access, QWidget* parent = nullptr);

    // Column 1 of the grid, before each showing (Ashowform3Execute of the main window).
    void fillLines(const std::array<QByteArray, sender::kLineCount>& lines);

    const sender::SenderItemsModel& model() const { return model_; }

    SenderGrid* sg1 = nullptr;
    std::array<QToolButton*, 3> sb{}; // sb0 left, sb1 centre, sb2 right
    QLabel* Label6 = nullptr;
    QLineEdit* Edit15 = nullptr;
    UpDown* UpDown5 = nullptr;
    QPushButton* Button1 = nullptr; // OK
    QPushButton* Button2 = nullptr; // Cancel

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void sg1SelectCell(int col, int row);
    void sg1SetEditText(int row, const QString& text);
    void sbMUp(int align);
    void UpDown5Click();
    void Button1Click();
    void Button2Click();

    // The five text cells, with `typed` in place of line `row`'s cell while it is edited.
    std::array<QByteArray, sender::kLineCount> cellLines(int row = -1,
                                                         const QString& typed = {}) const;
    void linesFromCells();
    void pressButton(int button);

    sender::SenderItemsModel model_;
    QButtonGroup* alignGroup_ = nullptr;
    bool filling_ = false;
};
