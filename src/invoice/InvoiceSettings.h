#pragma once
// The qualified-invoice mode and what it prints: kept in the settings file's [Invoice]
// section, read by the page drawing. Off, the page is the plain form.
#include <QString>

namespace invoice {

inline constexpr double kDefaultReducedRate = 0.08;

struct InvoiceSettings {
    bool qualified = false;
    // "T" and 13 half-width digits, or empty for none.
    QString registrationNumber;
    // The rate of the lines marked with ※, a fraction.
    double reducedRate = kDefaultReducedRate;

    bool operator==(const InvoiceSettings&) const = default;
};

} // namespace invoice
