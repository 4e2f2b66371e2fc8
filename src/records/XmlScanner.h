#pragma once
// A small scanner for the XML datapacket: elements and attributes over CP932 bytes
// taken as they are. No DTD, no entities beyond the character escapes.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class XmlScanner {
public:
    struct Attr {
        QByteArrayView name;
        QByteArrayView raw; // value as written, escapes not yet resolved
    };
    enum class Token { Start, End, Eof, Error };

    explicit XmlScanner(QByteArrayView text) : s_(text) {}

    // The next element start or end; declarations, comments and text are skipped.
    Token next();
    QByteArrayView name() const { return name_; }
    bool selfClosing() const { return selfClosing_; }
    // Attributes of the last start tag: call repeatedly until it returns false.
    bool nextAttr(Attr& attr);
    QString error() const { return error_; }

    // Resolves &amp; &lt; &gt; &quot; &apos; &#N; &#xH; (N < 256 is that byte).
    static bool unescape(QByteArrayView raw, QByteArray& out);
    // The same, appended to `out`; on failure `out` is left as it was.
    static bool unescapeAppend(QByteArrayView raw, QByteArray& out);

private:
    Token fail(const char* why);
    QByteArrayView s_;
    qsizetype pos_ = 0;
    qsizetype attrPos_ = 0;
    qsizetype tagEnd_ = 0;
    QByteArrayView name_;
    bool selfClosing_ = false;
    QString error_;
};
