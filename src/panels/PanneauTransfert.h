#pragma once
#include "ImageBouton.h"

#include <QLineEdit>
#include <functional>

class QFileDialog;

namespace oxi {

// The chooser of a folder (or, with `fichiers`, of a file) starting in
// `depart`, with its title, centred on the screen when asked.
QFileDialog *PrepareNavigateur(const QString &depart, bool fichiers, bool centre, const QString &titre);
// Shows it and gives the chosen path, or empty text when cancelled.
QString ChoisitRepertoire(const QString &depart, bool fichiers, bool centre, const QString &titre);

// The transfer panel of the main window (fraTransfert): backup of the
// personal data to a file of the user's choice, and restore from one.
class PanneauTransfert : public Cadre
{
    Q_OBJECT
public:
    explicit PanneauTransfert(QWidget *parent);

    // Defaults set each time the panel opens: today's name, the program's folder.
    void Initialise();
    // Empties the panel, hides it and tells the window to show its home frame.
    void InitTransfert();

    void ChoisitDossierSauvegarde();
    void ValideSauvegarde();
    void ChoisitSauvegardeARestaurer();
    void ValideRestauration();

    // The chooser behind the two browse buttons, replaceable for tests.
    std::function<QString(const QString &, bool, bool, const QString &)> choisit = ChoisitRepertoire;

    QLabel *Label2 = nullptr;
    QLabel *lblSauv = nullptr;
    QLineEdit *txtSauvName = nullptr;
    QLineEdit *TxtSauvDir = nullptr;
    PaireImages imgSauvDir;
    PaireImages imgTSValid;
    QLabel *lblRestau = nullptr;
    QLineEdit *txtRestauName = nullptr;
    PaireImages imgRestauDir;
    PaireImages imgTValid;

Q_SIGNALS:
    void termine();

private:
    QString m_sauvegarde;
};

} // namespace oxi
