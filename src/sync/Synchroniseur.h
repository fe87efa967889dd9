#pragma once
#include "ClientCalDav.h"
#include "DepotSynchro.h"
#include "Rapprochement.h"
#include "TypesEchanges.h"

#include <QObject>
#include <QPointer>

// One exchange between the reminders of a database and one calendar of a
// CalDAV server: discovery of the calendar, what changed on the server
// (sync-token where offered, else tags), the decisions, the local writes in
// one transaction, then the sends. Driven by the network's answers: nothing waits.
namespace oxi {

class Synchroniseur : public QObject
{
    Q_OBJECT
public:
    Synchroniseur(Connexion &connexion, const ParametresSynchro &parametres, QObject *parent = nullptr);
    void Lance();
    const BilanSynchro &Bilan() const { return m_bilan; }

signals:
    void Fini(const oxi::BilanSynchro &bilan);
    // After each send or deletion answered: how many of how many.
    void Avance(int faits, int total);

private:
    void Echoue(const QString &message);
    void NoteChangementsLocaux();
    void Decouvre();
    void TrouvePrincipal(const QUrl &url, bool dejaConnu);
    void TrouveDossier(const QUrl &principal);
    void TrouveCalendrier(const QUrl &dossier);
    void CreeCalendrier(const QUrl &dossier);
    void Liste();
    void ListeParPropfind();
    void TraiteListe(const Multistatut &m, bool complet);
    void Telecharge();
    void Applique();
    void EnvoieSuivants();
    void EnvoieGroupe();
    void LieGroupe();
    void EnregistreEnvoyes();
    void Termine();
    QUrl Url(const QString &chemin) const;
    bool Accepte(const Reponse &r, const char *action);

    DepotSynchro m_depot;
    ParametresSynchro m_parametres;
    ClientCalDav m_client;
    QUrl m_base;
    QString m_collection; // path, ending with "/"
    QString m_jeton;
    bool m_redecouvert = false;
    QHash<QString, LienObjet> m_liens; // by href
    QHash<QString, ObjetDistant> m_modifies;
    QSet<QString> m_supprimes;
    QStringList m_aTelecharger;
    QVector<Envoi> m_envois;
    QVector<LienObjet> m_effacements;
    QVector<LienObjet> m_liensEnvoyes;
    QStringList m_hrefsEffaces;
    QString m_echecEnvoi;
    int m_prochainEnvoi = 0;
    int m_faits = 0;
    BilanSynchro m_bilan;
    bool m_fini = false;
    bool m_calendrierCree = false; // made by this exchange (MKCALENDAR)
    bool m_serveurVide = false;    // the full listing found no object at all
    bool m_groupeEnvoye = false;   // every object went in one request: only their names remain to learn
};

} // namespace oxi
