#pragma once
#include "Synchroniseur.h"

#include <QObject>
#include <QTimer>

// The exchanges of the tray program: at start, a little after each change
// of the reminders, and every 15 minutes; never two at once.
namespace oxi {

class SynchroAuto : public QObject
{
    Q_OBJECT
public:
    SynchroAuto(Connexion &connexion, QObject *parent = nullptr);
    // An exchange soon, several changes in a row giving one exchange.
    void Demande();
    // An exchange now (or right after the one running).
    void Lance();
    bool EnCours() const { return m_occupe; }

signals:
    void Fini(const oxi::BilanSynchro &bilan);

private:
    void Termine(const BilanSynchro &bilan);
    Connexion &m_connexion;
    QTimer m_attente;
    QTimer m_periode;
    bool m_occupe = false;
    bool m_relance = false;
};

} // namespace oxi
