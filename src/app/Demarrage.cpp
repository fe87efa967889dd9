#include "Demarrage.h"
#include "Base.h"
#include "Chemins.h"
#include "Constantes.h"
#include "Dialogues.h"
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

frmAccueil *fenetre = nullptr;
IconeNotification *icone = nullptr;
AffichageRappels *rappels = nullptr;
bool quitte = false;

} // namespace

bool Demarre()
{
    quitte = false;
    if (DejaLance())
        return false;
    FixeNomBase(NomBaseDefaut);
    CompacteBase();
    if (!ConnecteBase())
        return false;
    if (!RegionAcceptee())
        return false;
    RearmeEcheances();
    delete rappels;
    rappels = new AffichageRappels;
    rappels->RechercheRappels();
    QObject::connect(&rappels->Veille(), &VeilleJour::jourChange, [] { RechargeEphemerides(); });
    fenetre = new frmAccueil;
    icone = new IconeNotification(fenetre);
    icone->GereIcone(true);
    // Without an exchange set up, its module is not even loaded.
    if (SynchroConfiguree())
        QTimer::singleShot(0, fenetre, [f = fenetre] {
            if (SynchroAuto *synchro = f->Synchro())
                synchro->Lance();
        });
    if (ReglageOui(ReglageEphemerides))
        AfficheEphemerides();
    if (!ReglageOui(ReglagePremiereFois)) {
        PlateformeCourante().AjouteDemarrage(NomAppli(), CheminExecutable());
        AffichePremiereFois();
    }
    return true;
}

// Each step goes on whatever the previous one did, and the event loops end
// whatever the windows say: QApplication::quit() gives up when one refuses.
void QuitteProgramme()
{
    static bool enCours = false;
    if (enCours)
        return;
    enCours = true;
    quitte = true;
    if (icone)
        icone->GereIcone(false);
    FermeEphemerides();
    if (rappels) {
        rappels->FermePourQuitter();
        rappels->deleteLater();
        rappels = nullptr;
    }
    if (fenetre) {
        fenetre->FermePourQuitter();
        fenetre->deleteLater();
        fenetre = nullptr;
        icone = nullptr;
    }
    FermeDialogues();
    FermeBase();
    QCoreApplication::exit(0);
    enCours = false;
}

bool ProgrammeQuitte()
{
    return quitte;
}

} // namespace oxi
