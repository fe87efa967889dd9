// Build step: draws the program's icon at each size of IconeOxi.h into one file of raw pixels.
// Usage: dessine_icone <icon.svg> <output>
#include "IconeOxi.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3)
        return 2;
    QSvgRenderer rendu(QString::fromLocal8Bit(argv[1]));
    QFile sortie(QString::fromLocal8Bit(argv[2]));
    if (!rendu.isValid() || !sortie.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "dessine_icone : %s illisible ou %s impossible à écrire\n", argv[1], argv[2]);
        return 1;
    }
    for (const int taille : oxi::TaillesIconeOxi) {
        QImage image(taille, taille, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter peintre(&image);
        rendu.render(&peintre);
        peintre.end();
        sortie.write(reinterpret_cast<const char *>(image.constBits()), image.sizeInBytes());
    }
    return sortie.flush() ? 0 : 1;
}
