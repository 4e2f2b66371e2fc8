#pragma once
// The invoice registration number: "T" and 13 digits. Typed text is read leniently
// (full-width characters, a lowercase t, spaces and hyphens) and kept in its plain form.
#include <QString>
#include <QStringView>

namespace invoice {

struct RegistrationNumberReading {
    enum Status {
        Empty,        // nothing but blanks and hyphens: no number
        Valid,        // `number` holds the plain form
        BadCharacter, // `badCharacter` is neither a digit nor the leading T
        WrongLength,  // `digitCount` digits instead of 13
        LeadingZero,  // the first digit is 0
    };
    Status status = Empty;
    QString number;       // "T" + 13 half-width digits when Valid
    QString badCharacter; // the first character that cannot be part of a number
    int digitCount = 0;
    // Whether the first digit is the check digit of the 12 after it under the rule for
    // corporate numbers. Individuals' numbers need not match it.
    bool checkDigitMatches = false;
};

RegistrationNumberReading ReadRegistrationNumber(QStringView typed);

// The check digit of a corporate number's 12 base digits (ASCII digits, highest first):
// 9 - (sum of Pn x Qn mod 9), Pn the nth digit counted from the lowest, Qn 1 for odd n
// and 2 for even n. -1 when `digits` is not 12 ASCII digits.
int CorporateCheckDigit(QStringView digits);

// The message refusing a reading that is neither empty nor valid; empty otherwise.
QString RefusalMessage(const RegistrationNumberReading& reading);

// The question asked for a valid number whose check digit does not match.
QString CheckDigitWarning(const RegistrationNumberReading& reading);

} // namespace invoice
