#include "ConversionIcs.h"

#include "Calendrier.h"

extern "C" {
#include <libical/ical.h>
}

namespace oxi {

namespace {

icaltimetype InstantIcal(const QDateTime &moment)
{
    return icaltime_from_timet_with_zone(time_t(moment.toSecsSinceEpoch()), 0, icaltimezone_get_utc_timezone());
}

QDateTime InstantQt(const icaltimetype &t)
{
    if (icaltime_is_null_time(t))
        return {};
    return QDateTime::fromSecsSinceEpoch(qint64(icaltime_as_timet_with_zone(t, icaltimezone_get_utc_timezone())), Qt::UTC);
}

bool MarqueOxi(icalcomponent *evenement)
{
    for (icalproperty *p = icalcomponent_get_first_property(evenement, ICAL_X_PROPERTY); p;
         p = icalcomponent_get_next_property(evenement, ICAL_X_PROPERTY))
        if (qstricmp(icalproperty_get_x_name(p), "X-OXI-TYPE") == 0)
            return true;
    return false;
}

icalcomponent *Evenement(const Contenu &c, const QString &uid, const QDateTime &modifie)
{
    RappelStocke rappel;
    rappel.type = c.type;
    rappel.libelle = c.libelle;
    rappel.dateRappel = c.dateRappel;
    rappel.texte = c.texte;
    const QDate evenement = JourEvenement(c.dateRappel, Aujourdhui().year());
    for (int k = 1; k <= 3; ++k) {
        const SlotSynchro &s = c.cases[k - 1];
        rappel.echeances[k] = s.utilise ? Echeance{evenement.addDays(-s.delai), s.fait} : Echeance{DateNulle, true};
    }
    ComposantIcal evenementIcal = ConvertitRappel(rappel, uid);
    icalcomponent_add_property(evenementIcal.get(), icalproperty_new_lastmodified(InstantIcal(modifie)));
    return evenementIcal.release();
}

ComposantIcal Calendrier()
{
    ComposantIcal calendrier(icalcomponent_new_vcalendar());
    icalcomponent_add_property(calendrier.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(calendrier.get(), icalproperty_new_prodid("-//Oxi//Oxi//FR"));
    return calendrier;
}

} // namespace

QByteArray IcsDeContenu(const Contenu &c, const QString &uid, const QDateTime &modifie)
{
    ComposantIcal calendrier = Calendrier();
    icalcomponent_add_component(calendrier.get(), Evenement(c, uid, modifie));
    return QByteArray(icalcomponent_as_ical_string(calendrier.get()));
}

QByteArray IcsDeContenus(const QVector<ObjetAEcrire> &objets, const QString &nom)
{
    ComposantIcal calendrier = Calendrier();
    icalproperty *p = icalproperty_new_x(nom.toUtf8().constData());
    icalproperty_set_x_name(p, "X-WR-CALNAME");
    icalcomponent_add_property(calendrier.get(), p);
    for (const ObjetAEcrire &o : objets)
        icalcomponent_add_component(calendrier.get(), Evenement(o.contenu, o.uid, o.modifie));
    return QByteArray(icalcomponent_as_ical_string(calendrier.get()));
}

ObjetLu LitObjet(const QByteArray &ics, const QDate &aujourdhui)
{
    ObjetLu lu;
    ComposantIcal calendrier(icalparser_parse_string(ics.constData()));
    icalcomponent *ev = nullptr;
    if (calendrier)
        ev = icalcomponent_isa(calendrier.get()) == ICAL_VEVENT_COMPONENT
            ? calendrier.get()
            : icalcomponent_get_first_component(calendrier.get(), ICAL_VEVENT_COMPONENT);
    if (!ev) {
        lu.defaut = QStringLiteral("illisible");
        return lu;
    }
    if (const char *uid = icalcomponent_get_uid(ev))
        lu.uid = QString::fromUtf8(uid);
    icalproperty *pm = icalcomponent_get_first_property(ev, ICAL_LASTMODIFIED_PROPERTY);
    icalproperty *ps = icalcomponent_get_first_property(ev, ICAL_DTSTAMP_PROPERTY);
    lu.modifie = pm ? InstantQt(icalproperty_get_lastmodified(pm)) : ps ? InstantQt(icalproperty_get_dtstamp(ps)) : QDateTime();

    const icaltimetype debut = icalcomponent_get_dtstart(ev);
    if (icaltime_is_null_time(debut) || !debut.is_date) {
        lu.defaut = QStringLiteral("pas un événement d'une journée entière");
        return lu;
    }
    if (!MarqueOxi(ev)) // a yearly event made elsewhere is not taken for a birthday
        while (icalproperty *regle = icalcomponent_get_first_property(ev, ICAL_RRULE_PROPERTY)) {
            icalcomponent_remove_property(ev, regle);
            icalproperty_free(regle);
        }
    QString raison;
    const auto rappel = LitEvenement(ev, &raison, aujourdhui.year());
    if (!rappel) {
        lu.defaut = raison;
        return lu;
    }
    Contenu c = ContenuDeRappel(*rappel);
    // An event made elsewhere without alarms still reminds on its day.
    if (!MarqueOxi(ev) && !c.cases[0].utilise && !c.cases[1].utilise && !c.cases[2].utilise)
        c.cases[0] = {true, 0, false};
    lu.defaut = DefautContenu(c);
    if (lu.defaut.isEmpty())
        lu.contenu = c;
    return lu;
}

} // namespace oxi
