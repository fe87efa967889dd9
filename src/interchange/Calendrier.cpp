#include "Calendrier.h"

#include <QRegularExpression>
#include <QTimeZone>

extern "C" {
#include <libical/ical.h>
}

namespace oxi {

namespace {

const char *const ProprieteType = "X-OXI-TYPE";
const char *const ProprieteLibelle = "X-OXI-LIBELLE";
const char *const ProprieteEcheance = "X-OXI-ECHEANCE";
constexpr int DelaiMax = 31;

icaltimetype JourIcal(const QDate &jour)
{
    icaltimetype t = icaltime_null_date();
    t.year = jour.year();
    t.month = jour.month();
    t.day = jour.day();
    return t;
}

QDate JourQt(const icaltimetype &t)
{
    return icaltime_is_null_time(t) ? QDate() : QDate(t.year, t.month, t.day);
}

QString Texte(const char *utf8)
{
    return utf8 ? QString::fromUtf8(utf8) : QString();
}

void AjouteX(icalcomponent *composant, const char *nom, const QString &valeur)
{
    icalproperty *p = icalproperty_new_x(valeur.toUtf8().constData());
    icalproperty_set_x_name(p, nom);
    icalcomponent_add_property(composant, p);
}

std::optional<QString> LitX(icalcomponent *composant, const char *nom)
{
    for (icalproperty *p = icalcomponent_get_first_property(composant, ICAL_X_PROPERTY); p;
         p = icalcomponent_get_next_property(composant, ICAL_X_PROPERTY))
        if (qstricmp(icalproperty_get_x_name(p), nom) == 0)
            return Texte(icalproperty_get_x(p));
    return std::nullopt;
}

// "Nom#Prénom" -> "Prénom Nom".
QString NomComplet(const QString &libelle)
{
    const int diese = libelle.indexOf(QLatin1Char('#'));
    if (diese < 0)
        return libelle;
    const QString prenom = libelle.mid(diese + 1).trimmed();
    const QString nom = libelle.left(diese).trimmed();
    return prenom.isEmpty() ? nom : nom.isEmpty() ? prenom : prenom + QLatin1Char(' ') + nom;
}

QString De(const QString &nom)
{
    static const QString voyelles = QStringLiteral("AEIOUYÀÂÄÉÈÊËÎÏÔÖÙÛÜ");
    return !nom.isEmpty() && voyelles.contains(nom.at(0).toUpper()) ? QStringLiteral("d'") + nom : QStringLiteral("de ") + nom;
}

// A summary written by another program: "Anniversaire de Jean Dupont (1970)" or just "Jean Dupont".
QString LibelleDepuisResume(const QString &resume)
{
    static const QRegularExpression prefixe(QStringLiteral("^anniversaire\\s+(de\\s+|d['’]\\s*)"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression annee(QStringLiteral("\\s*\\(\\d{4}\\)\\s*$"));
    QString nom = resume.trimmed();
    nom.remove(prefixe);
    nom.remove(annee);
    nom = nom.simplified();
    const int blanc = nom.indexOf(QLatin1Char(' '));
    if (blanc < 0)
        return nom + QLatin1Char('#');
    return nom.mid(blanc + 1) + QLatin1Char('#') + nom.left(blanc);
}

QString PrenomDepuisResume(const QString &resume)
{
    static const QRegularExpression prefixe(QStringLiteral("^f[êe]te\\s+(des|de|d['’])\\s*"),
                                            QRegularExpression::CaseInsensitiveOption);
    return QString(resume).remove(prefixe).simplified();
}

// The occurrence a slot leads to: the event day in the slot's year or the next one
// (a lead time that falls in December for a January event).
int DelaiEcheance(const QDate &dateRappel, const QDate &echeance)
{
    for (int annee : {echeance.year(), echeance.year() + 1}) {
        const qint64 ecart = echeance.daysTo(JourEvenement(dateRappel, annee));
        if (ecart >= 0 && ecart <= DelaiMax)
            return int(ecart);
    }
    return int(qBound<qint64>(1, echeance.daysTo(JourEvenement(dateRappel, echeance.year())), qint64(DelaiMax)));
}

icalcomponent *Alarme(const RappelStocke &rappel, int k, const QString &resume)
{
    const Echeance &e = rappel.echeances[k];
    icalcomponent *alarme = icalcomponent_new_valarm();
    icalcomponent_add_property(alarme, icalproperty_new_action(ICAL_ACTION_DISPLAY));
    icaltriggertype declencheur{};
    declencheur.time = icaltime_null_time();
    declencheur.duration = icaldurationtype_null_duration();
    if (k > 1) {
        declencheur.duration.is_neg = 1;
        declencheur.duration.days = unsigned(DelaiEcheance(rappel.dateRappel, e.date));
    }
    icalcomponent_add_property(alarme, icalproperty_new_trigger(declencheur));
    icalcomponent_add_property(alarme, icalproperty_new_description(resume.toUtf8().constData()));
    AjouteX(alarme, ProprieteEcheance, QString::number(k));
    if (e.fait) {
        // Acknowledged at the end of the due day: that occurrence is done, the next year's is not.
        const QDateTime fin(e.date.addDays(1), QTime(0, 0), Qt::UTC);
        icalcomponent_add_property(alarme,
                                   icalproperty_new_acknowledged(icaltime_from_timet_with_zone(time_t(fin.toSecsSinceEpoch()), 0,
                                                                                               icaltimezone_get_utc_timezone())));
    }
    return alarme;
}

// One alarm read back: its slot when marked, its lead in days, its acknowledgement day (UTC).
struct AlarmeLue
{
    int echeance = 0;
    int delai = 0;
    QDate acquittement;
};

std::optional<AlarmeLue> LitAlarme(icalcomponent *alarme)
{
    icalproperty *p = icalcomponent_get_first_property(alarme, ICAL_TRIGGER_PROPERTY);
    if (!p)
        return std::nullopt;
    const icaltriggertype declencheur = icalproperty_get_trigger(p);
    if (!icaltime_is_null_time(declencheur.time))
        return std::nullopt; // an absolute moment says nothing about a yearly day
    const int secondes = icaldurationtype_as_int(declencheur.duration);
    AlarmeLue lue;
    if (secondes < 0)
        lue.delai = (-secondes + 86399) / 86400; // before midnight of the day: the day before
    else if (secondes >= 86400)
        return std::nullopt; // after the day itself
    if (lue.delai > DelaiMax)
        return std::nullopt;
    if (const auto marque = LitX(alarme, ProprieteEcheance)) {
        bool ok = false;
        const int k = marque->trimmed().toInt(&ok);
        if (ok && k >= 1 && k <= 3 && (k > 1 || lue.delai == 0))
            lue.echeance = k;
    }
    if (icalproperty *a = icalcomponent_get_first_property(alarme, ICAL_ACKNOWLEDGED_PROPERTY)) {
        icaltimetype t = icalproperty_get_acknowledged(a);
        if (!icaltime_is_null_time(t)) {
            const QDateTime moment =
                QDateTime::fromSecsSinceEpoch(qint64(icaltime_as_timet_with_zone(t, icaltimezone_get_utc_timezone())), Qt::UTC);
            lue.acquittement = moment.date();
        }
    }
    return lue;
}

// Slots 1..3 from the alarms: marked ones in their slot, the others on the day itself
// or in the first free lead-time slot, nearest first.
Echeances LitEcheancesAlarmes(icalcomponent *evenement, const QDate &jour)
{
    std::array<std::optional<AlarmeLue>, 4> places;
    QVector<AlarmeLue> libres;
    for (icalcomponent *a = icalcomponent_get_first_component(evenement, ICAL_VALARM_COMPONENT); a;
         a = icalcomponent_get_next_component(evenement, ICAL_VALARM_COMPONENT)) {
        const auto lue = LitAlarme(a);
        if (!lue)
            continue;
        if (lue->echeance && !places[lue->echeance])
            places[lue->echeance] = lue;
        else
            libres.append(*lue);
    }
    std::sort(libres.begin(), libres.end(), [](const AlarmeLue &a, const AlarmeLue &b) { return a.delai < b.delai; });
    for (const AlarmeLue &l : libres) {
        if (l.delai == 0) {
            if (!places[1])
                places[1] = l;
            continue;
        }
        const bool dejaLa = (places[2] && places[2]->delai == l.delai) || (places[3] && places[3]->delai == l.delai);
        if (dejaLa)
            continue;
        if (!places[2])
            places[2] = l;
        else if (!places[3])
            places[3] = l;
    }
    Echeances echeances;
    for (int k = 1; k <= 3; ++k) {
        if (!places[k]) {
            echeances[k] = {DateNulle, true};
            continue;
        }
        const QDate date = jour.addDays(-places[k]->delai);
        // Acknowledged on or after the eve of the due day (time zones): done for this year.
        const QDate &acq = places[k]->acquittement;
        echeances[k] = {date, acq.isValid() && acq >= date.addDays(-1)};
    }
    return echeances;
}

bool Refuse(QString *raison, const QString &texte)
{
    if (raison)
        *raison = texte;
    return false;
}

} // namespace

void LiberateurIcal::operator()(icalcomponent *composant) const
{
    icalcomponent_free(composant);
}

QString UidRappel(qint64 numRappel)
{
    return QStringLiteral("oxi-rappel-%1@oxi").arg(numRappel);
}

std::optional<qint64> NumeroUid(const QString &uid)
{
    static const QRegularExpression forme(QStringLiteral("^oxi-rappel-(\\d{1,18})@oxi$"));
    const auto m = forme.match(uid);
    if (!m.hasMatch())
        return std::nullopt;
    return m.captured(1).toLongLong();
}

QString ResumeRappel(const RappelStocke &rappel)
{
    if (rappel.type == TypeRappel::Anniversaire) {
        QString resume = QStringLiteral("Anniversaire ") + De(NomComplet(rappel.libelle));
        if (rappel.dateRappel.year() != AnneeInconnue)
            resume += QStringLiteral(" (%1)").arg(rappel.dateRappel.year());
        return resume;
    }
    if (rappel.type == TypeRappel::Fete)
        return QStringLiteral("Fête des ") + rappel.libelle;
    return rappel.libelle;
}

ComposantIcal ConvertitRappel(const RappelStocke &rappel, const QString &uid)
{
    ComposantIcal evenement(icalcomponent_new_vevent());
    icalcomponent *e = evenement.get();
    const QString resume = ResumeRappel(rappel);
    icalcomponent_add_property(e, icalproperty_new_uid(uid.toUtf8().constData()));
    icalcomponent_add_property(e,
                               icalproperty_new_dtstamp(icaltime_from_timet_with_zone(time_t(Maintenant().toSecsSinceEpoch()), 0,
                                                                                      icaltimezone_get_utc_timezone())));
    icalcomponent_add_property(e, icalproperty_new_dtstart(JourIcal(rappel.dateRappel)));
    icalcomponent_add_property(e, icalproperty_new_dtend(JourIcal(rappel.dateRappel.addDays(1))));
    icalcomponent_add_property(e, icalproperty_new_summary(resume.toUtf8().constData()));
    if (rappel.type == TypeRappel::Note) {
        if (!rappel.texte.isEmpty())
            icalcomponent_add_property(e, icalproperty_new_description(rappel.texte.toUtf8().constData()));
    } else {
        icalrecurrencetype regle;
        icalrecurrencetype_clear(&regle);
        regle.freq = ICAL_YEARLY_RECURRENCE;
        // Day 60 is 29 February in a leap year and 1 March otherwise, as the program shows it.
        if (rappel.dateRappel.month() == 2 && rappel.dateRappel.day() == 29) {
            regle.by_year_day[0] = 60;
            regle.by_year_day[1] = ICAL_RECURRENCE_ARRAY_MAX;
        }
        icalcomponent_add_property(e, icalproperty_new_rrule(regle));
        AjouteX(e, ProprieteLibelle, rappel.libelle);
    }
    icalcomponent_add_property(e, icalproperty_new_transp(ICAL_TRANSP_TRANSPARENT));
    AjouteX(e, ProprieteType, LettreType(rappel.type.value_or(TypeRappel::Note)));
    for (int k = 1; k <= 3; ++k)
        if (rappel.echeances[k].date != DateNulle)
            icalcomponent_add_component(e, Alarme(rappel, k, resume));
    return evenement;
}

std::optional<RappelStocke> LitEvenement(icalcomponent *evenement, QString *raison, int annee)
{
    if (!evenement || icalcomponent_isa(evenement) != ICAL_VEVENT_COMPONENT) {
        Refuse(raison, QStringLiteral("Ce n'est pas un événement d'agenda."));
        return std::nullopt;
    }
    RappelStocke rappel;
    const QString resume = Texte(icalcomponent_get_summary(evenement)).trimmed();
    const bool annuel = icalcomponent_get_first_property(evenement, ICAL_RRULE_PROPERTY) != nullptr;
    const QString lettre =
        LitX(evenement, ProprieteType).value_or(LettreType(annuel ? TypeRappel::Anniversaire : TypeRappel::Note));
    rappel.type = TypeDeLettre(lettre);
    if (!rappel.type) {
        Refuse(raison, QStringLiteral("L'événement « %1 » est d'un type inconnu (%2).").arg(resume, lettre));
        return std::nullopt;
    }
    rappel.dateRappel = JourQt(icalcomponent_get_dtstart(evenement));
    // Phones write 1604 for a birthday without year.
    if (rappel.type == TypeRappel::Anniversaire && rappel.dateRappel.isValid() && rappel.dateRappel.year() <= 1604)
        rappel.dateRappel = ConstruitDate(AnneeInconnue, rappel.dateRappel.month(), rappel.dateRappel.day());
    if (!rappel.dateRappel.isValid() || rappel.dateRappel <= DateNulle || rappel.dateRappel.year() > 9999) {
        Refuse(raison, QStringLiteral("L'événement « %1 » n'a pas de date valable.").arg(resume));
        return std::nullopt;
    }

    // Our own label when the summary still matches it; otherwise the summary as the user changed it.
    const auto libelle = LitX(evenement, ProprieteLibelle);
    if (rappel.type == TypeRappel::Note) {
        rappel.libelle = resume.isEmpty() ? QStringLiteral("Sans titre") : resume;
        rappel.texte = Texte(icalcomponent_get_description(evenement)).trimmed();
    } else {
        RappelStocke essai = rappel;
        essai.libelle = libelle.value_or(QString());
        rappel.libelle = libelle && ResumeRappel(essai) == resume ? *libelle
            : rappel.type == TypeRappel::Anniversaire             ? LibelleDepuisResume(resume)
                                                                  : PrenomDepuisResume(resume);
    }

    if (rappel.libelle.isEmpty() || rappel.libelle == QLatin1String("#")) {
        Refuse(
            raison,
            QStringLiteral("Un événement du %1 n'a pas de titre.").arg(rappel.dateRappel.toString(QStringLiteral("dd/MM/yyyy"))));
        return std::nullopt;
    }
    const int longueurMax = rappel.type == TypeRappel::Note ? LongueurTitreNoteMax : LongueurLibelleMax;
    if (rappel.libelle.size() > longueurMax) {
        Refuse(raison, QStringLiteral("Le titre « %1… » dépasse %2 caractères.").arg(rappel.libelle.left(30)).arg(longueurMax));
        return std::nullopt;
    }
    if (rappel.texte.size() > LongueurTexteNoteMax) {
        Refuse(raison, QStringLiteral("Le texte de la note « %1 » est trop long.").arg(rappel.libelle));
        return std::nullopt;
    }
    rappel.echeances = LitEcheancesAlarmes(evenement, JourEvenement(rappel.dateRappel, annee));
    return rappel;
}

} // namespace oxi
