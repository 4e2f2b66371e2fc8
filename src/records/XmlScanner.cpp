#include "records/XmlScanner.h"

#include "platform/Cp932.h"

#include <cstring>

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool isNameChar(char c) {
    return !isSpace(c) && c != '=' && c != '/' && c != '>' && c != '<';
}

} // namespace

XmlScanner::Token XmlScanner::fail(const char* why) {
    error_ = QString::fromUtf8(why);
    pos_ = s_.size();
    return Token::Error;
}

XmlScanner::Token XmlScanner::next() {
    const char* d = s_.data();
    const qsizetype n = s_.size();
    for (;;) {
        const void* lt = pos_ < n ? std::memchr(d + pos_, '<', size_t(n - pos_)) : nullptr;
        if (!lt)
            return Token::Eof;
        pos_ = static_cast<const char*>(lt) - d;
        if (pos_ + 1 >= n)
            return fail("unexpected end of the document");
        const char c = d[pos_ + 1];
        if (c == '?' || c == '!') {
            if (c == '!' && s_.sliced(pos_).startsWith("<!--")) {
                const qsizetype end = s_.indexOf("-->", pos_ + 4);
                if (end < 0)
                    return fail("unterminated comment");
                pos_ = end + 3;
                continue;
            }
            if (c == '!')
                return fail("document type declarations are not read");
            const qsizetype end = s_.indexOf("?>", pos_ + 2);
            if (end < 0)
                return fail("unterminated declaration");
            pos_ = end + 2;
            continue;
        }
        const bool isEnd = c == '/';
        qsizetype p = pos_ + (isEnd ? 2 : 1);
        const qsizetype nameStart = p;
        while (p < n && isNameChar(d[p]))
            ++p;
        if (p == nameStart)
            return fail("element without a name");
        name_ = s_.sliced(nameStart, p - nameStart);
        // The tag ends at the first '>' outside a quoted value.
        char quote = 0;
        qsizetype q = p;
        for (; q < n; ++q) {
            const char ch = d[q];
            if (quote) {
                if (ch == quote)
                    quote = 0;
            } else if (ch == '"' || ch == '\'') {
                quote = ch;
            } else if (ch == '>') {
                break;
            }
        }
        if (q >= n)
            return fail("unterminated tag");
        selfClosing_ = !isEnd && d[q - 1] == '/' && q - 1 >= p;
        attrPos_ = p;
        tagEnd_ = selfClosing_ ? q - 1 : q;
        pos_ = q + 1;
        return isEnd ? Token::End : Token::Start;
    }
}

bool XmlScanner::nextAttr(Attr& attr) {
    const char* d = s_.data();
    qsizetype p = attrPos_;
    while (p < tagEnd_ && isSpace(d[p]))
        ++p;
    if (p >= tagEnd_) {
        attrPos_ = tagEnd_;
        return false;
    }
    const qsizetype nameStart = p;
    while (p < tagEnd_ && isNameChar(d[p]))
        ++p;
    attr.name = s_.sliced(nameStart, p - nameStart);
    while (p < tagEnd_ && isSpace(d[p]))
        ++p;
    if (p >= tagEnd_ || d[p] != '=' || attr.name.isEmpty()) {
        error_ = QStringLiteral("malformed attribute");
        attrPos_ = tagEnd_;
        return false;
    }
    ++p;
    while (p < tagEnd_ && isSpace(d[p]))
        ++p;
    if (p >= tagEnd_ || (d[p] != '"' && d[p] != '\'')) {
        error_ = QStringLiteral("attribute value without quotes");
        attrPos_ = tagEnd_;
        return false;
    }
    const char quote = d[p++];
    const void* end = std::memchr(d + p, quote, size_t(tagEnd_ - p));
    if (!end) {
        error_ = QStringLiteral("unterminated attribute value");
        attrPos_ = tagEnd_;
        return false;
    }
    const qsizetype e = static_cast<const char*>(end) - d;
    attr.raw = s_.sliced(p, e - p);
    attrPos_ = e + 1;
    return true;
}

namespace {

// The value of "#N" or "#xH" (without '&' and ';'); false when it is no number.
bool characterCode(QByteArrayView ent, uint& code) {
    const bool hex = ent.size() > 1 && (ent[1] == 'x' || ent[1] == 'X');
    const qsizetype from = hex ? 2 : 1;
    if (ent.size() <= from)
        return false;
    code = 0;
    for (qsizetype i = from; i < ent.size(); ++i) {
        const char c = ent[i];
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0)
            return false;
        code = code * (hex ? 16 : 10) + uint(digit);
        if (code > 0x10FFFF)
            return false;
    }
    return true;
}

} // namespace

bool XmlScanner::unescape(QByteArrayView raw, QByteArray& out) {
    const char* d = raw.data();
    const qsizetype n = raw.size();
    const void* firstAmp = n ? std::memchr(d, '&', size_t(n)) : nullptr;
    if (!firstAmp) {
        out = raw.toByteArray();
        return true;
    }
    // Escapes only shrink the text, so the result fits in the raw size.
    out.resize(n);
    char* o = out.data();
    qsizetype w = 0;
    qsizetype i = 0;
    while (i < n) {
        const void* amp = std::memchr(d + i, '&', size_t(n - i));
        const qsizetype a = amp ? static_cast<const char*>(amp) - d : n;
        std::memcpy(o + w, d + i, size_t(a - i));
        w += a - i;
        if (a == n)
            break;
        // An entity is short: look for its ';' only a few bytes ahead.
        const qsizetype limit = std::min(n, a + 12);
        const void* semiPtr = std::memchr(d + a, ';', size_t(limit - a));
        if (!semiPtr)
            return false;
        const qsizetype semi = static_cast<const char*>(semiPtr) - d;
        const QByteArrayView ent(d + a + 1, semi - a - 1);
        uint code = 0;
        if (ent == "amp")
            o[w++] = '&';
        else if (ent == "lt")
            o[w++] = '<';
        else if (ent == "gt")
            o[w++] = '>';
        else if (ent == "quot")
            o[w++] = '"';
        else if (ent == "apos")
            o[w++] = '\'';
        else if (!ent.isEmpty() && ent[0] == '#' && characterCode(ent, code)) {
            if (code < 256) {
                o[w++] = char(code);
            } else {
                const char32_t ch = code;
                const QByteArray bytes = cp932::encode(QString::fromUcs4(&ch, 1));
                // "&#N;" with N >= 256 takes at least 6 bytes; CP932 needs at most 2.
                std::memcpy(o + w, bytes.constData(), size_t(std::min<qsizetype>(bytes.size(), 2)));
                w += std::min<qsizetype>(bytes.size(), 2);
            }
        } else {
            return false;
        }
        i = semi + 1;
    }
    out.truncate(w);
    return true;
}
