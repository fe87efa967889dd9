#pragma once
#include <QLabel>
#include <QPointer>
#include <QScrollArea>
#include <QWidget>

#include "ImageBouton.h"
#include "Reports.h"

class QMenu;

namespace oxi {

class FormePopup;
class Resultat;

// The reminder popup: shows the due reminders of TabRappels one at a time,
// acknowledging each as it is shown.
class frmMessage : public QWidget
{
    Q_OBJECT
public:
    explicit frmMessage(QWidget *parent = nullptr);
    ~frmMessage() override;

    // The open popup, or nullptr.
    static frmMessage *Instance();

    // Loads the first reminder not yet shown, places and sizes the window.
    void Form_Load();
    // "Suivant": the next reminder; the window keeps its place and width.
    void imgSuiv2_Click();
    // A new scan while the window is open: the counter and the arrow follow the new list.
    void Actualise();
    // "Plus tard": the reminder shown is put off, not acknowledged; the next one
    // takes its place, or the popup closes when none is left to show now.
    void PlusTard(DelaiReport delai);
    // The program's exit: asks once about the reminders left, then closes whatever
    // the answer; those not shown stay due for the next start.
    void FermePourQuitter();

    int NbMessages = 0;
    int NumMessage = 1;
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

protected:
    void closeEvent(QCloseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void RecupNbMessages();
    void AdapteTitre(int typeMess);
    void AfficheNbMessages();
    // Steps shared by the load and "Suivant": load, title, layout, counter, text.
    void AfficheRappel();
    void TraiteMessage(const Resultat &rappel);
    void ModifieTailleMessage(int nb);
    void ModifieTailleFenetre(bool plusMessages);
    // The tallest text (twips) that keeps the window, arrow and counter on the screen.
    double HauteurMsgMax() const;

    // Twips kept here so that sizes do not drift through pixel rounding.
    double m_largeur = 5280;
    double m_hauteur = 2580;
    double m_hauteurMsg = 372;
    double m_gaucheLogo = 2400;
    // Closes without the question: at the exit, or when all that is left is put off.
    bool m_sansQuestion = false;
    // The reminder on screen and its done flags before it was shown, for "Plus tard".
    int m_numAffiche = 0;
    Echeances m_avant;
    // The postcard's greeting for the reminder shown.
    QString m_salutation;
};

} // namespace oxi
