#pragma once
#include "Rappels.h"

// The texts of the reminder popup, composed from a reminder's row.
namespace oxi {

// What the popup shows for one reminder.
struct TexteRappel
{
    int typeMess = 0;     // 1 name day, 2 birthday, 3 note, 0 anything else
    QString ligneDate;    // "Aujourd'hui," or "Le jeudi 6 novembre,"
    QString message;      // the text of lblMsg
    bool valide = true;   // false when the row could not be read
};

// "F" -> 1, "A" -> 2, "N" -> 3, anything else 0.
int ConvertType(const QString &typeRappel);

// The day the reminder speaks of: the day and month of `dateRappel` in the current
// year (29 February -> 1 March), or in the next year when it is shown ahead through
// a lead time that fell in December for a January event.
QDate JourRappel(const QDate &dateRappel, const Echeances &echeances, const QDate &aujourdhui);

// "Aujourd'hui," when `jour` is today, else "Le " + weekday, day, month + ",".
QString LigneDate(const QDate &jour, const QDate &aujourdhui);

// The texts of row `ligne` of ChargeRappelSuivant's result; sets NbLignes as the popup needs it.
TexteRappel ComposeRappel(const Resultat &rappel, int ligne, const QDate &aujourdhui = Aujourdhui());

// The greeting of a postcard for a reminder's Type and Libelle: "Joyeux anniversaire
// <first name> !", "Bonne fête <name> !", empty for a note or anything else.
QString SalutationCarte(const QString &type, const QString &libelle);

} // namespace oxi
