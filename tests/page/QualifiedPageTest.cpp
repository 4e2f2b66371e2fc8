// The page of a qualified invoice: registration number, rows per tax rate and the
// footnote, and, with the mode off, the page exactly as it was drawn before the mode.
#include "PageTestModel.h"
#include "page/PageRenderer.h"
#include "page/RecordingCanvas.h"

#include <QFile>
#include <QTextStream>

#include <gtest/gtest.h>

using namespace page;
using pagetest::sj;
using pagetest::TestPage;

namespace {

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Every call the renderer made, one line each, with the state in force.
QString dumpOps(const RecordingCanvas& canvas) {
    QString out;
    QTextStream s(&out);
    const char* kinds[] = {"text", "line", "frame", "fill"};
    for (const CanvasOp& op : canvas.ops()) {
        s << kinds[op.kind] << ' ';
        if (op.kind == CanvasOp::Line)
            s << op.from.x() << ',' << op.from.y() << "->" << op.to.x() << ',' << op.to.y();
        else
            s << op.rect.left() << ',' << op.rect.top() << ',' << op.rect.width() << 'x'
              << op.rect.height();
        s << " pen=" << op.pen.color.name() << '/' << op.pen.width << '/' << int(op.pen.style)
          << " brush=" << op.brush.solid << '/' << op.brush.color.name()
          << " font=" << op.font.family << '/' << op.font.pixelSize << '/' << op.font.color.name();
        if (op.kind == CanvasOp::Text)
            s << " layout=" << int(op.layout) << " [" << op.text << ']';
        s << '\n';
    }
    return out;
}

// The mixed document: two reduced-rate lines, two at the record's rate.
TestPage mixedPage() {
    TestPage p(6);
    p.setRow(1, {"※米", "2", "袋", "2480", "", ""});
    p.setRow(2, {"※お茶", "3", "本", "298", "", ""});
    p.setRow(3, {"洗剤", "2", "個", "398", "", ""});
    p.setRow(4, {"配送料", "", "", "500", "", ""});
    p.model.SalesTaxRate = 0.1;
    p.selection->SelectOnlyRow(2);
    return p;
}

QString fixture(const char* name) {
    QFile file(QStringLiteral(LEDORA_FIXTURES_DIR "/page/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

} // namespace

TEST(QualifiedPage, ModeOffDrawsMarkedLinesExactlyAsBefore) {
    TestPage p = mixedPage();
    RecordingCanvas canvas;
    DrawPage(canvas, p.model);
    const QString expected = fixture("marked-lines-mode-off.txt");
    ASSERT_FALSE(expected.isEmpty());
    EXPECT_EQ(dumpOps(canvas), expected);
}
