#include "Synchroniseur.h"

#include "Base.h"
#include "Horloge.h"

#include <QUuid>

namespace oxi {

namespace {

constexpr int EnvoisSimultanes = 4;
constexpr int ObjetsParLot = 100;
constexpr int LiensParTransaction = 500;
// From this many objects for a calendar just made, the whole calendar is sent in one
// request where the server takes it (Radicale): one object at a time costs it a
// scan of the calendar each.
constexpr int ObjetsPourEnvoiGroupe = 20;

const QByteArray EnteteXml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>";
const QByteArray Espaces = " xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:caldav\"";

QByteArray Propfind(const QByteArray &props)
{
    return EnteteXml + "<d:propfind" + Espaces + "><d:prop>" + props + "</d:prop></d:propfind>";
}

QByteArray Echappe(const QString &texte)
{
    return texte.toHtmlEscaped().toUtf8();
}

QString Dossier(const QString &chemin)
{
    return chemin.endsWith(QLatin1Char('/')) ? chemin : chemin + QLatin1Char('/');
}

} // namespace

Synchroniseur::Synchroniseur(Connexion &connexion, const ParametresSynchro &parametres, QObject *parent)
    : QObject(parent), m_depot(connexion), m_parametres(parametres), m_client(parametres.utilisateur, parametres.motDePasse),
      m_base(parametres.adresse.trimmed())
{
}

void Synchroniseur::Lance()
{
    if (const QString refus = RefusAdresse(m_base); !refus.isEmpty())
        return Echoue(refus);
    if (m_parametres.calendrier.trimmed().isEmpty())
        return Echoue(QStringLiteral("Aucun calendrier n'est indiqué."));
    try {
        m_depot.PrepareTables();
        const QString source = m_parametres.adresse.trimmed() + QLatin1Char('\n') + m_parametres.utilisateur + QLatin1Char('\n')
            + m_parametres.calendrier;
        if (m_depot.LitEtat(QStringLiteral("source")) != source) {
            // Another calendar: what was exchanged with the former one says nothing of this one.
            Transaction t(m_depot.connexion);
            m_depot.OublieTout();
            m_depot.EcritEtat(QStringLiteral("source"), source);
            t.Valide();
        }
        NoteChangementsLocaux();
        m_collection = m_depot.LitEtat(QStringLiteral("collection"));
    } catch (const ErreurBase &e) {
        return Echoue(QStringLiteral("Erreur de la base de données : %1").arg(QString::fromStdString(e.what())));
    }
    if (m_collection.isEmpty())
        Decouvre();
    else
        Liste();
}

void Synchroniseur::Echoue(const QString &message)
{
    if (m_fini)
        return;
    m_fini = true;
    m_bilan.reussi = false;
    m_bilan.message = QStringLiteral("Échec de la synchronisation : ") + message;
    emit Fini(m_bilan);
}

// Stamps the time a local change is first seen, before any network: offline
// changes keep the time they were made, which decides conflicts later.
void Synchroniseur::NoteChangementsLocaux()
{
    const QMap<qint64, Contenu> locaux = m_depot.LitRappels();
    const QDateTime maintenant = QDateTime::currentDateTimeUtc();
    Transaction t(m_depot.connexion);
    for (LienObjet lien : m_depot.LitLiens()) {
        if (lien.numRappel == 0 || lien.changeLocal.isValid() || !locaux.contains(lien.numRappel))
            continue;
        if (locaux.value(lien.numRappel).Empreinte() != lien.empreinte) {
            lien.changeLocal = maintenant;
            m_depot.EcritLien(lien);
        }
    }
    t.Valide();
}

QUrl Synchroniseur::Url(const QString &chemin) const
{
    QUrl url = m_base;
    url.setPath(chemin);
    url.setQuery(QString());
    url.setFragment(QString());
    return url;
}

bool Synchroniseur::Accepte(const Reponse &r, const char *action)
{
    if (!r.erreur.isEmpty())
        Echoue(r.erreur);
    else if (r.statut == 401)
        Echoue(QStringLiteral("le serveur refuse l'utilisateur ou le mot de passe."));
    else if (r.statut >= 400)
        Echoue(QStringLiteral("le serveur a refusé %1 (code %2).").arg(QString::fromUtf8(action)).arg(r.statut));
    else
        return true;
    return false;
}

void Synchroniseur::Decouvre()
{
    TrouvePrincipal(m_base, false);
}

void Synchroniseur::TrouvePrincipal(const QUrl &url, bool dejaConnu)
{
    m_client.Envoie("PROPFIND", url, Propfind("<d:current-user-principal/>"),
                    [this, url, dejaConnu](const Reponse &r) {
                        if (!r.erreur.isEmpty() || r.statut == 401)
                            return void(Accepte(r, ""));
                        QString principal;
                        if (r.statut == 207)
                            for (const ReponseDav &rep : LitMultistatut(r.corps).reponses)
                                if (principal.isEmpty())
                                    principal = rep.props.value(QStringLiteral("current-user-principal"));
                        if (!principal.isEmpty())
                            TrouveDossier(Url(principal));
                        else if (!dejaConnu)
                            TrouvePrincipal(url.resolved(QUrl(QStringLiteral("/.well-known/caldav"))), true);
                        else
                            TrouveDossier(m_base);
                    },
                    {{"Depth", "0"}});
}

void Synchroniseur::TrouveDossier(const QUrl &principal)
{
    m_client.Envoie("PROPFIND", principal, Propfind("<c:calendar-home-set/>"),
                    [this](const Reponse &r) {
                        if (!Accepte(r, "la recherche des calendriers"))
                            return;
                        QString dossier;
                        for (const ReponseDav &rep : LitMultistatut(r.corps).reponses)
                            if (dossier.isEmpty())
                                dossier = rep.props.value(QStringLiteral("calendar-home-set"));
                        if (dossier.isEmpty())
                            return Echoue(
                                QStringLiteral("le serveur ne donne pas de dossier de calendriers pour cet utilisateur."));
                        TrouveCalendrier(Url(Dossier(dossier)));
                    },
                    {{"Depth", "0"}});
}

void Synchroniseur::TrouveCalendrier(const QUrl &dossier)
{
    m_client.Envoie("PROPFIND", dossier, Propfind("<d:displayname/><d:resourcetype/>"),
                    [this, dossier](const Reponse &r) {
                        if (!Accepte(r, "la liste des calendriers"))
                            return;
                        for (const ReponseDav &rep : LitMultistatut(r.corps).reponses)
                            if (rep.types.contains(QStringLiteral("calendar"))
                                && rep.props.value(QStringLiteral("displayname")) == m_parametres.calendrier) {
                                m_collection = Dossier(rep.href);
                                m_depot.EcritEtat(QStringLiteral("collection"), m_collection);
                                return Liste();
                            }
                        CreeCalendrier(dossier);
                    },
                    {{"Depth", "1"}});
}

void Synchroniseur::CreeCalendrier(const QUrl &dossier)
{
    const QString chemin = Dossier(dossier.path()) + QUuid::createUuid().toString(QUuid::WithoutBraces) + QLatin1Char('/');
    const QByteArray corps = EnteteXml + "<c:mkcalendar" + Espaces + "><d:set><d:prop><d:displayname>"
        + Echappe(m_parametres.calendrier)
        + "</d:displayname><c:supported-calendar-component-set><c:comp name=\"VEVENT\"/>"
          "</c:supported-calendar-component-set></d:prop></d:set></c:mkcalendar>";
    m_client.Envoie("MKCALENDAR", Url(chemin), corps, [this, chemin](const Reponse &r) {
        if (!Accepte(r, "la création du calendrier"))
            return;
        m_collection = chemin;
        m_calendrierCree = true;
        m_depot.EcritEtat(QStringLiteral("collection"), m_collection);
        Liste();
    });
}

void Synchroniseur::Liste()
{
    try {
        m_liens.clear();
        for (const LienObjet &l : m_depot.LitLiens())
            m_liens.insert(l.href, l);
        m_jeton = m_depot.LitEtat(QStringLiteral("jeton"));
    } catch (const ErreurBase &e) {
        return Echoue(QStringLiteral("Erreur de la base de données : %1").arg(QString::fromStdString(e.what())));
    }
    const QByteArray corps = EnteteXml + "<d:sync-collection" + Espaces + "><d:sync-token>" + Echappe(m_jeton)
        + "</d:sync-token><d:sync-level>1</d:sync-level><d:prop><d:getetag/></d:prop></d:sync-collection>";
    m_client.Envoie("REPORT", Url(m_collection), corps, [this](const Reponse &r) {
        if (!r.erreur.isEmpty() || r.statut == 401)
            return void(Accepte(r, ""));
        if (r.statut == 404 && !m_redecouvert) {
            // The calendar is gone: found or made again, then merged as at the first exchange.
            m_redecouvert = true;
            try {
                m_depot.OublieTout();
                m_depot.EcritEtat(QStringLiteral("source"),
                                  m_parametres.adresse.trimmed() + QLatin1Char('\n') + m_parametres.utilisateur
                                      + QLatin1Char('\n') + m_parametres.calendrier);
            } catch (const ErreurBase &e) {
                return Echoue(QString::fromStdString(e.what()));
            }
            return Decouvre();
        }
        if (r.statut == 207)
            return TraiteListe(LitMultistatut(r.corps), m_jeton.isEmpty());
        if (!m_jeton.isEmpty()) { // a token the server no longer knows: everything is listed again
            m_depot.EcritEtat(QStringLiteral("jeton"), QString());
            return Liste();
        }
        ListeParPropfind();
    });
}

void Synchroniseur::ListeParPropfind()
{
    m_client.Envoie("PROPFIND", Url(m_collection), Propfind("<d:getetag/>"),
                    [this](const Reponse &r) {
                        if (!Accepte(r, "la liste des rendez-vous"))
                            return;
                        Multistatut m = LitMultistatut(r.corps);
                        m.jeton.clear();
                        TraiteListe(m, true);
                    },
                    {{"Depth", "1"}});
}

void Synchroniseur::TraiteListe(const Multistatut &m, bool complet)
{
    m_jeton = m.jeton;
    QSet<QString> vus;
    for (const ReponseDav &rep : m.reponses) {
        if (Dossier(rep.href) == m_collection)
            continue;
        if (rep.statut == 404) {
            m_supprimes.insert(rep.href);
            continue;
        }
        const QString etag = rep.props.value(QStringLiteral("getetag"));
        if (etag.isEmpty())
            continue;
        vus.insert(rep.href);
        const auto lien = m_liens.constFind(rep.href);
        if (lien == m_liens.cend() || lien->etag != etag)
            m_aTelecharger << rep.href;
    }
    m_serveurVide = complet && vus.isEmpty() && m_liens.isEmpty();
    if (complet)
        for (const LienObjet &l : std::as_const(m_liens))
            if (!vus.contains(l.href))
                m_supprimes.insert(l.href);
    Telecharge();
}

void Synchroniseur::Telecharge()
{
    if (m_aTelecharger.isEmpty())
        return m_groupeEnvoye ? LieGroupe() : Applique();
    const QStringList lot = m_aTelecharger.mid(0, ObjetsParLot);
    m_aTelecharger.remove(0, lot.size());
    QByteArray corps = EnteteXml + "<c:calendar-multiget" + Espaces + "><d:prop><d:getetag/><c:calendar-data/></d:prop>";
    for (const QString &href : lot)
        corps += "<d:href>" + Echappe(QString::fromUtf8(QUrl::toPercentEncoding(href, "/"))) + "</d:href>";
    corps += "</c:calendar-multiget>";
    m_client.Envoie("REPORT", Url(m_collection), corps,
                    [this](const Reponse &r) {
                        if (!Accepte(r, "la lecture des rendez-vous"))
                            return;
                        for (const ReponseDav &rep : LitMultistatut(r.corps).reponses) {
                            if (rep.statut == 404) {
                                m_supprimes.insert(rep.href);
                                continue;
                            }
                            const QString donnees = rep.props.value(QStringLiteral("calendar-data"));
                            if (!donnees.isEmpty())
                                m_modifies.insert(
                                    rep.href,
                                    {rep.props.value(QStringLiteral("getetag")), LitObjet(donnees.toUtf8(), Aujourdhui())});
                        }
                        Telecharge();
                    },
                    {{"Depth", "1"}});
}

void Synchroniseur::Applique()
{
    EntreeRapprochement entree;
    entree.collection = m_collection;
    entree.aujourdhui = Aujourdhui();
    entree.maintenant = QDateTime::currentDateTimeUtc();
    entree.modifies = m_modifies;
    entree.supprimes = m_supprimes;
    entree.liens = m_liens.values().toVector();
    try {
        Transaction t(m_depot.connexion);
        entree.locaux = m_depot.LitRappels();
        const PlanRapprochement plan = Rapproche(entree);
        for (const LienObjet &l : plan.liensASupprimer)
            m_depot.SupprimeLien(l.href);
        for (OperationLocale op : plan.locales) {
            if (op.genre == OperationLocale::Ajoute) {
                op.lien.numRappel = m_depot.AjouteRappel(op.contenu, entree.aujourdhui);
                m_depot.EcritLien(op.lien);
            } else if (op.genre == OperationLocale::Remplace) {
                op.lien.numRappel = m_depot.RemplaceRappel(op.lien.numRappel, op.contenu, entree.aujourdhui);
                m_depot.EcritLien(op.lien);
            } else {
                m_depot.SupprimeRappel(op.lien.numRappel);
                m_depot.SupprimeLien(op.lien.href);
            }
        }
        for (const LienObjet &l : plan.liensAEcrire)
            m_depot.EcritLien(l);
        m_envois = plan.envois;
        for (const Contenu &note : plan.conflits) {
            const qint64 num = m_depot.AjouteRappel(note, entree.aujourdhui);
            const QString uid = QStringLiteral("oxi-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
            m_envois.append(
                {{uid, num, HrefPour(m_collection, uid), {}, {}, {}}, ContenuStocke(note, entree.aujourdhui), entree.maintenant});
        }
        m_depot.EcritEtat(QStringLiteral("jeton"), m_jeton);
        t.Valide();
        m_effacements = plan.effacements;
        m_bilan.recus = plan.locales.size();
        m_bilan.conflits = plan.conflits.size();
        m_bilan.illisibles = plan.illisibles;
    } catch (const ErreurBase &e) {
        return Echoue(QStringLiteral("Erreur de la base de données : %1").arg(QString::fromStdString(e.what())));
    }
    // Only into a calendar made by this exchange: sending a whole calendar replaces it, its
    // colour and other settings with it, which must not happen to one the user made.
    if (m_calendrierCree && m_serveurVide && m_effacements.isEmpty() && m_envois.size() >= ObjetsPourEnvoiGroupe)
        EnvoieGroupe();
    else
        EnvoieSuivants();
}

// The calendar's own tag guards the request: anything added there meanwhile makes it fail,
// and then every object goes one by one as usual.
void Synchroniseur::EnvoieGroupe()
{
    m_client.Envoie("PROPFIND", Url(m_collection), Propfind("<d:getetag/>"),
                    [this](const Reponse &r) {
                        if (!r.erreur.isEmpty())
                            return Echoue(r.erreur);
                        QString etag;
                        for (const ReponseDav &rep : LitMultistatut(r.corps).reponses)
                            if (Dossier(rep.href) == m_collection)
                                etag = rep.props.value(QStringLiteral("getetag"));
                        if (r.statut != 207 || etag.isEmpty())
                            return EnvoieSuivants();
                        QVector<ObjetAEcrire> objets;
                        objets.reserve(m_envois.size());
                        for (const Envoi &e : std::as_const(m_envois))
                            objets.append({e.contenu, e.lien.uid, e.modifie});
                        m_client.Envoie(
                            "PUT", Url(m_collection), IcsDeContenus(objets, m_parametres.calendrier),
                            [this](const Reponse &r) {
                                if (!r.erreur.isEmpty())
                                    return Echoue(
                                        r.erreur
                                        + QStringLiteral(" Ce qui n'a pas été envoyé le sera à la prochaine synchronisation."));
                                if (r.statut / 100 != 2)
                                    return EnvoieSuivants();
                                // Learn the names the server gave: a full listing, then every object.
                                m_groupeEnvoye = true;
                                try {
                                    m_depot.EcritEtat(QStringLiteral("jeton"), QString());
                                } catch (const ErreurBase &e) {
                                    return Echoue(QString::fromStdString(e.what()));
                                }
                                m_modifies.clear();
                                m_supprimes.clear();
                                Liste();
                            },
                            {{"If-Match", etag.toUtf8()}});
                    },
                    {{"Depth", "0"}});
}

void Synchroniseur::LieGroupe()
{
    QHash<QString, const Envoi *> parUid;
    for (const Envoi &e : std::as_const(m_envois))
        parUid.insert(e.lien.uid, &e);
    try {
        Transaction t(m_depot.connexion);
        for (auto it = m_modifies.cbegin(); it != m_modifies.cend(); ++it) {
            const Envoi *envoi = parUid.value(it->evenement.uid);
            if (!envoi)
                continue;
            m_depot.EcritLien({envoi->lien.uid, envoi->lien.numRappel, it.key(), it->etag, envoi->contenu.Empreinte(), {}});
            ++m_bilan.envoyes;
        }
        m_depot.EcritEtat(QStringLiteral("jeton"), m_jeton);
        t.Valide();
    } catch (const ErreurBase &e) {
        return Echoue(QStringLiteral("Erreur de la base de données : %1").arg(QString::fromStdString(e.what())));
    }
    Termine();
}

void Synchroniseur::EnvoieSuivants()
{
    const int total = m_envois.size() + m_effacements.size();
    while (m_echecEnvoi.isEmpty() && m_client.EnCours() < EnvoisSimultanes && m_prochainEnvoi < total) {
        const int i = m_prochainEnvoi++;
        if (i < m_envois.size()) {
            const Envoi envoi = m_envois.at(i);
            const QByteArray condition = envoi.lien.etag.isEmpty() ? QByteArray("If-None-Match") : QByteArray("If-Match");
            const QByteArray valeur = envoi.lien.etag.isEmpty() ? QByteArray("*") : envoi.lien.etag.toUtf8();
            m_client.Envoie("PUT", Url(envoi.lien.href), IcsDeContenu(envoi.contenu, envoi.lien.uid, envoi.modifie),
                            [this, envoi](const Reponse &r) {
                                if (!r.erreur.isEmpty())
                                    m_echecEnvoi = r.erreur;
                                else if (r.statut / 100 == 2) {
                                    LienObjet lien = envoi.lien;
                                    lien.etag = r.etag;
                                    lien.empreinte = envoi.contenu.Empreinte();
                                    lien.changeLocal = {};
                                    m_liensEnvoyes.append(lien);
                                    ++m_bilan.envoyes;
                                } else // changed meanwhile, or refused: decided again at the next exchange
                                    ++m_bilan.enAttente;
                                emit Avance(++m_faits, m_envois.size() + m_effacements.size());
                                EnvoieSuivants();
                            },
                            {{condition, valeur}});
        } else {
            const LienObjet lien = m_effacements.at(i - m_envois.size());
            m_client.Envoie("DELETE", Url(lien.href), {},
                            [this, lien](const Reponse &r) {
                                if (!r.erreur.isEmpty())
                                    m_echecEnvoi = r.erreur;
                                else if (r.statut / 100 == 2 || r.statut == 404) {
                                    m_hrefsEffaces << lien.href;
                                    ++m_bilan.envoyes;
                                } else
                                    ++m_bilan.enAttente;
                                emit Avance(++m_faits, m_envois.size() + m_effacements.size());
                                EnvoieSuivants();
                            },
                            {{"If-Match", lien.etag.toUtf8()}});
        }
    }
    if (m_liensEnvoyes.size() + m_hrefsEffaces.size() >= LiensParTransaction)
        EnregistreEnvoyes();
    if (m_client.EnCours() == 0 && (m_prochainEnvoi >= total || !m_echecEnvoi.isEmpty())) {
        EnregistreEnvoyes();
        Termine();
    }
}

void Synchroniseur::EnregistreEnvoyes()
{
    if (m_liensEnvoyes.isEmpty() && m_hrefsEffaces.isEmpty())
        return;
    try {
        Transaction t(m_depot.connexion);
        for (const LienObjet &l : std::as_const(m_liensEnvoyes))
            m_depot.EcritLien(l);
        for (const QString &href : std::as_const(m_hrefsEffaces))
            m_depot.SupprimeLien(href);
        t.Valide();
    } catch (const ErreurBase &e) {
        m_echecEnvoi = QStringLiteral("Erreur de la base de données : %1").arg(QString::fromStdString(e.what()));
    }
    m_liensEnvoyes.clear();
    m_hrefsEffaces.clear();
}

void Synchroniseur::Termine()
{
    if (m_fini)
        return;
    if (!m_echecEnvoi.isEmpty())
        return Echoue(m_echecEnvoi + QStringLiteral(" Ce qui n'a pas été envoyé le sera à la prochaine synchronisation."));
    m_fini = true;
    m_bilan.reussi = true;
    QStringList parties;
    if (m_bilan.recus)
        parties << QStringLiteral("%1 reçu(s)").arg(m_bilan.recus);
    if (m_bilan.envoyes)
        parties << QStringLiteral("%1 envoyé(s)").arg(m_bilan.envoyes);
    if (m_bilan.conflits)
        parties << QStringLiteral("%1 conflit(s), l'autre version gardée dans une note « Conflit de synchronisation »")
                       .arg(m_bilan.conflits);
    if (m_bilan.illisibles)
        parties << QStringLiteral("%1 rendez-vous illisible(s) laissé(s) de côté").arg(m_bilan.illisibles);
    if (m_bilan.enAttente)
        parties << QStringLiteral("%1 modification(s) reportée(s) à la prochaine synchronisation").arg(m_bilan.enAttente);
    m_bilan.message = parties.isEmpty()
        ? QStringLiteral("Synchronisation faite : rien de nouveau.")
        : QStringLiteral("Synchronisation faite : ") + parties.join(QStringLiteral(", ")) + QLatin1Char('.');
    emit Fini(m_bilan);
}

} // namespace oxi
