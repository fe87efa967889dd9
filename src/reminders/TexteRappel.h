#pragma once
#include "DepotRappels.h"

#include <QDate>
#include <QString>
#include <optional>

// The texts of the reminder popup, composed from a stored reminder.
namespace oxi {

// What the popup shows for one reminder.
struct TexteRappel
{
    TypeRappel type = TypeRappel::Note;
    QString ligneDate; // "Aujourd'hui," or "Le jeudi 6 novembre,"
    QString message;   // the text of lblMsg
    int nbLignes = 0;  // lines of the message, for the popup's height
};

// The day the reminder speaks of: the day and month of `dateRappel` in the current
// year (29 February -> 1 March), or in the next year when it is shown ahead through
// a lead time that fell in December for a January event.
QDate JourRappel(const QDate &dateRappel, const Echeances &echeances, const QDate &aujourdhui);

// "Aujourd'hui," when `jour` is today, else "Le " + weekday, day, month + ",".
QString LigneDate(const QDate &jour, const QDate &aujourdhui);

// The texts of `rappel` on `aujourdhui`; nothing when it cannot be shown
// (a kind or a date that cannot be read).
std::optional<TexteRappel> ComposeRappel(const RappelStocke &rappel, const QDate &aujourdhui);

// The greeting of a postcard for a reminder's kind and Libelle: "Joyeux anniversaire
// <first name> !", "Bonne fête <name> !", empty for a note or anything else.
QString SalutationCarte(TypeRappel type, const QString &libelle);

} // namespace oxi
