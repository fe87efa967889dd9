#include "Reglages.h"
#include "Chemins.h"

#include <QSettings>

namespace oxi {

namespace {

QString Chemin(const Reglage &reglage)
{
    return QString::fromLatin1(reglage.section) + QLatin1Char('/') + QString::fromLatin1(reglage.cle);
}

} // namespace

QString LitReglage(const Reglage &reglage)
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, NomAppli(), NomAppli());
    const QVariant valeur = store.value(Chemin(reglage));
    if (valeur.typeId() == QMetaType::QStringList)
        return valeur.toStringList().join(QLatin1Char(','));
    return valeur.toString();
}

bool EcritReglage(const Reglage &reglage, const QString &valeur)
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, NomAppli(), NomAppli());
    store.setValue(Chemin(reglage), valeur);
    // Written to the file now, so that a full disk or a folder that cannot be
    // written is known here. Qt keeps the value in its in-process copy all the same.
    store.sync();
    return store.status() == QSettings::NoError;
}

} // namespace oxi
