#include "SynchroAuto.h"

#include "Modifications.h"
#include "ReglagesSynchro.h"

namespace oxi {

namespace {

constexpr int AttenteApresChangementMs = 5000;
constexpr int PeriodeMs = 15 * 60 * 1000;

SynchroAuto *programme = nullptr;

} // namespace

SynchroAuto::SynchroAuto(Connexion &connexion, QObject *parent) : QObject(parent), m_connexion(connexion)
{
    m_attente.setSingleShot(true);
    m_attente.setInterval(AttenteApresChangementMs);
    connect(&m_attente, &QTimer::timeout, this, &SynchroAuto::Lance);
    m_periode.setInterval(PeriodeMs);
    connect(&m_periode, &QTimer::timeout, this, &SynchroAuto::Lance);
    m_periode.start();
    connect(&AvisModifications(), &Modifications::Ecrites, this, &SynchroAuto::Demande);
}

void SynchroAuto::Demande()
{
    if (SynchroConfiguree())
        m_attente.start();
}

void SynchroAuto::Lance()
{
    m_attente.stop();
    if (!SynchroConfiguree())
        return;
    if (m_synchro) {
        m_relance = true;
        return;
    }
    // Taken at once, so that a second request waits for this one.
    m_synchro = new Synchroniseur(m_connexion, {}, this);
    const QPointer<Synchroniseur> place = m_synchro;
    LitMotDePasse([this, place](const QString &motDePasse, const QString &erreur) {
        if (!place)
            return;
        place->deleteLater();
        BilanSynchro echec;
        if (!erreur.isEmpty()) {
            echec.message = QStringLiteral("Échec de la synchronisation : ") + erreur;
            NoteBilan(echec);
            m_synchro = nullptr;
            emit Fini(echec);
            return;
        }
        m_synchro = new Synchroniseur(m_connexion, {LitReglage(ReglageAdresse), LitReglage(ReglageUtilisateur),
                                                     LitReglage(ReglageCalendrier), motDePasse}, this);
        connect(m_synchro, &Synchroniseur::Fini, this, [this](const BilanSynchro &bilan) {
            NoteBilan(bilan);
            m_synchro->deleteLater();
            m_synchro = nullptr;
            emit Fini(bilan);
            if (m_relance) {
                m_relance = false;
                Demande();
            }
        });
        m_synchro->Lance();
    });
}

SynchroAuto *SynchroProgramme()
{
    return programme;
}

void DemarreSynchroProgramme(Connexion &connexion, QObject *parent)
{
    programme = new SynchroAuto(connexion, parent);
    QTimer::singleShot(0, programme, &SynchroAuto::Lance);
}

} // namespace oxi
