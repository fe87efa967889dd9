#pragma once
#include <QDate>
#include <QString>
#include <memory>
#include <optional>

#include "DepotRappels.h"
#include "Echeances.h"

struct icalcomponent_impl;
typedef struct icalcomponent_impl icalcomponent;

// One reminder as an iCalendar event (RFC 5545, libical) and back.
// Birthdays and name days are all-day yearly events starting on DateRappel
// (year 1850 for a birthday without year of birth); notes are single all-day
// events. Each used due-date slot is a VALARM marked X-OXI-ECHEANCE:1|2|3,
// TRIGGER PT0S for the day itself and -P<n>D for a lead time; a slot already
// done carries ACKNOWLEDGED. The kind travels in X-OXI-TYPE (A, F or N).
namespace oxi {

struct LiberateurIcal
{
    void operator()(icalcomponent *composant) const;
};
using ComposantIcal = std::unique_ptr<icalcomponent, LiberateurIcal>;

// The same reminder gets the same UID at every export: calendars update rather than duplicate.
QString UidRappel(qint64 numRappel);
// The number behind a UID made by UidRappel; nothing for any other UID.
std::optional<qint64> NumeroUid(const QString &uid);

// The summary a calendar shows: "Anniversaire de Jean Dupont (1970)", "Fête des Alain", the note's title.
QString ResumeRappel(const RappelStocke &rappel);

// The VEVENT of a reminder. `rappel` must be well-formed (as stored).
ComposantIcal ConvertitRappel(const RappelStocke &rappel, const QString &uid);

// The reminder an event describes, its due dates computed in `annee` as the
// panels compute them. Nothing, and a French reason in `raison`, when the event
// cannot be stored as it is (no date, unknown kind, text too long...).
std::optional<RappelStocke> LitEvenement(icalcomponent *evenement, QString *raison = nullptr, int annee = Aujourdhui().year());

// Longest texts accepted from outside, as the panels accept them.
constexpr int LongueurLibelleMax = 255;
constexpr int LongueurTitreNoteMax = 50;
constexpr int LongueurTexteNoteMax = 65535;

} // namespace oxi
