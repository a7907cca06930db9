// make-icons OUTDIR: the application icon in the freedesktop sizes
// (OUTDIR/<n>x<n>/apps/lifeledger.png) and as a scalable SVG
// (OUTDIR/scalable/apps/lifeledger.svg), from the same pixel art the program draws.
#include "browser/EntryIcons.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-icons OUTDIR\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QImage art = applicationIconArt();
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString dir = out + QStringLiteral("/%1x%1/apps").arg(size);
        QDir().mkpath(dir);
        if (!art.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation).save(dir + "/lifeledger.png"))
            return 1;
    }
    // One square per pixel: the same picture at any size.
    QByteArray svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 16 16\" "
                     "shape-rendering=\"crispEdges\">\n";
    for (int y = 0; y < art.height(); ++y)
        for (int x = 0; x < art.width(); ++x) {
            const QColor c = art.pixelColor(x, y);
            if (c.alpha() == 0)
                continue;
            svg += QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"1\" height=\"1\" fill=\"%3\"/>\n")
                       .arg(x)
                       .arg(y)
                       .arg(c.name())
                       .toUtf8();
        }
    svg += "</svg>\n";
    QDir().mkpath(out + "/scalable/apps");
    QFile file(out + "/scalable/apps/lifeledger.svg");
    return file.open(QIODevice::WriteOnly) && file.write(svg) == svg.size() ? 0 : 1;
}
