#include "Polices.h"

#include <QStringList>

namespace oxi {

void InstallePolices()
{
    QFont::insertSubstitutions(QStringLiteral("Berthold Garamond"),
                               QStringList{QStringLiteral("EB Garamond"), QStringLiteral("EB Garamond 12")});
    QFont::insertSubstitutions(QStringLiteral("Arial"),
                               QStringList{QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Tahoma"), QStringList{QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Verdana"), QStringList{QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Arial Black"), QStringList{QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), QStringList{QStringLiteral("DejaVu Sans")});
}

QFont Police(const QString &famille, double points, bool gras, bool italique)
{
    // Debian's EB Garamond 12 Bold lacks the accented letters: a bold Garamond
    // is drawn from the complete 08 design, emboldened by Qt.
    const bool garamondGras = gras && famille == QLatin1String("Berthold Garamond");
    QFont police(garamondGras ? QStringLiteral("EB Garamond 08") : famille);
    police.setPointSizeF(points);
    // Arial Black has no Debian twin: a black weight of the fallback stands in.
    police.setWeight(famille == QLatin1String("Arial Black") ? QFont::Black : (gras ? QFont::Bold : QFont::Normal));
    police.setItalic(italique);
    return police;
}

} // namespace oxi
