#include "Ephemerides.h"
#include "FormePopup.h"
#include "PanneauEphem.h"
#include "Reglages.h"
#include "frmDictons.h"
#include "frmFetes.h"
#include "frmMois.h"

#include <QApplication>

namespace oxi {

namespace {

template <class Fenetre> void Affiche()
{
    if (Fenetre *ouverte = Fenetre::Ouverte()) {
        ouverte->show();
        ouverte->raise();
        return;
    }
    (new Fenetre)->show();
}

template <class Fenetre> void Ferme()
{
    if (Fenetre *ouverte = Fenetre::Ouverte())
        ouverte->close();
}

template <class Fenetre> bool Charge()
{
    const Fenetre *ouverte = Fenetre::Ouverte();
    return ouverte && ouverte->EstCharge();
}

// Closed, pending events let run, and shown again: loaded for the new day.
template <class Fenetre> void Recharge()
{
    if (!Charge<Fenetre>())
        return;
    Ferme<Fenetre>();
    QCoreApplication::processEvents();
    Affiche<Fenetre>();
}

} // namespace

void AfficheFetes()
{
    Affiche<frmFetes>();
}
void AfficheDictons()
{
    Affiche<frmDictons>();
}
void AfficheMois()
{
    Affiche<frmMois>();
}

bool FetesAffiche()
{
    return Charge<frmFetes>();
}
bool DictonsAffiche()
{
    return Charge<frmDictons>();
}
bool MoisAffiche()
{
    return Charge<frmMois>();
}

frmFetes *FenetreFetes()
{
    return frmFetes::Ouverte();
}
frmDictons *FenetreDictons()
{
    return frmDictons::Ouverte();
}
frmMois *FenetreMois()
{
    return frmMois::Ouverte();
}

void AfficheEphemerides()
{
    if (ReglageOui(ReglageFetes))
        AfficheFetes();
    if (ReglageOui(ReglageDictons))
        AfficheDictons();
    if (ReglageOui(ReglageMois))
        AfficheMois();
}

// Every second: one look through the windows, not two.
void MetAJourHeureFetes()
{
    if (frmFetes *fetes = frmFetes::Ouverte(); fetes && fetes->EstCharge())
        fetes->MetAJourHeure();
}

void RechargeEphemerides()
{
    Recharge<frmFetes>();
    Recharge<frmDictons>();
    Recharge<frmMois>();
}

void FermeEphemerides()
{
    Ferme<frmDictons>();
    Ferme<frmMois>();
    Ferme<frmFetes>();
}

void AfficheAccueilDepuisEphemerides()
{
    QWidget *fenetre = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("frmAccueil"))
            fenetre = w;
    if (!fenetre)
        if (PanneauEphem *panneau = PanneauEphemCourant())
            fenetre = panneau->window();
    if (!fenetre)
        return;
    if (fenetre->isMinimized())
        fenetre->showNormal();
    else
        fenetre->show();
    fenetre->raise();
    fenetre->activateWindow();
}

void OuvreEphemeridesCochees()
{
    if (PanneauEphem *panneau = PanneauEphemCourant())
        panneau->OuvreCochees();
}

} // namespace oxi
