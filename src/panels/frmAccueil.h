#pragma once
#include "ImageBouton.h"

#include <QDate>
#include <QTimer>
#include <QWidget>

namespace oxi {

class PanneauAnniv;
class PanneauFetes;
class PanneauNotes;
class PanneauTransfert;
class PanneauEphem;
class SynchroAuto;

// The main window: hidden at start, shown from the tray icon; hosts the icon
// bar, the help strip, the home frame and the five panels (all built at the
// first show), the function keys and the one-second timer.
class frmAccueil : public QWidget
{
    Q_OBJECT
public:
    frmAccueil();
    ~frmAccueil() override;

    // Home frame shown, the five panel frames hidden; caption unchanged.
    void AfficheAccueil();
    // Hides the icon frames and the strip and logo highlights, and puts back
    // the caption of the panel shown.
    void CacheBordures();
    // Makes the window visible and brings it to the front.
    void Montre();
    // No notification area: the close box minimises instead of hiding.
    void FixeSansZoneNotification(bool sansZone) { m_sansZone = sansZone; }
    // The exit closes the window even while it is visible.
    void FermePourQuitter();
    // Builds the icon bar, the help strip, the home frame and the five panels
    // (done by the first show); their pointers are null until then.
    void ConstruitPanneaux();
    // The open reminder list read again (rows changed elsewhere), unless an entry is in progress.
    void RelitListeOuverte();
    // The tray program's exchanges, made on first need with the exchange module;
    // null when the module cannot be loaded (the user is told).
    SynchroAuto *Synchro();
    void setVisible(bool visible) override;
    // A reminder panel is adding or changing an entry.
    bool SaisieEnCours() const;

signals:
    // F8: the stored-settings window, opened by whoever owns the single-use windows.
    void registreDemande();

public:
    Cadre *fraAccueil = nullptr;
    Cadre *fraAide = nullptr;
    PanneauEphem *fraEphem = nullptr;
    PanneauAnniv *fraAnniv = nullptr;
    PanneauFetes *fraFetes = nullptr;
    PanneauNotes *fraNotes = nullptr;
    PanneauTransfert *fraTransfert = nullptr;
    QTimer *Timer1 = nullptr;

    Image *imgEphem = nullptr;
    Image *imgAnniv = nullptr;
    Image *imgFete = nullptr;
    Image *imgNote = nullptr;
    QFrame *bord1 = nullptr;
    QFrame *bord2 = nullptr;
    QFrame *bord3 = nullptr;
    QFrame *bord4 = nullptr;
    PaireImages imgCarte, imgTransfert, imgHelp, imgLogo;

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void CreeBarre();
    void CreeAide();
    void CreeAccueil();
    // Shows one panel frame and hides the five others; nothing while an entry is in progress.
    bool OuvrePanneau(QWidget *panneau, const QString &legende);
    QList<QWidget *> Panneaux() const;

    void OuvreEphemerides();
    void OuvreAnniversaires();
    void OuvreFetes();
    void OuvreNotes();
    void OuvreTransfert();
    void AfficheAide();
    void EnvoieCarte();

    void ActualiseHeure();
    void ToucheFonction(int touche);
    bool m_sansZone = false;
    SynchroAuto *m_synchro = nullptr;
    bool m_quitte = false;
};

} // namespace oxi
