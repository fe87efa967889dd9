#include "ControleBase.h"
#include "Base.h"
#include "Schema.h"

#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

namespace oxi {

namespace {

const QStringList Tables{QStringLiteral("Rappel"), QStringLiteral("Notes"), QStringLiteral("Fetes"), QStringLiteral("Dictons"),
                         QStringLiteral("Mois")};

QStringList ColonnesDe(Connexion &connexion, const QString &table)
{
    QStringList colonnes;
    const Resultat info = connexion.Requete(QStringLiteral("PRAGMA table_info(%1)").arg(table));
    const int nom = info.Colonne(QStringLiteral("name"));
    for (int i = 0; i < info.Nombre(); ++i)
        colonnes << info.Valeur(i, nom).toString().toLower();
    return colonnes;
}

// The columns each table must have, read from the program's own schema
// through a database in memory, so that they are written once.
bool SchemaAttendu(Connexion &connexion)
{
    Connexion reference;
    if (!reference.Cree(QStringLiteral(":memory:"), QString()))
        return false;
    for (const QString &creation : {SchemaRappel, SchemaNotes, SchemaFetes, SchemaDictons, SchemaMois})
        reference.Execute(creation);
    for (const QString &table : Tables) {
        const QStringList presentes = ColonnesDe(connexion, table);
        for (const QString &colonne : ColonnesDe(reference, table))
            if (!presentes.contains(colonne))
                return false;
    }
    return true;
}

} // namespace

bool EstFichierOrdinaire(const QString &chemin)
{
    struct stat etat
    {
    };
    return ::stat(QFile::encodeName(chemin).constData(), &etat) == 0 && S_ISREG(etat.st_mode);
}

bool BaseSaine(Connexion &connexion)
{
    try {
        if (!SchemaAttendu(connexion))
            return false;
        // A file cut short still opens: its header tells how long it was.
        const qint64 pages = connexion.Requete(QStringLiteral("PRAGMA page_count")).Valeur(0, 0).toLongLong();
        const qint64 taille = connexion.Requete(QStringLiteral("PRAGMA page_size")).Valeur(0, 0).toLongLong();
        if (QFileInfo(connexion.Chemin()).size() < pages * taille)
            return false;
        // Every page decrypted and its checksum verified, without the slower
        // index cross-checks of a full integrity check.
        const Resultat controle = connexion.Requete(QStringLiteral("PRAGMA quick_check(1)"));
        return !controle.Vide() && controle.Valeur(0, 0).toString() == QLatin1String("ok");
    } catch (const ErreurBase &) {
        return false;
    }
}

} // namespace oxi
