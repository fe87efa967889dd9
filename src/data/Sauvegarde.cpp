#include "Sauvegarde.h"
#include "Base.h"
#include "Chemins.h"
#include "Constantes.h"
#include "Messagerie.h"
#include "Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cstdio>
#include <sys/stat.h>

namespace oxi {

namespace {

const QStringList ColonnesRappel{"NumRappel", "DateRappel", "Type", "Libelle", "Ech1",
                                 "EtatEch1", "Ech2", "EtatEch2", "Ech3", "EtatEch3"};
const QStringList ColonnesNotes{"NumNote", "Libelle1", "Libelle2"};

QString Liste(const QStringList &colonnes)
{
    return colonnes.join(QStringLiteral(", "));
}

QString Marques(int nombre)
{
    QStringList marques;
    for (int i = 0; i < nombre; ++i)
        marques << QStringLiteral("?");
    return marques.join(QStringLiteral(", "));
}

// The main file must be open for either direction; a missing file cannot be saved.
bool BasePrete()
{
    if (!Base().EstOuverte())
        ConnecteBase();
    return Base().EstOuverte();
}

bool MemeFichier(const QString &a, const QString &b)
{
    struct stat sa {};
    struct stat sb {};
    if (::stat(QFile::encodeName(a).constData(), &sa) != 0 || ::stat(QFile::encodeName(b).constData(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

void SupprimeFichierSqlite(const QString &chemin)
{
    QFile::remove(chemin);
    QFile::remove(chemin + QStringLiteral("-journal"));
}

int Compte(Connexion &connexion, const QString &table)
{
    return connexion.Requete(QStringLiteral("SELECT count(*) FROM ") + table).Valeur(0, 0).toInt();
}

bool MemesColonnes(const QStringList &lues, const QStringList &attendues)
{
    if (lues.size() != attendues.size())
        return false;
    for (int i = 0; i < lues.size(); ++i)
        if (lues.at(i).compare(attendues.at(i), Qt::CaseInsensitive) != 0)
            return false;
    return true;
}

bool EstEntier(const QVariant &valeur)
{
    return valeur.typeId() == QMetaType::LongLong;
}

bool EstTexte(const QVariant &valeur)
{
    return !valeur.isNull() && valeur.typeId() == QMetaType::QString;
}

bool EstDate(const QVariant &valeur)
{
    return EstTexte(valeur) && valeur.toString().size() == 10 && LitDate(valeur).isValid();
}

bool EstDrapeau(const QVariant &valeur)
{
    return EstEntier(valeur) && (valeur.toLongLong() == 0 || valeur.toLongLong() == 1);
}

// A row the rest of the program can live with: anything else is a damaged backup.
bool RappelValide(const QVector<QVariant> &l)
{
    static const QStringList types{QStringLiteral("A"), QStringLiteral("F"), QStringLiteral("N")};
    return EstEntier(l[0]) && EstDate(l[1]) && EstTexte(l[2]) && types.contains(l[2].toString())
        && EstTexte(l[3]) && EstDate(l[4]) && EstDrapeau(l[5]) && EstDate(l[6]) && EstDrapeau(l[7])
        && EstDate(l[8]) && EstDrapeau(l[9]);
}

bool NoteValide(const QVector<QVariant> &l)
{
    return EstEntier(l[0]) && (l[1].isNull() || EstTexte(l[1])) && (l[2].isNull() || EstTexte(l[2]));
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

bool EstBasePrincipale(const QString &chemin)
{
    const QString principale = CheminAppli() + NomBaseDefaut;
    if (MemeFichier(chemin, principale))
        return true;
    // The file may be missing for a moment; the names still must not meet.
    const QFileInfo a(chemin);
    const QFileInfo b(principale);
    const QString dossierA = QFileInfo(a.absolutePath()).canonicalFilePath();
    const QString dossierB = QFileInfo(b.absolutePath()).canonicalFilePath();
    return !dossierA.isEmpty() && dossierA == dossierB && a.fileName() == b.fileName();
}

bool SauvegardeBase(const QString &chemin)
{
    if (chemin.trimmed().isEmpty() || EstBasePrincipale(chemin) || QFileInfo(chemin).isDir())
        return false;
    if (!BasePrete())
        return false;
    const QFileInfo destination(chemin);
    if (!destination.absoluteDir().exists())
        return false;

    // Written beside its final name so that a failure never harms an earlier backup.
    QString temporaire;
    {
        QTemporaryFile fichier(destination.absolutePath() + QStringLiteral("/.") + destination.fileName()
                               + QStringLiteral(".XXXXXX"));
        fichier.setAutoRemove(false);
        if (!fichier.open())
            return false;
        temporaire = fichier.fileName();
    }
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
        base.Execute(QString(SchemaRappel).replace(QStringLiteral("CREATE TABLE "), QStringLiteral("CREATE TABLE sauv.")));
        base.Execute(QString(SchemaNotes).replace(QStringLiteral("CREATE TABLE "), QStringLiteral("CREATE TABLE sauv.")));
        base.Execute(QStringLiteral("INSERT INTO sauv.Rappel (%1) SELECT %1 FROM main.Rappel ORDER BY NumRappel")
                         .arg(Liste(ColonnesRappel)));
        base.Execute(QStringLiteral("INSERT INTO sauv.Notes (%1) SELECT %1 FROM main.Notes ORDER BY NumNote")
                         .arg(Liste(ColonnesNotes)));
        transaction.Valide();
        base.Execute(QStringLiteral("DETACH DATABASE sauv"));
        attachee = false;

        // Read back through a connection of its own before it takes the user's name.
        Connexion controle;
        if (controle.Ouvre(temporaire, CleBase)) {
            ecrite = Compte(controle, QStringLiteral("Rappel")) == Compte(base, QStringLiteral("Rappel"))
                && Compte(controle, QStringLiteral("Notes")) == Compte(base, QStringLiteral("Notes"));
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
        ecrite = std::rename(QFile::encodeName(temporaire).constData(), QFile::encodeName(chemin).constData()) == 0;
    if (!ecrite)
        SupprimeFichierSqlite(temporaire);
    return ecrite;
}

Restauration RestaureSauvegarde(const QString &chemin)
{
    if (!BasePrete())
        return Restauration::Echec;

    QVector<QVector<QVariant>> rappels;
    QVector<QVector<QVariant>> notes;
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
            const Resultat r = sauvegarde.Requete(QStringLiteral("SELECT * FROM Rappel"));
            if (!MemesColonnes(r.colonnes, ColonnesRappel))
                return Restauration::Illisible;
            const Resultat n = sauvegarde.Requete(QStringLiteral("SELECT * FROM Notes"));
            if (!MemesColonnes(n.colonnes, ColonnesNotes))
                return Restauration::Illisible;
            for (const auto &ligne : r.lignes)
                if (!RappelValide(ligne))
                    return Restauration::Illisible;
            for (const auto &ligne : n.lignes)
                if (!NoteValide(ligne))
                    return Restauration::Illisible;
            if (r.Vide())
                return Restauration::Vide;
            rappels = r.lignes;
            notes = n.lignes;
        } catch (const ErreurBase &) {
            return Restauration::Illisible;
        }
    }

    Connexion &base = Base();
    try {
        Transaction transaction(base);
        base.Execute(QStringLiteral("DELETE FROM Rappel"));
        base.Execute(QStringLiteral("DELETE FROM Notes"));
        const QString insereRappel = QStringLiteral("INSERT INTO Rappel (%1) VALUES (%2)")
                                         .arg(Liste(ColonnesRappel), Marques(ColonnesRappel.size()));
        for (const auto &ligne : rappels)
            base.Execute(insereRappel, QVariantList(ligne.begin(), ligne.end()));
        const QString insereNote = QStringLiteral("INSERT INTO Notes (%1) VALUES (%2)")
                                       .arg(Liste(ColonnesNotes), Marques(ColonnesNotes.size()));
        for (const auto &ligne : notes)
            base.Execute(insereNote, QVariantList(ligne.begin(), ligne.end()));
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
