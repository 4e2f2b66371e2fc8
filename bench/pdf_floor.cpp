// The floor for a whole ledora-render process: a bare Qt program that writes a comparable
// one-page A4 PDF with QPdfWriter (a title, a recipient, 60 lines of Japanese text and
// numbers, rules; IPAGothic embedded), so the two can be timed side by side:
//
//   bench_pdf_floor OUT.pdf
//   hyperfine -N --warmup 3 'bench_pdf_floor floor.pdf' 'ledora-render big.dat one.pdf'
#include <QFont>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>

#include <cstdio>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: bench_pdf_floor OUT.pdf\n", stderr);
        return 2;
    }
    QPdfWriter writer(QString::fromLocal8Bit(argv[1]));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(300);
    QPainter painter(&writer);
    if (!painter.isActive()) {
        std::fputs("bench_pdf_floor: cannot write the file\n", stderr);
        return 1;
    }
    const int width = writer.width();
    QFont font(QStringLiteral("IPAGothic"));
    font.setPixelSize(80);
    painter.setFont(font);
    painter.drawText(QRect(0, 100, width, 120), Qt::AlignCenter, QStringLiteral("  御 請 求 書  "));
    font.setPixelSize(50);
    painter.setFont(font);
    painter.drawText(QRect(150, 300, 1200, 70), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("山田商店 第12支店 様"));
    painter.drawLine(150, 370, 1300, 370);
    font.setPixelSize(34);
    painter.setFont(font);
    const int top = 500, pitch = 50, left = 150, right = width - 150;
    for (int i = 0; i < 60; ++i) {
        const int y = top + i * pitch;
        painter.drawText(
            QRect(left, y, 900, pitch), Qt::AlignLeft | Qt::AlignVCenter,
            QStringLiteral("商品%1 規格Ａ-%2 特注 納期～%3日").arg(i + 1).arg(i % 97).arg(i));
        painter.drawText(QRect(1100, y, 200, pitch), Qt::AlignRight | Qt::AlignVCenter,
                         QString::number(i % 7 + 1));
        painter.drawText(QRect(1350, y, 300, pitch), Qt::AlignRight | Qt::AlignVCenter,
                         QString::number(1200 + i * 10));
        painter.drawText(QRect(1700, y, 400, pitch), Qt::AlignRight | Qt::AlignVCenter,
                         QString::number((i % 7 + 1) * (1200 + i * 10)));
        painter.drawLine(left, y + pitch, right, y + pitch);
    }
    for (const int x : {left, 1050, 1325, 1675, 2125, right})
        painter.drawLine(x, top, x, top + 60 * pitch);
    painter.end();
    return 0;
}
