#pragma once
#include "Calendrier.h"
#include "Contacts.h"

#include <QString>
#include <QVector>

// Calendars out and contacts in, against the program's database (Base()).
// Inside the exchange module, reached through ModuleEchanges.
namespace oxi {

// Every reminder of Rappel with its note text, by number. Throws ErreurBase.
QVector<RappelStocke> LitRappelsEchange();

// The VCALENDAR holding one event per reminder.
ComposantIcal ComposeAgenda(const QVector<RappelStocke> &rappels);

// Writes every reminder to an .ics file, atomically, after reading the text back
// with libical. Returns the number of events; -1 with a French `erreur` on failure.
int ExporteAgenda(const QString &chemin, QString *erreur);

// Compares the cards with the stored birthdays (the panel's duplicate rule, also
// inside the file) and finds each new first name in the name-day calendar.
// Throws ErreurBase.
PlanImport PrepareImport(const QVector<FicheContact> &fiches);

// Writes the plan's birthdays, and with `fetes` its name days, in one transaction,
// as the panels would with `choix`. Returns the number of name days added. Throws
// ErreurBase with nothing written.
int ImporteContacts(const PlanImport &plan, const ChoixEcheances &choix, bool fetes);

} // namespace oxi
