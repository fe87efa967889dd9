#include "Dialogues.h"
#include "frmAbout.h"
#include "frmPremiereFois.h"
#include "frmRegistre.h"

namespace oxi {

namespace {

template <typename Fenetre> void Affiche(QPointer<Fenetre> &fenetre)
{
    if (!fenetre)
        fenetre = new Fenetre;
    fenetre->show();
    fenetre->raise();
    fenetre->activateWindow();
}

} // namespace

void Dialogues::AffichePremiereFois()
{
    Affiche(m_premiereFois);
}

void Dialogues::AfficheRegistre()
{
    Affiche(m_registre);
}

void Dialogues::AfficheAPropos()
{
    Affiche(m_aPropos);
}

void Dialogues::Ferme()
{
    // Closing, not deleting: the first-use window writes its setting as it closes.
    for (QWidget *fenetre :
         {static_cast<QWidget *>(m_premiereFois), static_cast<QWidget *>(m_registre), static_cast<QWidget *>(m_aPropos)})
        if (fenetre)
            fenetre->close();
}

} // namespace oxi
