#pragma once
// "適格請求書の設定": the qualified-invoice mode, the registration number and the reduced
// rate in percent. OK takes the values only when the number reads as one; a number whose
// check digit is not that of a corporate number is taken after a warning.
#include "invoice/InvoiceSettings.h"

#include <QDialog>

class DialogService;
class QCheckBox;
class QLineEdit;
class QPushButton;

class InvoiceSettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit InvoiceSettingsDialog(DialogService& dialogs, QWidget* parent = nullptr);

    // The values the dialog opens with.
    void load(const invoice::InvoiceSettings& values);
    // The values OK took; those loaded until then.
    const invoice::InvoiceSettings& values() const { return values_; }

    QCheckBox* CheckBox1 = nullptr; // the mode
    QLineEdit* Edit1 = nullptr;     // the registration number
    QLineEdit* Edit2 = nullptr;     // the reduced rate in percent
    QPushButton* Button1 = nullptr; // OK
    QPushButton* Button2 = nullptr; // キャンセル

public slots:
    // OK: refuses, with its reason, what cannot be kept; the dialog then stays open.
    void accept() override;

private:
    DialogService& dialogs_;
    invoice::InvoiceSettings values_;
};
