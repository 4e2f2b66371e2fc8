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
        // The tag ends at the first '>' outside a quoted value; a value is skipped whole.
        qsizetype q = p;
        while (q < n) {
            const char ch = d[q];
            if (ch == '>')
                break;
            if (ch == '"' || ch == '\'') {
                const void* close = std::memchr(d + q + 1, ch, size_t(n - q - 1));
                if (!close)
                    return fail("unterminated tag");
                q = static_cast<const char*>(close) - d;
            }
            ++q;
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

int digitValue(char c, bool hex) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (hex && c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (hex && c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Writes the character `code` as CP932 (a code below 256 is that byte); returns the
// bytes written. "&#N;" with N >= 256 takes at least 6 bytes; CP932 needs at most 2.
qsizetype putCharacter(uint code, char* out) {
    if (code < 256) {
        *out = char(code);
        return 1;
    }
    const char32_t ch = code;
    const QByteArray bytes = cp932::encode(QString::fromUcs4(&ch, 1));
    const qsizetype n = std::min<qsizetype>(bytes.size(), 2);
    std::memcpy(out, bytes.constData(), size_t(n));
    return n;
}

// The character of "amp", "lt", "gt", "quot" or "apos"; 0 for any other name.
char namedEntity(QByteArrayView ent) {
    static constexpr struct {
        char name[5];
        char value;
    } entities[] = {{"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    for (const auto& e : entities)
        if (ent == QByteArrayView(e.name, qsizetype(std::strlen(e.name))))
            return e.value;
    return 0;
}

} // namespace

bool XmlScanner::unescape(QByteArrayView raw, QByteArray& out) {
    out.resize(0);
    return unescapeAppend(raw, out);
}

bool XmlScanner::unescapeAppend(QByteArrayView raw, QByteArray& out) {
    const char* d = raw.data();
    const qsizetype n = raw.size();
    const void* firstAmp = n ? std::memchr(d, '&', size_t(n)) : nullptr;
    if (!firstAmp) {
        out.append(raw);
        return true;
    }
    // Escapes only shrink the text, so the result fits in the raw size.
    const qsizetype base = out.size();
    out.resize(base + n);
    char* o = out.data() + base;
    qsizetype w = 0;
    qsizetype i = 0;
    auto failed = [&] {
        out.truncate(base);
        return false;
    };
    while (i < n) {
        const void* amp = std::memchr(d + i, '&', size_t(n - i));
        const qsizetype a = amp ? static_cast<const char*>(amp) - d : n;
        std::memcpy(o + w, d + i, size_t(a - i));
        w += a - i;
        if (a == n)
            break;
        // An entity is short: look for its ';' only a few bytes ahead.
        const qsizetype limit = std::min(n, a + 12);
        if (a + 1 < limit && d[a + 1] == '#') {
            // Character references (every line end of a text) are read in one pass.
            const bool hex = a + 2 < limit && (d[a + 2] == 'x' || d[a + 2] == 'X');
            qsizetype j = a + (hex ? 3 : 2);
            const qsizetype firstDigit = j;
            uint code = 0;
            for (; j < limit; ++j) {
                const int digit = digitValue(d[j], hex);
                if (digit < 0)
                    break;
                code = code * (hex ? 16 : 10) + uint(digit);
                if (code > 0x10FFFF)
                    return failed();
            }
            if (j == firstDigit || j >= limit || d[j] != ';')
                return failed();
            w += putCharacter(code, o + w);
            i = j + 1;
            continue;
        }
        const void* semiPtr = std::memchr(d + a, ';', size_t(limit - a));
        if (!semiPtr)
            return failed();
        const qsizetype semi = static_cast<const char*>(semiPtr) - d;
        const QByteArrayView ent(d + a + 1, semi - a - 1);
        const char named = namedEntity(ent);
        if (!named)
            return failed();
        o[w++] = named;
        i = semi + 1;
    }
    out.truncate(base + w);
    return true;
}
