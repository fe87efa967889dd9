#include "Region.h"
#include "Plateforme.h"

namespace oxi {

namespace {
QString codeRegion = QStringLiteral("E");
int premierJour = 2;
} // namespace

bool TestParamRegionaux()
{
    static const struct
    {
        const char *identifiant;
        const char *code;
    } table[] = {
        {"080c", "B"}, {"0c0c", "C"}, {"140c", "L"}, {"040c", "F"}, {"100c", "S"},
    };
    const QString identifiant = PlateformeCourante().IdentifiantLangue().left(4);
    for (const auto &ligne : table) {
        if (identifiant == QLatin1String(ligne.identifiant)) {
            codeRegion = QString::fromLatin1(ligne.code);
            return true;
        }
    }
    codeRegion = QStringLiteral("E");
    return false;
}

QString CodeRegion()
{
    return codeRegion;
}

int PremierJourSemaine()
{
    return premierJour;
}

void FixePremierJourSemaine(int jour)
{
    premierJour = jour;
}

} // namespace oxi
