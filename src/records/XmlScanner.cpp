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

bool XmlScanner::unescape(QByteArrayView raw, QByteArray& out) {
    out.clear();
    const qsizetype amp = raw.indexOf('&');
    if (amp < 0) {
        out = raw.toByteArray();
        return true;
    }
    out.reserve(raw.size());
    out.append(raw.first(amp));
    for (qsizetype i = amp; i < raw.size();) {
        const char c = raw[i];
        if (c != '&') {
            out.append(c);
            ++i;
            continue;
        }
        const qsizetype semi = raw.indexOf(';', i);
        if (semi < 0 || semi - i > 12)
            return false;
        const QByteArrayView ent = raw.sliced(i + 1, semi - i - 1);
        if (ent == "amp")
            out.append('&');
        else if (ent == "lt")
            out.append('<');
        else if (ent == "gt")
            out.append('>');
        else if (ent == "quot")
            out.append('"');
        else if (ent == "apos")
            out.append('\'');
        else if (ent.size() >= 2 && ent[0] == '#') {
            bool ok = false;
            const uint code = (ent[1] == 'x' || ent[1] == 'X')
                                  ? ent.sliced(2).toByteArray().toUInt(&ok, 16)
                                  : ent.sliced(1).toByteArray().toUInt(&ok, 10);
            if (!ok || code > 0x10FFFF)
                return false;
            if (code < 256)
                out.append(char(code));
            else {
                const char32_t ch = code;
                out.append(cp932::encode(QString::fromUcs4(&ch, 1)));
            }
        } else {
            return false;
        }
        i = semi + 1;
    }
    return true;
}
