#pragma once
#include "Dialogues.h"

namespace oxi {

class AffichageRappels;
class IconeNotification;
class frmAccueil;

// The running program, made by main(): its main window, tray icon, reminder
// display and single-use windows, from start-up to exit.
class Programme
{
public:
    // The start-up sequence; false when start-up ended (second instance,
    // no connection, regional settings refused) and the program must stop.
    bool Demarre();
    // Ends the program in order: icon, windows, connection, then every event loop.
    void Quitte();
    // True once Quitte ran since the last start-up (an exit asked before the
    // main loop began must not let it start).
    bool EstQuitte() const { return m_quitte; }
    // The main window; nullptr before start-up and after the exit.
    frmAccueil *Fenetre() const { return m_fenetre; }
    Dialogues &Fenetres() { return m_dialogues; }

private:
    frmAccueil *m_fenetre = nullptr;
    IconeNotification *m_icone = nullptr;
    AffichageRappels *m_rappels = nullptr;
    Dialogues m_dialogues;
    bool m_quitte = false;
    bool m_enCours = false; // Quitte running: a window it closes may ask again
};

} // namespace oxi
