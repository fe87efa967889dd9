#include "Region.h"
#include "Contexte.h"

namespace oxi {

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
            Contexte::Courant().codeRegion = QString::fromLatin1(ligne.code);
            return true;
        }
    }
    Contexte::Courant().codeRegion = QStringLiteral("E");
    return false;
}

QString CodeRegion()
{
    return Contexte::Courant().codeRegion;
}

int PremierJourSemaine()
{
    return Contexte::Courant().premierJour;
}

void FixePremierJourSemaine(int jour)
{
    Contexte::Courant().premierJour = jour;
}

} // namespace oxi
