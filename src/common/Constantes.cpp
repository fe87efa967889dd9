#include "Constantes.h"

#include <QLocale>

namespace oxi {

QStringList ItemsDelai()
{
    QStringList items{QStringLiteral(" Aucune")};
    for (int n = 1; n <= 31; ++n)
        items << QString::number(n) + (n == 1 ? QStringLiteral(" jour av") : QStringLiteral(" jours av"));
    return items;
}

int LitDelai(const QString &item)
{
    bool ok = false;
    const int n = item.left(2).trimmed().toInt(&ok);
    return ok && n > 0 ? n : 0;
}

// Qt carries its own French names, whatever locales the system generated.
QString NomMois(int mois)
{
    return QLocale(QLocale::French, QLocale::France).monthName(mois, QLocale::LongFormat).toLower();
}

QString NomJour(int jourSemaine)
{
    return QLocale(QLocale::French, QLocale::France).dayName(jourSemaine, QLocale::LongFormat).toLower();
}

} // namespace oxi
