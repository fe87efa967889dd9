#pragma once
#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>

namespace oxi {

class Programme;
class frmAccueil;

// The notification-area icon and its menu. A panel that starts after Oxi
// still gets the icon; with no notification area at all the main window
// opens instead, so that the user is never locked out.
class IconeNotification : public QObject
{
    Q_OBJECT
public:
    // Parented to `fenetre`; the menu's about and exit go to `programme`.
    IconeNotification(frmAccueil *fenetre, Programme &programme);
    void GereIcone(bool ajoute);
    QMenu *Menu() const { return m_menu; }
    QSystemTrayIcon *Icone() const { return m_icone; }

private:
    void ConstruitMenu();
    void Active(QSystemTrayIcon::ActivationReason raison);
    void GuetteZone();
    frmAccueil *m_fenetre;
    Programme &m_programme;
    QSystemTrayIcon *m_icone;
    QMenu *m_menu;
    QTimer m_guet;
    int m_essais = 0;
};

} // namespace oxi
