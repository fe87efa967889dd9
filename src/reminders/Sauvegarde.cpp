#include "Sauvegarde.h"
#include "Base.h"
#include "Chemins.h"
#include "Constantes.h"
#include "DepotRappels.h"
#include "Messagerie.h"
#include "OperationsFichiers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace oxi {

namespace {

// The main file must be open for either direction; a missing file cannot be saved.
bool BasePrete()
{
    if (!Base().EstOuverte())
        ConnecteBase();
    return Base().EstOuverte();
}

bool MemeFichier(const QString &a, const QString &b)
{
    struct stat sa
    {
    };
    struct stat sb
    {
    };
    if (::stat(QFile::encodeName(a).constData(), &sa) != 0 || ::stat(QFile::encodeName(b).constData(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

void SupprimeFichierSqlite(const QString &chemin)
{
    Fichiers().Supprime(chemin);
    if (QFileInfo::exists(chemin + QStringLiteral("-journal")))
        Fichiers().Supprime(chemin + QStringLiteral("-journal"));
}

} // namespace

QString NomSauvegardeDefaut(const QDate &jour)
{
    return QStringLiteral("Oxi_Sauv_") + jour.toString(QStringLiteral("dd")) + QLatin1Char('_')
        + jour.toString(QStringLiteral("MM"));
}

QString NomFichierSauvegarde(const QString &nom)
{
    if (nom.size() > 3 && nom.at(nom.size() - 4) == QLatin1Char('.'))
        return nom;
    return nom + QStringLiteral(".dtb");
}

QString CheminSauvegarde(const QString &dossier, const QString &nomFichier)
{
    if (dossier.endsWith(QLatin1Char('/')))
        return dossier + nomFichier;
    return dossier + QLatin1Char('/') + nomFichier;
}

namespace {

// `chemin` leads to the file `nom` of the program's folder, whatever the path.
bool FichierDuProgramme(const QString &chemin, const QString &nom)
{
    const QString fichier = CheminAppli() + nom;
    if (MemeFichier(chemin, fichier))
        return true;
    // The file may be missing for a moment; the names still must not meet.
    const QFileInfo a(chemin);
    const QFileInfo b(fichier);
    const QString dossierA = QFileInfo(a.absolutePath()).canonicalFilePath();
    const QString dossierB = QFileInfo(b.absolutePath()).canonicalFilePath();
    return !dossierA.isEmpty() && dossierA == dossierB && a.fileName() == b.fileName();
}

} // namespace

bool EstBasePrincipale(const QString &chemin)
{
    return FichierDuProgramme(chemin, NomBaseDefaut);
}

bool EstNomCompaction(const QString &chemin)
{
    return FichierDuProgramme(chemin, NomBaseCompactee);
}

bool SauvegardeBase(const QString &chemin)
{
    if (chemin.trimmed().isEmpty() || EstBasePrincipale(chemin) || EstNomCompaction(chemin) || QFileInfo(chemin).isDir())
        return false;
    if (!BasePrete())
        return false;
    const QFileInfo destination(chemin);
    if (!destination.absoluteDir().exists())
        return false;

    // Written beside its final name so that a failure never harms an earlier backup.
    const QString temporaire = Fichiers().CreeTemporaire(destination.absolutePath() + QStringLiteral("/.")
                                                         + destination.fileName() + QStringLiteral(".XXXXXX"));
    // An empty name would attach a private temporary database and report a backup never written.
    if (temporaire.isEmpty())
        return false;

    Connexion &base = Base();
    bool attachee = false;
    bool ecrite = false;
    try {
        base.Execute(QStringLiteral("ATTACH DATABASE ? AS sauv KEY ?"), {temporaire, CleBase});
        attachee = true;
        Transaction transaction(base);
        DepotRappels(base).CopieVers(QStringLiteral("sauv"));
        transaction.Valide();
        base.Execute(QStringLiteral("DETACH DATABASE sauv"));
        attachee = false;

        // Read back through a connection of its own before it takes the user's name.
        Connexion controle;
        if (controle.Ouvre(temporaire, CleBase)) {
            const DepotRappels copie(controle), source(base);
            ecrite = copie.NombreRappels() == source.NombreRappels() && copie.NombreNotes() == source.NombreNotes();
        }
    } catch (const ErreurBase &) {
        ecrite = false;
    }
    if (attachee) {
        try {
            base.Execute(QStringLiteral("DETACH DATABASE sauv"));
        } catch (const ErreurBase &) {
        }
    }
    if (ecrite)
        ecrite = Fichiers().Renomme(temporaire, chemin);
    if (!ecrite)
        SupprimeFichierSqlite(temporaire);
    return ecrite;
}

Restauration RestaureSauvegarde(const QString &chemin)
{
    if (!BasePrete())
        return Restauration::Echec;

    ContenuRappels contenu;
    {
        Connexion sauvegarde;
        if (!QFileInfo(chemin).isFile()
            || !(sauvegarde.Ouvre(chemin, CleBase) || sauvegarde.Ouvre(chemin, CleBase, nullptr, 4000)))
            return Restauration::Illisible;
        try {
            // A cut or damaged file may still open: every page is read once here.
            const Resultat controle = sauvegarde.Requete(QStringLiteral("PRAGMA quick_check"));
            if (controle.Vide() || controle.Valeur(0, 0).toString() != QLatin1String("ok"))
                return Restauration::Illisible;
            std::optional<ContenuRappels> lu = DepotRappels(sauvegarde).LitContenu();
            if (!lu)
                return Restauration::Illisible;
            if (lu->rappels.isEmpty())
                return Restauration::Vide;
            contenu = std::move(*lu);
        } catch (const ErreurBase &) {
            return Restauration::Illisible;
        }
    }

    Connexion &base = Base();
    try {
        Transaction transaction(base);
        DepotRappels(base).Remplace(contenu);
        // What the calendar exchange remembered described the rows just replaced:
        // forgotten, the next exchange merges both sides instead of deleting on
        // the server what the backup lacks.
        base.Execute(QStringLiteral("DROP TABLE IF EXISTS Synchro"));
        base.Execute(QStringLiteral("DROP TABLE IF EXISTS SynchroEtat"));
        transaction.Valide();
    } catch (const ErreurBase &) {
        return Restauration::Echec;
    }
    return Restauration::Faite;
}

bool RestaureBase(const QString &chemin)
{
    const Restauration resultat = RestaureSauvegarde(chemin);
    if (resultat == Restauration::Vide)
        MsgInfo(QStringLiteral("La sauvegarde est vide."));
    return resultat == Restauration::Faite;
}

} // namespace oxi
