#pragma once
#include <QLabel>
#include <QPointer>
#include <QWidget>

#include "ImageBouton.h"
#include "TypeRappel.h"

namespace oxi {

class FormePopup;
class ScanRappels;
struct RappelAffiche;

// The reminder popup: shows the due reminders of the scan's list one at a time,
// the scan acknowledging each as it is shown.
class frmMessage : public QWidget
{
    Q_OBJECT
public:
    explicit frmMessage(ScanRappels &scan, QWidget *parent = nullptr);
    ~frmMessage() override;

    // Loads the first reminder not yet shown, places and sizes the window.
    // False when none of them could be shown.
    bool AffichePremierRappel();
    // "Suivant": the next reminder; the window keeps its place and width.
    void AfficheRappelSuivant();
    // A new scan while the window is open: the counter and the arrow follow the new list.
    void Actualise();

    int NbMessages = 0;    // reminders left, the one on screen included
    int NumMessage = 0;    // place of the one on screen
    int TotalMessages = 0;

    QLabel *lblTitre = nullptr;
    Image *imgAnniv = nullptr;
    Image *imgFete = nullptr;
    Image *imgNote = nullptr;
    QLabel *lblDate = nullptr;
    QLabel *lblMsg = nullptr;
    Image *imgLogo = nullptr;
    QLabel *lblNombre = nullptr;
    PaireImages imgSuiv, imgCarte;
    LienTexte *lblQuit = nullptr;
    FormePopup *Shape1 = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void AdapteTitre(TypeRappel type);
    void AfficheNbMessages();
    // Steps shared by the load and "Suivant": next reminder, title, layout, counter, text.
    // False when none was left to show (the window keeps what it shows).
    bool AfficheRappel();
    void ModifieTailleMessage(int nb);
    void ModifieTailleFenetre(bool plusMessages);

    ScanRappels &m_scan;
    int m_lignes = 0;

    // Twips kept here so that sizes do not drift through pixel rounding.
    double m_largeur = 5280;
    double m_hauteur = 2580;
    double m_hauteurMsg = 372;
    double m_gaucheLogo = 2400;
};

} // namespace oxi
