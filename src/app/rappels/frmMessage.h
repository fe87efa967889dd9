#pragma once
#include <QLabel>
#include <QPointer>
#include <QScrollArea>
#include <QWidget>

#include "Echeances.h"
#include "ImageBouton.h"
#include "Reports.h"
#include "TypeRappel.h"

class QMenu;

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
    // Where "Plus tard" keeps the reminders it puts off; they count as still to come.
    void FixeReports(ReportsRappels *reports) { m_reports = reports; }
    // "Plus tard": the reminder shown is put off, not acknowledged; the next one
    // takes its place, or the popup closes when none is left to show now.
    void PlusTard(DelaiReport delai);
    // The program's exit: asks once about the reminders left, then closes whatever
    // the answer; those not shown stay due for the next start.
    void FermePourQuitter();

    int NbMessages = 0; // reminders left, the one on screen included
    int NumMessage = 0; // place of the one on screen
    int TotalMessages = 0;

    QLabel *lblTitre = nullptr;
    Image *imgAnniv = nullptr;
    Image *imgFete = nullptr;
    Image *imgNote = nullptr;
    QLabel *lblDate = nullptr;
    QLabel *lblMsg = nullptr;
    // Holds lblMsg; scrolls it when the text is taller than the screen allows.
    QScrollArea *defMsg = nullptr;
    Image *imgLogo = nullptr;
    QLabel *lblNombre = nullptr;
    PaireImages imgSuiv, imgCarte;
    LienTexte *lblQuit = nullptr;
    LienTexte *lblPlusTard = nullptr;
    QMenu *mnuPlusTard = nullptr;
    FormePopup *Shape1 = nullptr;

Q_SIGNALS:
    // A reminder was put off.
    void reporte();

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
    // The tallest text (twips) that keeps the window, arrow and counter on the screen.
    double HauteurMsgMax() const;
    // Reminders left to show after the one on screen, those put off included.
    int AVenir() const;

    ScanRappels &m_scan;
    int m_lignes = 0;

    // Twips kept here so that sizes do not drift through pixel rounding.
    double m_largeur = 5280;
    double m_hauteur = 2580;
    double m_hauteurMsg = 372;
    double m_gaucheLogo = 2400;
    // Closes without the question: at the exit, or when all that is left is put off.
    bool m_sansQuestion = false;
    ReportsRappels *m_reports = nullptr;
    // The reminder on screen and its done flags before it was shown, for "Plus tard".
    qint64 m_numAffiche = 0;
    Echeances m_avant;
    // The postcard's greeting for the reminder shown.
    QString m_salutation;
};

} // namespace oxi
