#pragma once
#include <QPointer>

namespace oxi {

class frmPremiereFois;
class frmRegistre;
class frmAbout;

// The single-use windows, one of each kind: asked again, the open one comes forward.
class Dialogues
{
public:
    // First-use window, modeless.
    void AffichePremiereFois();
    // Stored-settings window behind its password, modeless (F8).
    void AfficheRegistre();
    // About box, modeless.
    void AfficheAPropos();
    // Closes the three (exit).
    void Ferme();

private:
    QPointer<frmPremiereFois> m_premiereFois;
    QPointer<frmRegistre> m_registre;
    QPointer<frmAbout> m_aPropos;
};

} // namespace oxi
