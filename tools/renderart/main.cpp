// renderart SVG OUTDIR WIDTHxHEIGHT...
//
// Renders one picture of the artwork to PNG at each size a window draws it at, once at 1x
// (OUTDIR/WIDTHxHEIGHT.png) and once at 2x for high-density screens
// (OUTDIR/WIDTHxHEIGHT@2x.png), the way the picture was drawn from the SVG on screen:
// antialiased, scaled to the whole size, over a transparent background. The program then
// needs no SVG renderer at run time.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char* argv[]) {
    // Text in the pictures needs the font database, not a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: renderart SVG OUTDIR WIDTHxHEIGHT...\n");
        return 2;
    }
    QSvgRenderer svg(args[1]);
    if (!svg.isValid()) {
        std::fprintf(stderr, "renderart: cannot read %s\n", qPrintable(args[1]));
        return 1;
    }
    const QDir out(args[2]);
    if (!out.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "renderart: cannot make %s\n", qPrintable(args[2]));
        return 1;
    }
    static const QRegularExpression sizePattern(QStringLiteral("^([1-9][0-9]*)x([1-9][0-9]*)$"));
    for (qsizetype i = 3; i < args.size(); ++i) {
        const QRegularExpressionMatch size = sizePattern.match(args[i]);
        if (!size.hasMatch()) {
            std::fprintf(stderr, "renderart: bad size %s\n", qPrintable(args[i]));
            return 2;
        }
        for (const int scale : {1, 2}) {
            QImage image(size.captured(1).toInt() * scale, size.captured(2).toInt() * scale,
                         QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            svg.render(&painter, QRectF(image.rect()));
            painter.end();
            const QString name =
                args[i] + (scale == 1 ? QStringLiteral(".png") : QStringLiteral("@2x.png"));
            if (!image.save(out.filePath(name), "PNG")) {
                std::fprintf(stderr, "renderart: cannot write %s\n",
                             qPrintable(out.filePath(name)));
                return 1;
            }
        }
    }
    return 0;
}
