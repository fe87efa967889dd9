#pragma once
#include "ModuleEchanges.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

namespace oxi {

// The settings of the exchange with a CalDAV calendar, its last outcome, and
// "Synchroniser maintenant". The password goes to the keyring, never to oxi.conf.
class frmSynchro : public QWidget
{
    Q_OBJECT
public:
    // `synchro` runs the exchanges; without it the window only keeps the settings.
    explicit frmSynchro(SynchroAuto *synchro, QWidget *parent = nullptr);

    QLineEdit *txtAdresse = nullptr;
    QLineEdit *txtUtilisateur = nullptr;
    QLineEdit *txtCalendrier = nullptr;
    QLineEdit *txtMotDePasse = nullptr;
    QLabel *lblDerniere = nullptr;
    QLabel *lblBilan = nullptr;
    QPushButton *cmdSynchroniser = nullptr;
    QPushButton *cmdFermer = nullptr;

    void SynchroniseMaintenant();

private:
    void AfficheBilan();
    void Enchaine();
    SynchroAuto *m_synchro;
};

} // namespace oxi
