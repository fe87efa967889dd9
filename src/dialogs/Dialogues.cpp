#include "Dialogues.h"
#include "frmAbout.h"
#include "frmPremiereFois.h"
#include "frmRegistre.h"

#include <QPointer>

namespace oxi {

namespace {

QPointer<frmPremiereFois> premiereFois;
QPointer<frmRegistre> registre;
QPointer<frmAbout> aPropos;

// One window of each kind: asked again, the open one comes forward.
template <typename Fenetre> void Affiche(QPointer<Fenetre> &fenetre)
{
    if (!fenetre)
        fenetre = new Fenetre;
    fenetre->show();
    fenetre->raise();
    fenetre->activateWindow();
}

} // namespace

void AffichePremiereFois()
{
    Affiche(premiereFois);
}

void AfficheRegistre()
{
    Affiche(registre);
}

void AfficheAPropos()
{
    Affiche(aPropos);
}

void FermeDialogues()
{
    // Closing, not deleting: the first-use window writes its setting as it closes.
    for (QWidget *fenetre :
         {static_cast<QWidget *>(premiereFois), static_cast<QWidget *>(registre), static_cast<QWidget *>(aPropos)})
        if (fenetre)
            fenetre->close();
}

} // namespace oxi
