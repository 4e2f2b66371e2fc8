#pragma once
// Reads a PDF back with poppler's command-line tools: page count, page size and the
// words with their boxes in points, page by page.
#include <QFileInfo>
#include <QList>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QSizeF>
#include <QString>
#include <QStringList>

namespace pdfread {

inline QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

inline bool havePoppler() {
    return QFileInfo::exists(QStringLiteral("/usr/bin/pdfinfo")) &&
           QFileInfo::exists(QStringLiteral("/usr/bin/pdftotext"));
}

struct Word {
    QString text;
    QRectF box; // points, origin at the page's top-left corner
};

struct Page {
    QSizeF size; // points
    QList<Word> words;
    QString text() const {
        QStringList all;
        for (const Word& w : words)
            all << w.text;
        return all.join(u' ');
    }
};

// Every page of the file; empty when it cannot be read.
inline QList<Page> readPages(const QString& file) {
    QList<Page> pages;
    const QString html = run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), file, "-"});
    static const QRegularExpression tag(
        QStringLiteral(R"re(<page width="([\d.]+)" height="([\d.]+)">|<word xMin="([\d.]+)" )re"
                       R"re(yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (!m.captured(1).isEmpty()) {
            pages.append(Page{QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()), {}});
        } else if (!pages.isEmpty()) {
            const QRectF box(QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()),
                             QPointF(m.captured(5).toDouble(), m.captured(6).toDouble()));
            pages.last().words.append(Word{m.captured(7), box});
        }
    }
    return pages;
}

// The page count pdfinfo reports (independent of the text extraction); -1 if unreadable.
inline int pageCount(const QString& file) {
    const auto m = QRegularExpression(QStringLiteral(R"(Pages:\s+(\d+))"))
                       .match(run(QStringLiteral("pdfinfo"), {file}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// A field of the document information pdfinfo reports ("Title", "Creator"); empty if absent.
inline QString infoField(const QString& file, const QString& field) {
    const QString info =
        run(QStringLiteral("pdfinfo"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), file});
    const auto m = QRegularExpression(QStringLiteral(R"(^%1:[ \t]+(.*)$)").arg(field),
                                      QRegularExpression::MultilineOption)
                       .match(info);
    return m.hasMatch() ? m.captured(1).trimmed() : QString();
}

// Names of the fonts pdffonts lists as not embedded; empty when every font is (or the
// file has no text at all, which the caller checks otherwise).
inline QStringList fontsNotEmbedded(const QString& file) {
    QStringList missing;
    // name type encoding emb sub uni object-id generation, after two header lines
    const QStringList lines = run(QStringLiteral("pdffonts"), {file}).trimmed().split(u'\n');
    for (const QString& line : lines.mid(2)) {
        const QStringList cols = line.split(u' ', Qt::SkipEmptyParts);
        if (cols.size() < 6 || cols[cols.size() - 5] != QStringLiteral("yes"))
            missing << line;
    }
    return missing;
}

} // namespace pdfread
