#pragma once
#include "ModuleEchanges.h"
#include "Synchroniseur.h"

#include <QObject>
#include <QTimer>

// The tray program's exchanges with a CalDAV server, timed as SynchroAuto says.
namespace oxi {

class SynchroAutoCalDav : public SynchroAuto
{
    Q_OBJECT
public:
    SynchroAutoCalDav(Connexion &connexion, QObject *parent = nullptr);
    // An exchange soon, several changes in a row giving one exchange.
    void Demande();
    // An exchange now (or right after the one running).
    void Lance() override;
    bool EnCours() const { return m_occupe; }

private:
    void Termine(const BilanSynchro &bilan);
    Connexion &m_connexion;
    QTimer m_attente;
    QTimer m_periode;
    bool m_occupe = false;
    bool m_relance = false;
};

} // namespace oxi
