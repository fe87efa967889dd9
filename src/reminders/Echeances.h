#pragma once
#include <QDate>
#include <QStringView>
#include <array>
#include <optional>

#include "Constantes.h"
#include "Horloge.h"

// The three due dates of a reminder and the rules about them: when a reminder
// is due, how a slot is re-armed each year, what a writer stores when a
// birthday, name day or note is added or changed. Pure functions of dates.
namespace oxi {

// One slot: a due date (DateNulle when unused) and its done flag.
struct Echeance
{
    QDate date = DateNulle;
    bool fait = false;

    bool operator==(const Echeance &) const = default;
};

// Slots 1..3 of a row of Rappel: Ech1/EtatEch1 (the event day), Ech2 and Ech3 (lead times).
struct Echeances
{
    std::array<Echeance, 3> ech{};

    Echeance &operator[](int k) { return ech.at(k - 1); } // k = 1, 2, 3
    const Echeance &operator[](int k) const { return ech.at(k - 1); }
    bool operator==(const Echeances &) const = default;
};

// A stored date read strictly: "YYYY-MM-DD" naming a real day, else invalid
// ("2025-6-1", "2027-02-30", "abc" and "" are not dates).
QDate LitDateStockee(QStringView texte);
// The same over UTF-8 bytes, as the database hands them (no text built).
QDate LitDateStockee(const char *octets, int taille);

// Whether a reminder with these slots is due on `aujourdhui`: Ech1 today whatever
// its flag; any used slot today or before still not done.
bool EstDu(const Echeances &echeances, const QDate &aujourdhui);

// The yearly re-arming of one stored slot: a used date moves one year forward
// (29 February giving 1 March); the no-date value and any text that is not a
// date are left as they were. Nothing when the slot stays.
std::optional<QString> EcheanceRearmee(QStringView stockee);
// The same into `sortie` (10 bytes, no terminator) over UTF-8 bytes; false when the slot stays.
bool EcheanceRearmee(const char *octets, int taille, char *sortie);

// The date one year later, 29 February giving 1 March.
QDate AnneeSuivante(const QDate &date);

// What the user chose in a reminder's panel: the "Le jour-même" box and the
// two lead times in days (0 = " Aucune", else 1..31).
struct ChoixEcheances
{
    bool jourMeme = false;
    int delai1 = 0;
    int delai2 = 0;
};

// A date from numbers, a day the month lacks rolling over into the next month:
// (2025, 2, 29) -> 1 March 2025, (2026, 4, 31) -> 1 May 2026. Invalid only for month outside 1..12.
QDate ConstruitDate(int annee, int mois, int jour);

// The event day E of a reminder in `annee`: the day and month of `reference`
// (birth date, name day, note date) in that year, with the roll-over above.
QDate JourEvenement(const QDate &reference, int annee = Aujourdhui().year());

// The three dates from E and the choices: Ech1 = E or none, Ech2 = E - delai1
// or none, Ech3 = E - delai2 or none. Flags all false.
Echeances CalculeEcheances(const QDate &evenement, const ChoixEcheances &choix);

// Slots of a new row: every date before `aujourdhui` (DateNulle included) is done, others not.
Echeances EcheancesAjout(const QDate &evenement, const ChoixEcheances &choix, const QDate &aujourdhui = Aujourdhui());

// Slots of a changed row, from the stored ones: a date before `aujourdhui` is done;
// a date left as it was keeps its stored flag; a date moved to today or later is due again.
Echeances EcheancesModification(const Echeances &anciennes, const QDate &evenement, const ChoixEcheances &choix,
                                const QDate &aujourdhui = Aujourdhui());

} // namespace oxi
