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

// The main window: hidden at start, shown from the tray icon; hosts the panels,
// the function keys and the one-second timer.
class frmAccueil : public QWidget
{
    Q_OBJECT
public:
    frmAccueil();
    ~frmAccueil() override;
    static frmAccueil *Instance();

    // Home frame shown, the five panel frames hidden; caption unchanged.
    void AfficheAccueil();
    // Makes the window visible and brings it to the front.
    void Montre();
    // No notification area: the close box minimises instead of hiding.
    void FixeSansZoneNotification(bool sansZone) { m_sansZone = sansZone; }
    // The exit closes the window even while it is visible.
    void FermePourQuitter();

    Cadre *fraAccueil = nullptr;
    Cadre *fraAide = nullptr;
    PanneauEphem *fraEphem = nullptr;
    PanneauAnniv *fraAnniv = nullptr;
    PanneauFetes *fraFetes = nullptr;
    PanneauNotes *fraNotes = nullptr;
    PanneauTransfert *fraTransfert = nullptr;
    QTimer *Timer1 = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Timer1_Timer();
    void ToucheFonction(int touche);
    QDate m_jourVu;
    bool m_sansZone = false;
    bool m_quitte = false;
};

} // namespace oxi
