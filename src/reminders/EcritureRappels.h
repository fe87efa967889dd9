#pragma once
#include "DepotRappels.h"
#include "Echeances.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

// Reading the entries of the three reminder panels and writing their rows:
// birthdays, name days and notes, through the stored reminders. No widgets;
// the due dates and flags come from the reminder rules.
namespace oxi {

// Lead-time text of a box, chosen or typed: its first two characters trimmed.
// "A" (from " Aucune") gives 0, a number gives that many days; anything else is unreadable.
std::optional<int> LitDelaiSaisi(const QString &texte);

// Position (1 to 31) of the lead-time item that explains `echeance` for the
// event `evenement`, both taken in the current year; 0 for an unused slot;
// 31 when no item matches. The December/January case counts 31 − day(E) + day(A).
int RetrouveDelai(const QDate &evenement, const QDate &echeance);

// The reminder numbered `numRappel` of kind `type`, when it exists. Throws ErreurBase.
std::optional<RappelStocke> LitRappel(qint64 numRappel, TypeRappel type);

// Birthdays ------------------------------------------------------------------

struct Anniversaire
{
    QString nom;
    QString prenom;
    int annee = AnneeInconnue;
    int mois = 1;
    int jour = 1;
    ChoixEcheances choix;

    QString Libelle() const { return nom + QLatin1Char('#') + prenom; }
    // The birth date, a day the month lacks rolling into the next month.
    QDate DateRappel() const { return ConstruitDate(annee, mois, jour); }
    // The birthday in the current year, built from the day and month as entered
    // (29 February stays 29 February in a leap year even when the birth year had none).
    QDate Evenement() const { return ConstruitDate(Aujourdhui().year(), mois, jour); }
};

// Number of stored birthdays with the same label and birth date; 0 when the query fails.
int ExisteAnniversaire(const Anniversaire &anniv);
// Both return the number given or changed; throw ErreurBase (nothing saved).
qint64 AjouteAnniversaire(const Anniversaire &anniv);
void ModifieAnniversaire(qint64 numRappel, const Anniversaire &anniv);

// Name days -----------------------------------------------------------------

struct PrenomFete
{
    QString prenom;
    int jour = 0;
    int mois = 0;
};

// "#" of the reference table turned into blanks, trimmed: "Jean#Marie" -> "Jean Marie".
QString FormatePrenom(const QString &texte);
// Every first name of the reference table, day 1 of each month first, then day 2...
// Throws ErreurBase.
QVector<PrenomFete> ChargeListeFetes();
// "Alain - 9 septembre".
QString ItemFete(const PrenomFete &fete);
// The items of `prenoms` in alphabetical order, letter case and accents aside.
QStringList ItemsFetes(const QVector<PrenomFete> &prenoms);

// A first-name text in the form of the items: the name before the first "- ",
// the day and the French month name after it, the date in `annee`. Nothing
// when it cannot be read (no "- ", no such day in that year).
struct SaisieFete
{
    QString prenom;
    QDate dateFete;
};
std::optional<SaisieFete> LitTexteFete(const QString &texte, int annee = Aujourdhui().year());

qint64 AjouteFete(const SaisieFete &fete, const ChoixEcheances &choix);
// Moves the name day to `fete.dateFete`; the first name stays. Throws when the row is gone.
void ModifieFete(qint64 numRappel, const SaisieFete &fete, const ChoixEcheances &choix);

// Notes ------------------------------------------------------------------------

struct Note
{
    QDate dateRappel;
    QString libelle; // "Sans titre" when the title is blank
    QString texte;   // trimmed
    ChoixEcheances choix;
};

// The title and text as stored: "Sans titre" for a blank title, the text trimmed.
Note LitNote(const QString &titre, const QString &texte, const QDate &date, const ChoixEcheances &choix);
// Rappel and Notes rows written in one transaction; throw ErreurBase with nothing written.
qint64 AjouteNote(const Note &note);
void ModifieNote(qint64 numRappel, const Note &note);

// Deletion --------------------------------------------------------------------------

// Deletes the reminder `numRappel` of kind `type` (and a note's text) in one
// transaction. False when no such row; throws ErreurBase with nothing deleted.
bool SupprimeRappel(qint64 numRappel, TypeRappel type);

} // namespace oxi
