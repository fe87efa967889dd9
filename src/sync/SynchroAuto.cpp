#include "SynchroAuto.h"

#include "Modifications.h"
#include "ReglagesSynchro.h"

namespace oxi {

namespace {

constexpr int AttenteApresChangementMs = 5000;
constexpr int PeriodeMs = 15 * 60 * 1000;

} // namespace

SynchroAutoCalDav::SynchroAutoCalDav(Connexion &connexion, QObject *parent) : SynchroAuto(parent), m_connexion(connexion)
{
    m_attente.setSingleShot(true);
    m_attente.setInterval(AttenteApresChangementMs);
    connect(&m_attente, &QTimer::timeout, this, &SynchroAutoCalDav::Lance);
    m_periode.setInterval(PeriodeMs);
    connect(&m_periode, &QTimer::timeout, this, &SynchroAutoCalDav::Lance);
    m_periode.start();
    connect(&AvisModifications(), &Modifications::Ecrites, this, &SynchroAutoCalDav::Demande);
}

void SynchroAutoCalDav::Demande()
{
    if (SynchroConfiguree())
        m_attente.start();
}

void SynchroAutoCalDav::Lance()
{
    m_attente.stop();
    if (!SynchroConfiguree())
        return;
    if (m_occupe) {
        m_relance = true;
        return;
    }
    m_occupe = true; // from now on, a second request waits for this one
    LitMotDePasse([this](const QString &motDePasse, const QString &erreur) {
        if (!erreur.isEmpty()) {
            BilanSynchro echec;
            echec.message = QStringLiteral("Échec de la synchronisation : ") + erreur;
            Termine(echec);
            return;
        }
        auto *synchro = new Synchroniseur(m_connexion, ParametresEnregistres(motDePasse), this);
        connect(synchro, &Synchroniseur::Fini, this, [this, synchro](const BilanSynchro &bilan) {
            synchro->deleteLater();
            Termine(bilan);
        });
        synchro->Lance();
    });
}

void SynchroAutoCalDav::Termine(const BilanSynchro &bilan)
{
    NoteBilan(bilan);
    m_occupe = false;
    emit Fini(bilan);
    if (m_relance) {
        m_relance = false;
        Demande();
    }
}

} // namespace oxi
