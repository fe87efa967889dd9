#include "OutilsTest.h"
#include "Chemins.h"

#include <QDir>
#include <QFile>
#include <QSettings>

namespace oxi {

EnvironnementTest::EnvironnementTest()
{
    const QString config = m_dossier.filePath("config");
    QDir().mkpath(config);
    qputenv("XDG_CONFIG_HOME", config.toUtf8());
    // QSettings keeps the first user path it computed: set it each time.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config);
    FixeCheminAppli(m_dossier.path());
    Reinitialise();
}

void EnvironnementTest::Reinitialise()
{
    FermeBase();
    QSettings(QSettings::NativeFormat, QSettings::UserScope, NomAppli(), NomAppli()).clear(); // written when it goes
    QDir(m_dossier.filePath("config/autostart")).removeRecursively();
    QFile::remove(CheminBase());
    QFile::copy(OXI_BASE_REFERENCE, CheminBase());
    QFile(CheminBase()).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    FixeNomBase(NomBaseDefaut);
    if (!ConnecteBase())
        qFatal("reference database missing: %s", OXI_BASE_REFERENCE);
}

} // namespace oxi
