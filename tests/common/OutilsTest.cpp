#include "OutilsTest.h"
#include "Base.h"
#include "Chemins.h"
#include "Constantes.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTest>

namespace oxi {

EnvironnementTest::EnvironnementTest()
{
    QDir(m_dossier.path()).mkpath(QStringLiteral("config"));
    const QString config = m_dossier.path() + QStringLiteral("/config");
    qputenv("XDG_CONFIG_HOME", config.toUtf8());
    // QSettings keeps the first user path it computed: set it each time.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config);
    FixeCheminAppli(m_dossier.path());
    Reinitialise();
}

EnvironnementTest::~EnvironnementTest()
{
    FermeBase();
}

QString EnvironnementTest::CheminBase() const
{
    return m_dossier.path() + QLatin1Char('/') + NomBaseDefaut;
}

void EnvironnementTest::Reinitialise()
{
    FermeBase();
    QSettings reglages(QSettings::NativeFormat, QSettings::UserScope, NomAppli(), NomAppli());
    reglages.clear();
    reglages.sync();
    QDir(m_dossier.path() + QStringLiteral("/config/autostart")).removeRecursively();
    QFile::remove(CheminBase());
    QFile::copy(QStringLiteral(OXI_BASE_REFERENCE), CheminBase());
    QFile(CheminBase()).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    FixeNomBase(NomBaseDefaut);
    if (!ConnecteBase())
        qFatal("reference database missing: %s", OXI_BASE_REFERENCE);
}

MessagerieScriptee::MessagerieScriptee()
{
    InstalleMessagerie(this);
}

MessagerieScriptee::~MessagerieScriptee()
{
    InstalleMessagerie(nullptr);
}

} // namespace oxi
