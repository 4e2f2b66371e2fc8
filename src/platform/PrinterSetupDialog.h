#pragma once
// The printer set-up dialog: printer, paper and orientation, with OK and キャンセル.
// It only chooses; it never prints. The window calls it through its dialog seam so
// tests can answer it without a modal dialog.
#include <QDialog>

class PrinterDevice;
class QComboBox;
class QRadioButton;

class PrinterSetupDialog : public QDialog {
    Q_OBJECT
public:
    PrinterSetupDialog(PrinterDevice& device, QWidget* parent = nullptr);

    // OK: the chosen printer, paper and orientation go to the device, then it closes.
    void accept() override;

private:
    void fillPapers();

    PrinterDevice& device_;
    QComboBox* printerBox_ = nullptr;
    QComboBox* paperBox_ = nullptr;
    QRadioButton* portrait_ = nullptr;
    QRadioButton* landscape_ = nullptr;
};

// Runs the dialog on the device; true when confirmed.
bool runPrinterSetupDialog(PrinterDevice& device, QWidget* parent);
