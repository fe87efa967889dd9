#pragma once
#include "Contenu.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

// One reminder as one calendar object (a VCALENDAR holding one VEVENT), both
// ways, through the iCalendar conversion of the interchange library.
namespace oxi {

// `modifie` goes into LAST-MODIFIED: the time of the change, compared on conflicts.
QByteArray IcsDeContenu(const Contenu &contenu, const QString &uid, const QDateTime &modifie);

// Many reminders in one calendar named `nom`, for a server that takes a whole
// calendar in one request.
struct ObjetAEcrire
{
    Contenu contenu;
    QString uid;
    QDateTime modifie;
};
QByteArray IcsDeContenus(const QVector<ObjetAEcrire> &objets, const QString &nom);

struct ObjetLu
{
    QString uid;
    std::optional<Contenu> contenu; // none: not a reminder (timed event, unreadable)
    QString defaut;                 // why, when there is no content
    QDateTime modifie;              // LAST-MODIFIED, else DTSTAMP; invalid when neither
};

// Birthdays and name days only when marked as ours: other all-day events,
// yearly or not, become notes; timed events are left aside. The content is
// checked before it is returned.
ObjetLu LitObjet(const QByteArray &ics, const QDate &aujourdhui);

} // namespace oxi
