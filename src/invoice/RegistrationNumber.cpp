#include "invoice/RegistrationNumber.h"

namespace invoice {

namespace {

constexpr int kDigits = 13;

const char* const kBadCharacter =
    "登録番号に使えない文字「%1」があります。\n\rT に続けて13桁の数字を入力してください。";
const char* const kWrongLength =
    "登録番号の数字が%1桁です。\n\rT に続けて13桁の数字を入力してください。";
const char* const kLeadingZero = "登録番号の数字は 0 で始まりません。\n\r番号を確かめてください。";
const char* const kCheckDigit =
    "登録番号 %1 は法人番号のチェックデジットと合いません。\n\r"
    "個人事業者の番号であれば、このまま使えます。この番号を使いますか？";

// Separators people type inside the number, after full-width forms became half-width.
bool isSeparator(char16_t c) {
    switch (c) {
    case u' ':
    case u'\t':
    case u'-':
    case u'\u2010': // hyphen
    case u'\u2011': // non-breaking hyphen
    case u'\u2012': // figure dash
    case u'\u2013': // en dash
    case u'\u2014': // em dash
    case u'\u2015': // horizontal bar
    case u'\u2212': // minus sign
    case u'\u30FC': // the long vowel mark, which an input method often gives for "-"
        return true;
    default:
        return false;
    }
}

} // namespace

int CorporateCheckDigit(QStringView digits) {
    if (digits.size() != kDigits - 1)
        return -1;
    int sum = 0;
    for (int n = 1; n <= kDigits - 1; ++n) {
        const char16_t c = digits[digits.size() - n].unicode();
        if (c < u'0' || c > u'9')
            return -1;
        sum += (c - u'0') * (n % 2 == 1 ? 1 : 2);
    }
    return 9 - sum % 9;
}

RegistrationNumberReading ReadRegistrationNumber(QStringView typed) {
    RegistrationNumberReading r;
    // Full-width digits, letters and spaces become their plain forms.
    const QString text = typed.toString().normalized(QString::NormalizationForm_KC);
    bool leadingT = false;
    QString digits;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (isSeparator(c))
            continue;
        if (c >= u'0' && c <= u'9') {
            digits += QChar(c);
        } else if ((c == u'T' || c == u't') && !leadingT && digits.isEmpty()) {
            leadingT = true;
        } else {
            const bool pair = text[i].isHighSurrogate() && i + 1 < text.size();
            r.status = RegistrationNumberReading::BadCharacter;
            r.badCharacter = text.mid(i, pair ? 2 : 1);
            return r;
        }
    }
    r.digitCount = int(digits.size());
    if (!leadingT && digits.isEmpty())
        return r;
    if (digits.size() != kDigits) {
        r.status = RegistrationNumberReading::WrongLength;
        return r;
    }
    if (digits[0] == u'0') {
        r.status = RegistrationNumberReading::LeadingZero;
        return r;
    }
    r.status = RegistrationNumberReading::Valid;
    r.number = QLatin1Char('T') + digits;
    r.checkDigitMatches =
        CorporateCheckDigit(QStringView(digits).mid(1)) == digits[0].unicode() - u'0';
    return r;
}

QString RefusalMessage(const RegistrationNumberReading& reading) {
    switch (reading.status) {
    case RegistrationNumberReading::BadCharacter:
        return QString::fromUtf8(kBadCharacter).arg(reading.badCharacter);
    case RegistrationNumberReading::WrongLength:
        return QString::fromUtf8(kWrongLength).arg(reading.digitCount);
    case RegistrationNumberReading::LeadingZero:
        return QString::fromUtf8(kLeadingZero);
    default:
        return {};
    }
}

QString CheckDigitWarning(const RegistrationNumberReading& reading) {
    return QString::fromUtf8(kCheckDigit).arg(reading.number);
}

} // namespace invoice
