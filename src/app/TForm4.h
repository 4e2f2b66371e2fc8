#pragma once
// The exit question: "保存して終了", "終了" or "キャンセル".
#include <QDialog>

class QPushButton;

class TForm4 : public QDialog {
    Q_OBJECT
public:
    explicit TForm4(QWidget* parent = nullptr);

    // Shows the dialog modally and returns the answer: 0 when closed by its close box,
    // 1 save and exit, 2 exit, 3 cancel.
    int ask();
    int exitChoice() const { return exitChoice_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Button1Click(int tag);

    int exitChoice_ = 0;
    QPushButton* saveButton_ = nullptr;
};
