#include "MessagerieQt.h"
#include "Constantes.h"

#include <QMessageBox>

namespace oxi {

namespace {

int Montre(QMessageBox::Icon icone, const QString &texte, QMessageBox::StandardButtons boutons)
{
    QMessageBox boite(icone, TitreAppli, texte, boutons);
    return boite.exec();
}

} // namespace

void MessagerieQt::Information(const QString &texte)
{
    Montre(QMessageBox::Information, texte, QMessageBox::Ok);
}

void MessagerieQt::Critique(const QString &texte)
{
    Montre(QMessageBox::Critical, texte, QMessageBox::Ok);
}

void MessagerieQt::Simple(const QString &texte)
{
    Montre(QMessageBox::NoIcon, texte, QMessageBox::Ok);
}

bool MessagerieQt::Question(const QString &texte)
{
    return Montre(QMessageBox::NoIcon, texte, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

} // namespace oxi
