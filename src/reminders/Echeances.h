#pragma once
#include <QDate>
#include <QVariantList>
#include <array>

#include "Constantes.h"
#include "Horloge.h"

// The three due-date ech of a reminder and the rules every writer follows
// when a birthday, name day or note is added or changed. No widgets, no database.
namespace oxi {

class Resultat;

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

    Echeance &operator[](int k) { return ech.at(k - 1); }            // k = 1, 2, 3
    const Echeance &operator[](int k) const { return ech.at(k - 1); }
    bool operator==(const Echeances &) const = default;

    // Ech1, EtatEch1, Ech2, EtatEch2, Ech3, EtatEch3 ready to bind (dates ISO, flags 0/1).
    QVariantList Parametres() const;
};

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

// Typical use by a panel:
//   auto e = EcheancesAjout(JourEvenement(dateNaissance), {jourMeme, LitDelai(j1), LitDelai(j2)});
//   Base().Execute("INSERT INTO Rappel (..., Ech1, EtatEch1, Ech2, EtatEch2, Ech3, EtatEch3) VALUES (..., ?, ?, ?, ?, ?, ?)",
//                  QVariantList{...} + e.Parametres());

// Slots of a new row: every date before `aujourdhui` (DateNulle included) is done, others not.
Echeances EcheancesAjout(const QDate &evenement, const ChoixEcheances &choix,
                         const QDate &aujourdhui = Aujourdhui());

// Slots of a changed row, from the stored ones: a date before `aujourdhui` is done;
// a date left as it was keeps its stored flag; a date moved to today or later is due again.
Echeances EcheancesModification(const Echeances &anciennes, const QDate &evenement,
                                const ChoixEcheances &choix, const QDate &aujourdhui = Aujourdhui());

// The stored ech of row `ligne` of a result holding Ech1..EtatEch3 (for EcheancesModification).
Echeances LitEcheances(const Resultat &resultat, int ligne);

} // namespace oxi
