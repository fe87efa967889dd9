#include "Demarrage.h"
#include "Base.h"
#include "Chemins.h"
#include "Constantes.h"
#include "Ephemerides.h"
#include "IconeNotification.h"
#include "Messagerie.h"
#include "ModuleEchanges.h"
#include "Plateforme.h"
#include "Rearmement.h"
#include "RechercheRappels.h"
#include "Region.h"
#include "Reglages.h"
#include "frmAccueil.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>

namespace oxi {

namespace {

const QString LigneStandard =
    QStringLiteral("Pour utiliser Oxi, vous devez les modifier en Français Standard (cf. paramètres régionaux du système).");

bool DejaLance()
{
    if (PlateformeCourante().PrendVerrouInstance(NomAppli()))
        return false;
    MsgInfo(DeuxLignes(QStringLiteral("Oxi est déjà en cours d'exécution."),
                       QStringLiteral("Pour accéder au menu, cliquez sur l'icône dans la zone de notification")));
    return true;
}

bool RegionAcceptee()
{
    if (!TestParamRegionaux()) {
        MsgInfo(DeuxLignes(QStringLiteral("Oxi ne fonctionne pas si vos paramètres régionaux ne sont pas de type Français."),
                           LigneStandard));
        return false;
    }
    if (CodeRegion() == QLatin1String("S")) {
        MsgInfo(DeuxLignes(QStringLiteral("Oxi ne fonctionne pas si vos paramètres régionaux sont de type Français Suisse."),
                           LigneStandard));
        return false;
    }
    FixePremierJourSemaine(CodeRegion() == QLatin1String("C") ? 1 : 2);
    return true;
}

} // namespace

bool Programme::Demarre()
{
    m_quitte = false;
    if (DejaLance())
        return false;
    FixeNomBase(NomBaseDefaut);
    CompacteBase();
    if (!ConnecteBase())
        return false;
    if (!RegionAcceptee())
        return false;
    RearmeEcheances();
    delete m_rappels;
    m_rappels = new AffichageRappels;
    m_rappels->RechercheRappels();
    QObject::connect(&m_rappels->Veille(), &VeilleJour::jourChange, [] { RechargeEphemerides(); });
    m_fenetre = new frmAccueil;
    QObject::connect(m_fenetre, &frmAccueil::registreDemande, m_fenetre, [this] { m_dialogues.AfficheRegistre(); });
    m_icone = new IconeNotification(m_fenetre, *this);
    m_icone->GereIcone(true);
    // Without an exchange set up, its module is not even loaded.
    if (SynchroConfiguree())
        QTimer::singleShot(0, m_fenetre, [fenetre = m_fenetre] {
            if (SynchroAuto *synchro = fenetre->Synchro())
                synchro->Lance();
        });
    if (ReglageOui(ReglageEphemerides))
        AfficheEphemerides();
    if (!ReglageOui(ReglagePremiereFois)) {
        PlateformeCourante().AjouteDemarrage(NomAppli(), CheminExecutable());
        m_dialogues.AffichePremiereFois();
    }
    return true;
}

// Each step goes on whatever the previous one did, and the event loops end
// whatever the windows say: QApplication::quit() gives up when one refuses.
void Programme::Quitte()
{
    if (m_enCours)
        return;
    m_enCours = true;
    m_quitte = true;
    if (m_icone)
        m_icone->GereIcone(false);
    FermeEphemerides();
    if (m_rappels) {
        m_rappels->FermePourQuitter();
        m_rappels->deleteLater();
        m_rappels = nullptr;
    }
    if (m_fenetre) {
        m_fenetre->FermePourQuitter();
        m_fenetre->deleteLater();
        m_fenetre = nullptr;
        m_icone = nullptr;
    }
    m_dialogues.Ferme();
    FermeBase();
    QCoreApplication::exit(0);
    m_enCours = false;
}

} // namespace oxi
