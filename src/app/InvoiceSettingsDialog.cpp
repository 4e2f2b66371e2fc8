#include "app/InvoiceSettingsDialog.h"

#include "app/DialogService.h"
#include "invoice/RateGroups.h"
#include "invoice/RegistrationNumber.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const char* const kCaption = "適格請求書の設定";
const char* const kModeCheck = "適格請求書の形式で表示・印刷する";
const char* const kNumberLabel = "登録番号";
const char* const kRateLabel = "軽減税率(%)";
const char* const kCancel = "キャンセル";
const char* const kBadRate = "軽減税率は 0 より大きく 100 未満の数で入力してください。";

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

// The percent box as a fraction; none when it holds no rate above 0 and below 100
// (at 0 % the marked lines would print a group that states no rate).
std::optional<double> rateFromPercent(const QString& typed) {
    bool ok = false;
    const double percent = typed.normalized(QString::NormalizationForm_KC).trimmed().toDouble(&ok);
    if (!ok || !(percent > 0 && percent < 100))
        return std::nullopt;
    return percent / 100;
}

} // namespace

InvoiceSettingsDialog::InvoiceSettingsDialog(DialogService& dialogs, QWidget* parent)
    : QDialog(parent), dialogs_(dialogs) {
    setObjectName(QStringLiteral("InvoiceSettingsDialog"));
    setWindowTitle(u8(kCaption));
    CheckBox1 = new QCheckBox(u8(kModeCheck), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setPlaceholderText(QStringLiteral("T1234567890123"));
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setMaximumWidth(60);

    auto* buttons = new QDialogButtonBox(this);
    Button1 = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = buttons->addButton(u8(kCancel), QDialogButtonBox::RejectRole);
    Button2->setObjectName(QStringLiteral("Button2"));
    connect(buttons, &QDialogButtonBox::accepted, this, &InvoiceSettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &InvoiceSettingsDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(u8(kNumberLabel), Edit1);
    form->addRow(u8(kRateLabel), Edit2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CheckBox1);
    layout->addLayout(form);
    layout->addWidget(buttons);
    load(values_);
}

void InvoiceSettingsDialog::load(const invoice::InvoiceSettings& values) {
    values_ = values;
    CheckBox1->setChecked(values.qualified);
    Edit1->setText(values.registrationNumber);
    Edit2->setText(invoice::RatePercentText(values.reducedRate));
    Edit1->setFocus(Qt::OtherFocusReason);
}

void InvoiceSettingsDialog::accept() {
    const invoice::RegistrationNumberReading number =
        invoice::ReadRegistrationNumber(Edit1->text());
    const QString refusal = invoice::RefusalMessage(number);
    if (!refusal.isEmpty()) {
        dialogs_.error(refusal);
        Edit1->setFocus(Qt::OtherFocusReason);
        return;
    }
    const std::optional<double> rate = rateFromPercent(Edit2->text());
    if (!rate) {
        dialogs_.error(u8(kBadRate));
        Edit2->setFocus(Qt::OtherFocusReason);
        return;
    }
    Edit1->setText(number.number);
    // Individuals' numbers come from the tax office and need not follow the rule.
    if (number.status == invoice::RegistrationNumberReading::Valid && !number.checkDigitMatches &&
        !dialogs_.confirm(invoice::CheckDigitWarning(number))) {
        Edit1->setFocus(Qt::OtherFocusReason);
        return;
    }
    values_ = {CheckBox1->isChecked(), number.number, *rate};
    QDialog::accept();
}
