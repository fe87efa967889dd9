#include "TexteLignes.h"

#include <cmath>

namespace oxi {

int ArrondiPair(double valeur)
{
    const double r = std::round(valeur);
    // std::round sends halves away from zero; bring them back to the even neighbour.
    if (std::fabs(valeur - std::trunc(valeur)) == 0.5 && std::fmod(r, 2.0) != 0)
        return static_cast<int>(r - std::copysign(1.0, valeur));
    return static_cast<int>(r);
}

QString DecoupeLignes(QString &texte, int largeur, double &lignes)
{
    QString resultat;
    lignes = 0;
    if (largeur < 1) {
        texte.clear();
        return resultat;
    }
    for (;;) {
        QString ligne = texte.left(largeur);
        if (ligne.isEmpty())
            return resultat;
        lignes += 1;
        if (texte.size() <= largeur) {
            resultat += ligne;
            texte.clear();
            continue;
        }
        if (texte.at(largeur) != QLatin1Char(' ')) {
            const int p = ligne.lastIndexOf(QLatin1Char(' ')) + 1; // 1-based; 0 when no space
            if (p > 0)
                ligne = texte.left(p);
            // else: a word longer than a line is cut at `largeur`
        }
        texte.remove(0, ligne.size());
        resultat += ligne + QStringLiteral("\r\n");
    }
}

QString CompteLignes(const QString &texte, int largeur, double &lignes)
{
    if (largeur < 1)
        return texte;
    const int n = texte.size();
    if (n % largeur > 0)
        lignes = n / largeur + lignes + 1;
    else
        lignes = ArrondiPair(double(n) / largeur + lignes);
    lignes += texte.count(QLatin1Char('\r'));
    return texte;
}

} // namespace oxi
