#include "ConversionIcs.h"

#include <libical/ical.h>

#include <memory>

namespace oxi {

namespace {

using Composant = std::unique_ptr<icalcomponent, decltype(&icalcomponent_free)>;

icaltimetype JourIcal(const QDate &d)
{
    icaltimetype t = icaltime_null_date();
    t.year = d.year();
    t.month = d.month();
    t.day = d.day();
    return t;
}

icaltimetype InstantIcal(const QDateTime &moment)
{
    const QDateTime u = moment.toUTC();
    icaltimetype t = icaltime_null_time();
    t.year = u.date().year();
    t.month = u.date().month();
    t.day = u.date().day();
    t.hour = u.time().hour();
    t.minute = u.time().minute();
    t.second = u.time().second();
    t.zone = icaltimezone_get_utc_timezone();
    return t;
}

QDateTime InstantQt(const icaltimetype &t)
{
    if (icaltime_is_null_time(t))
        return {};
    const QDateTime d(QDate(t.year, t.month, t.day), QTime(t.hour, t.minute, t.second), Qt::UTC);
    return d.isValid() ? d : QDateTime();
}

QString TexteProp(icalcomponent *c, icalproperty_kind kind)
{
    icalproperty *p = icalcomponent_get_first_property(c, kind);
    return p ? QString::fromUtf8(icalproperty_get_value_as_string(p)) : QString();
}

QString TexteX(icalcomponent *c, const char *nom)
{
    for (icalproperty *p = icalcomponent_get_first_property(c, ICAL_X_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_X_PROPERTY))
        if (qstricmp(icalproperty_get_x_name(p), nom) == 0)
            return QString::fromUtf8(icalproperty_get_x(p));
    return {};
}

void AjouteX(icalcomponent *c, const char *nom, const QString &valeur)
{
    icalproperty *p = icalproperty_new_x(valeur.toUtf8().constData());
    icalproperty_set_x_name(p, nom);
    icalcomponent_add_property(c, p);
}

QString LibelleVisible(const Contenu &c)
{
    if (c.type == QLatin1Char('A')) {
        const QString prenom = c.libelle.section(QLatin1Char('#'), 1).trimmed();
        const QString nom = c.libelle.section(QLatin1Char('#'), 0, 0).trimmed();
        return QStringLiteral("Anniversaire de %1").arg((prenom + QLatin1Char(' ') + nom).trimmed());
    }
    if (c.type == QLatin1Char('F'))
        return QStringLiteral("Fête des %1").arg(c.libelle);
    return c.libelle;
}

} // namespace

QByteArray IcsDeContenu(const Contenu &c, const QString &uid, const QDateTime &modifie)
{
    Composant cal(icalcomponent_new_vcalendar(), icalcomponent_free);
    icalcomponent_add_property(cal.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(cal.get(), icalproperty_new_prodid("-//Oxi//Oxi//FR"));
    icalcomponent *ev = icalcomponent_new_vevent();
    icalcomponent_add_property(ev, icalproperty_new_uid(uid.toUtf8().constData()));
    icalcomponent_add_property(ev, icalproperty_new_dtstamp(InstantIcal(QDateTime::currentDateTimeUtc())));
    icalcomponent_add_property(ev, icalproperty_new_lastmodified(InstantIcal(modifie)));
    icalcomponent_add_property(ev, icalproperty_new_dtstart(JourIcal(c.dateRappel)));
    icalcomponent_add_property(ev, icalproperty_new_dtend(JourIcal(c.dateRappel.addDays(1))));
    icalcomponent_add_property(ev, icalproperty_new_summary(LibelleVisible(c).toUtf8().constData()));
    icalcomponent_add_property(ev, icalproperty_new_transp(ICAL_TRANSP_TRANSPARENT));
    if (c.type != QLatin1Char('N')) {
        icalrecurrencetype r;
        icalrecurrencetype_clear(&r);
        r.freq = ICAL_YEARLY_RECURRENCE;
        icalcomponent_add_property(ev, icalproperty_new_rrule(r));
    } else if (!c.texte.isEmpty()) {
        icalcomponent_add_property(ev, icalproperty_new_description(c.texte.toUtf8().constData()));
    }
    AjouteX(ev, "X-OXI-TYPE", QString(c.type));
    AjouteX(ev, "X-OXI-LIBELLE", c.libelle);
    for (int k = 0; k < 3; ++k) {
        const SlotSynchro &s = c.cases[k];
        if (!s.utilise)
            continue;
        icalcomponent *alarme = icalcomponent_new_valarm();
        icalcomponent_add_property(alarme, icalproperty_new_action(ICAL_ACTION_DISPLAY));
        icalcomponent_add_property(alarme, icalproperty_new_description(LibelleVisible(c).toUtf8().constData()));
        icaltriggertype declencheur{};
        declencheur.time = icaltime_null_time();
        declencheur.duration = icaldurationtype_null_duration();
        if (s.delai > 0) {
            declencheur.duration.is_neg = 1;
            declencheur.duration.days = uint(s.delai);
        }
        icalcomponent_add_property(alarme, icalproperty_new_trigger(declencheur));
        AjouteX(alarme, "X-OXI-ECHEANCE", QString::number(k + 1));
        if (s.fait)
            icalcomponent_add_property(alarme, icalproperty_new_acknowledged(InstantIcal(modifie)));
        icalcomponent_add_component(ev, alarme);
    }
    icalcomponent_add_component(cal.get(), ev);
    return QByteArray(icalcomponent_as_ical_string(cal.get()));
}

EvenementLu LitEvenement(const QByteArray &ics)
{
    EvenementLu lu;
    Composant cal(icalparser_parse_string(ics.constData()), icalcomponent_free);
    icalcomponent *ev = cal ? (icalcomponent_isa(cal.get()) == ICAL_VEVENT_COMPONENT
                                   ? cal.get()
                                   : icalcomponent_get_first_component(cal.get(), ICAL_VEVENT_COMPONENT))
                            : nullptr;
    if (!ev) {
        lu.defaut = QStringLiteral("illisible");
        return lu;
    }
    lu.uid = TexteProp(ev, ICAL_UID_PROPERTY);
    icalproperty *pm = icalcomponent_get_first_property(ev, ICAL_LASTMODIFIED_PROPERTY);
    icalproperty *ps = icalcomponent_get_first_property(ev, ICAL_DTSTAMP_PROPERTY);
    lu.modifie = pm ? InstantQt(icalproperty_get_lastmodified(pm)) : ps ? InstantQt(icalproperty_get_dtstamp(ps)) : QDateTime();

    const icaltimetype debut = icalcomponent_get_dtstart(ev);
    if (icaltime_is_null_time(debut) || !debut.is_date) {
        lu.defaut = QStringLiteral("pas un événement d'une journée entière");
        return lu;
    }
    Contenu c;
    c.dateRappel = QDate(debut.year, debut.month, debut.day);
    const QString type = TexteX(ev, "X-OXI-TYPE").trimmed();
    const bool annuel = icalcomponent_get_first_property(ev, ICAL_RRULE_PROPERTY) != nullptr;
    const QString libelle = TexteX(ev, "X-OXI-LIBELLE");
    if (type.size() == 1 && QStringLiteral("AFN").contains(type) && !libelle.isEmpty()) {
        c.type = type.at(0);
        c.libelle = libelle;
    } else {
        // Made elsewhere: a note, yearly or not; only our mark makes a birthday.
        c.type = QLatin1Char('N');
        c.libelle = TexteProp(ev, ICAL_SUMMARY_PROPERTY).trimmed().left(50);
        if (c.libelle.isEmpty())
            c.libelle = QStringLiteral("Sans titre");
    }
    Q_UNUSED(annuel);
    if (c.type == QLatin1Char('N'))
        c.texte = TexteProp(ev, ICAL_DESCRIPTION_PROPERTY).trimmed();

    const bool nous = !TexteX(ev, "X-OXI-TYPE").isEmpty();
    int libre = 1; // next slot for alarms made elsewhere
    bool alarmes = false;
    for (icalcomponent *a = icalcomponent_get_first_component(ev, ICAL_VALARM_COMPONENT); a;
         a = icalcomponent_get_next_component(ev, ICAL_VALARM_COMPONENT)) {
        icalproperty *pt = icalcomponent_get_first_property(a, ICAL_TRIGGER_PROPERTY);
        if (!pt)
            continue;
        const icaltriggertype t = icalproperty_get_trigger(pt);
        if (!icaltime_is_null_time(t.time))
            continue; // absolute triggers do not fit a lead time
        const int secondes = icaldurationtype_as_int(t.duration);
        const int jours = secondes >= 0 ? 0 : (-secondes + 86399) / 86400;
        if (!nous && jours > 31)
            continue;
        int k = TexteX(a, "X-OXI-ECHEANCE").toInt();
        if (k < 1 || k > 3) {
            if (nous)
                continue;
            k = jours == 0 ? 1 : qMax(2, libre);
        }
        if (k > 3 || c.cases[k - 1].utilise)
            continue;
        if (k > 1)
            libre = k + 1;
        alarmes = true;
        c.cases[k - 1] = {true, k == 1 ? 0 : jours, icalcomponent_get_first_property(a, ICAL_ACKNOWLEDGED_PROPERTY) != nullptr};
        if (k == 1 && jours != 0)
            c.cases[0].delai = jours; // refused below: the first slot is the day itself
    }
    // An event from elsewhere without alarms still reminds on its day.
    if (!nous && !alarmes)
        c.cases[0] = {true, 0, false};
    lu.defaut = DefautContenu(c);
    if (lu.defaut.isEmpty())
        lu.contenu = c;
    return lu;
}

} // namespace oxi
