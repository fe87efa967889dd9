#pragma once
#include <QString>

// The per-user settings store: text values by section and key under the
// application name (~/.config/oxi/oxi.conf). Only the exact text "1" means yes.
namespace oxi {

struct Reglage
{
    const char *section;
    const char *cle;
};

inline constexpr Reglage ReglagePremiereFois{"PremiereFois", "Affich"};
inline constexpr Reglage ReglageEphemerides{"Ephemerides", "Affich"};
inline constexpr Reglage ReglageFetes{"Ephemerides", "Fetes"};
inline constexpr Reglage ReglageDictons{"Ephemerides", "Dictons"};
inline constexpr Reglage ReglageMois{"Ephemerides", "Mois"};
inline constexpr Reglage ReglageAnnee{"Init", "Annee"};

// Missing values read as empty text; reading never fails.
QString LitReglage(const Reglage &reglage);
// True only once the value is written to the store's file.
bool EcritReglage(const Reglage &reglage, const QString &valeur);
inline bool EstOui(const QString &valeur)
{
    return valeur == QLatin1String("1");
}
inline bool ReglageOui(const Reglage &reglage)
{
    return EstOui(LitReglage(reglage));
}

} // namespace oxi
