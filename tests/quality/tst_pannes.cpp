// Kills and failed writes at every file-changing step of the compaction, the
// backup and the restore, then a full disk, locked files and closed folders:
// the main file must always open with its key and hold every reminder, no
// half-written file may stand under the chosen name, the next start must work.
// Then damaged, foreign and special files in the main file's place: refused
// at the start, never waited on, left byte for byte as they were.
#include "Base.h"
#include "Chemins.h"
#include "Constantes.h"
#include "DeriveCle.h"
#include "Generateur.h"
#include "OutilsTest.h"
#include "Pannes.h"
#include "Sauvegarde.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

using namespace oxi;
using namespace oxi::test;

namespace {

enum class Operation { Compacte, Sauve, Restaure };
const char *const NomsOperations[] = {"compaction", "sauvegarde", "restauration"};
const Operation Operations[] = {Operation::Compacte, Operation::Sauve, Operation::Restaure};

// Errors a write can meet, taken in turn from one fault point to the next.
const int Erreurs[] = {ENOSPC, EIO, EROFS, EACCES, EDQUOT, EFBIG};

void Copie(const QString &source, const QString &destination)
{
    QFile::remove(destination);
    QVERIFY(QFile::copy(source, destination));
    QFile(destination).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
}

// The operation as the child runs it: 0 for success, 1 for a reported failure.
std::function<int()> Action(Operation op, const QString &cible)
{
    return [op, cible] {
        FixeNomBase(NomBaseDefaut);
        if (op == Operation::Compacte)
            return CompacteBase() ? 0 : 1;
        ConnecteBase();
        return (op == Operation::Sauve ? SauvegardeBase(cible) : RestaureSauvegarde(cible) == Restauration::Faite) ? 0 : 1;
    };
}

using Lanceur = std::function<Essai(const std::function<int()> &)>;

// How a start ended in the child.
enum Issue { Ouverte = 0, Refusee = 1, Absente = 2, Autre = 3 };
const char *const NomsIssues[] = {"ouverte", "refusée", "absente", "autre"};

// The data part of a start, as the program does it; a hang ends in SIGALRM.
std::function<int()> Demarrage(const QStringList &critiques)
{
    return [&critiques] {
        alarm(30);
        FixeNomBase(NomBaseDefaut);
        PrepareCle(CheminBase(), CleBase);
        CompacteBase();
        if (!ConnecteBase())
            return critiques == QStringList{"Echec de la connection ! "} ? Refusee : Autre;
        return critiques.isEmpty() ? (Base().EstOuverte() ? Ouverte : Absente) : Autre;
    };
}

// Scrambles bytes in the middle of the first page of `table`.
void AbimeTable(const QString &chemin, const QString &table)
{
    Connexion c;
    QVERIFY(c.Ouvre(chemin, CleBase));
    const qint64 page = c.Requete("SELECT rootpage FROM sqlite_master WHERE name = ?", {table}).Valeur(0, 0).toLongLong();
    c.Ferme();
    QFile f(chemin);
    QVERIFY(page > 1 && f.open(QIODevice::ReadWrite) && f.seek((page - 1) * 1024 + 300));
    f.write(QByteArray(16, '\x5a'));
}

using Prepare = std::function<void(const QString &)>;

// What stands in the main file's place and in DBC.dtb's (nothing when empty) for one start.
struct CasFichier
{
    const char *nom;
    Prepare principale, reste;
    Issue attendue;
    bool principaleModifiee = false; // opened files may be compacted
    bool resteGarde = true;          // a leftover DBC.dtb stays
};

} // namespace

Q_DECLARE_METATYPE(Operation)

class TestPannes : public QObject
{
    Q_OBJECT

    EnvironnementTest env;
    MessagerieScriptee messages;
    QTemporaryDir annexe;
    const QString dossier = env.Dossier(), principale = env.CheminBase(), autre = dossier + "/autre.dtb",
                  sauvegarde = dossier + "/Oxi_Sauv_05_12.dtb", vierge = annexe.filePath("vierge.dtb"),
                  ancienne = annexe.filePath("ancienne.dtb");
    QStringList etatPrincipal, etatAutre;
    int essayes = 0, tenus = 0, total = 0;

    void Remet()
    {
        FermeBase();
        Copie(vierge, principale);
        QFile::remove(principale + "-journal");
        Copie(ancienne, sauvegarde);
        FixeNomBase(NomBaseDefaut);
        // A killed backup leaves its hidden temporary file; every forked child
        // draws the same random names, so clear them to keep the runs alike.
        for (const QString &reste : QDir(dossier).entryList({".Oxi_Sauv*"}, QDir::Files | QDir::Hidden))
            QFile::remove(dossier + '/' + reste);
    }

    // The file the operation writes (backup) or reads (restore).
    QString Cible(Operation op) const { return op == Operation::Restaure ? autre : sauvegarde; }

    // What must hold once the child ended: the chosen file untouched or
    // whole, and the next start finding the data the outcome calls for.
    QString Controle(Operation op, const QString &cible, const QByteArray &avant, const Essai &essai, Panne panne)
    {
        if (panne != Panne::Aucune && !essai.atteint)
            return "panne non atteinte";
        if (essai.tue ? panne != Panne::Tue : essai.code != 0 && essai.code != 1)
            return QString("fin inattendue (%1)").arg(essai.tue ? QString("tué") : QString::number(essai.code));
        const int code = essai.tue ? -1 : essai.code;
        const bool intact = Empreinte(cible) == avant;
        if (op == Operation::Sauve) {
            const bool complete = !intact && EtatFichier(cible) == etatPrincipal;
            if (!intact && !complete)
                return "fichier à moitié écrit sous le nom choisi";
            if (code == 0 && !complete)
                return "succès annoncé sans sauvegarde complète";
            if (code == 1 && !intact)
                return "échec annoncé mais l'ancienne sauvegarde a changé";
        } else if (op == Operation::Restaure && !intact) {
            return "le fichier de sauvegarde a été modifié";
        }
        const QStringList etat = EtatAuDemarrage();
        const bool restauree = op == Operation::Restaure && (code == 0 || (code < 0 && etat == etatAutre));
        return etat == (restauree ? etatAutre : etatPrincipal) ? QString() : "rappels perdus ou modifiés";
    }

    // What the next start (compaction, which rolls back a leftover journal, then
    // connection) finds in the main file; empty when it does not open whole.
    QStringList EtatAuDemarrage()
    {
        FermeBase();
        FixeNomBase(NomBaseDefaut);
        CompacteBase();
        const QStringList etat = ConnecteBase() && Base().EstOuverte() ? EtatConnexion(Base()) : QStringList();
        FermeBase();
        return etat;
    }

    // One fault tried from fresh files: counted, and reported when it did not hold.
    void Essaie(Operation op, const QString &quoi, const Lanceur &lance, Panne panne = Panne::Aucune, QString cible = {})
    {
        Remet();
        cible = cible.isEmpty() ? Cible(op) : cible;
        const QByteArray avant = Empreinte(cible);
        Compte(NomsOperations[int(op)] + (", " + quoi), Controle(op, cible, avant, lance(Action(op, cible)), panne));
    }

    // One fault point more, held when nothing is reported.
    void Compte(const QString &quoi, const QString &raison)
    {
        ++essayes;
        tenus += raison.isEmpty();
        if (!raison.isEmpty())
            qWarning("%s : %s", qPrintable(quoi), qPrintable(raison));
    }

private slots:
    void initTestCase()
    {
        // A backup made earlier stands under the chosen name.
        GenereRappels(Base(), 40, 2026, 7);
        QVERIFY(SauvegardeBase(sauvegarde));
        Copie(sauvegarde, ancienne);
        // The data a restore brings back.
        GenereRappels(Base(), 60, 2026, 11);
        etatAutre = EtatConnexion(Base());
        QVERIFY(SauvegardeBase(autre));

        // The main file: reminders of every kind, and whole free pages for the compaction to reclaim.
        env.Reinitialise();
        GenereRappels(Base(), 150, 2026, 3);
        Base().Execute("DELETE FROM Rappel WHERE NumRappel % 3 = 0 OR NumRappel > 100");
        Base().Execute("DELETE FROM Notes WHERE NumNote NOT IN (SELECT NumRappel FROM Rappel)");
        etatPrincipal = EtatConnexion(Base());
        FermeBase();
        Copie(principale, vierge);
    }

    // How many faults of one kind were tried and held.
    void cleanup()
    {
        const char *quoi = QTest::currentDataTag() ? QTest::currentDataTag() : QTest::currentTestFunction();
        qInfo("%s : %d points de panne essayés, %d tenus", quoi, essayes, tenus);
        total += essayes;
        QCOMPARE(std::exchange(tenus, 0), std::exchange(essayes, 0));
    }

    void interruptions_data()
    {
        QTest::addColumn<Operation>("op");
        for (const Operation op : Operations)
            QTest::newRow(NomsOperations[int(op)]) << op;
    }

    // Each file-changing call in turn: the child killed there, or the call failing.
    void interruptions()
    {
        QFETCH(Operation, op);
        Remet();
        const QByteArray empreinte = Empreinte(Cible(op));
        const Essai complet = LanceAvecPanne(Action(op, Cible(op)), dossier);
        // The compacted file is smaller, and keyed still.
        QVERIFY(op != Operation::Compacte
                || (QFileInfo(principale).size() < QFileInfo(vierge).size() && !Connexion().Ouvre(principale, QString())));
        QCOMPARE(Controle(op, Cible(op), empreinte, complet, Panne::Aucune), QString());
        QVERIFY2(complet.points > 3, "l'opération n'écrit rien");
        for (int n = 1; n <= complet.points; ++n)
            for (const Panne panne : {Panne::Tue, Panne::Erreur}) {
                const int erreur = Erreurs[n % std::size(Erreurs)];
                Essaie(
                    op, QString("point %1 %2").arg(n).arg(panne == Panne::Tue ? "tué" : strerror(erreur)),
                    [&](const std::function<int()> &action) { return LanceAvecPanne(action, dossier, panne, n, erreur); }, panne);
            }
    }

    // A real size limit of the kernel, as on a full disk: every write past it fails.
    void disquePlein()
    {
        for (const rlim_t limite : {rlim_t(0), rlim_t(1024), rlim_t(4096), rlim_t(20000), rlim_t(60000)})
            for (const Operation op : Operations)
                Essaie(op, QString("limite %1").arg(limite), [limite](const std::function<int()> &action) {
                    return LanceAvecPanne(action, {}, Panne::Aucune, 0, 0, [limite] {
                        signal(SIGXFSZ, SIG_IGN);
                        const rlimit r{limite, limite};
                        setrlimit(RLIMIT_FSIZE, &r);
                    });
                });
    }

    // Another program holds the main file locked, or the backup to restore.
    void fichierVerrouille()
    {
        const auto verrouille = [](const QString &fichier, const QString &verrou) {
            return [fichier, verrou](const std::function<int()> &action) {
                Connexion autreProgramme; // closed, it gives the lock back
                autreProgramme.Ouvre(fichier, CleBase);
                autreProgramme.Execute(verrou); // throws when the file did not open
                return LanceAvecPanne(action, {});
            };
        };
        for (const char *verrou : {"BEGIN EXCLUSIVE", "BEGIN IMMEDIATE"})
            for (const Operation op : Operations)
                Essaie(op, verrou, verrouille(principale, verrou));
        Essaie(Operation::Restaure, "sauvegarde verrouillée", verrouille(autre, "BEGIN EXCLUSIVE"));
    }

    // Folders and files that cannot be written, for a user who is not root.
    void dossierEnLectureSeule()
    {
        const bool root = geteuid() == 0;
        const uid_t utilisateur = root ? 65534 : geteuid();
        const QString ferme = dossier + "/fermé";
        QDir().mkpath(ferme);
        const auto lecture = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
        // The child runs as that user, over files it owns, with `fermer` closed.
        const auto lanceur = [&](const QString &fermer, QFile::Permissions droits) {
            return [&, fermer, droits](const std::function<int()> &action) {
                for (const QString &f : {dossier, principale, autre})
                    if (root && chown(QFile::encodeName(f).constData(), utilisateur, utilisateur) != 0)
                        return Essai{};
                const QFile::Permissions droitsAvant = QFile(fermer).permissions();
                QFile(fermer).setPermissions(droits);
                const Essai essai = LanceAvecPanne(action, {}, Panne::Aucune, 0, 0, [root, utilisateur] {
                    root && (setgid(utilisateur) != 0 || setuid(utilisateur) != 0) ? _exit(97) : void();
                });
                QFile(fermer).setPermissions(droitsAvant);
                return essai;
            };
        };
        Essaie(Operation::Sauve, "dossier fermé", lanceur(ferme, lecture), Panne::Aucune, ferme + "/Oxi_Sauv.dtb");
        Essaie(Operation::Compacte, "dossier du programme fermé", lanceur(dossier, lecture));
        Essaie(Operation::Restaure, "base en lecture seule", lanceur(principale, QFile::ReadOwner | QFile::ReadOther));
        QVERIFY(!root || chown(QFile::encodeName(dossier).constData(), 0, 0) == 0);
        QDir(ferme).removeRecursively();
    }

    // Each damaged, foreign or special file tried as the main file at a start,
    // in a child that would hang on a FIFO opened for reading; some of them as
    // backups to restore too: refused, both files untouched.
    void fichiersAbimes()
    {
        const QString ancienFormat = annexe.filePath("ancien.dtb"), reste = dossier + '/' + NomBaseCompactee;
        const auto efface = [](const QString &chemin) { QFile::remove(chemin) || QDir().rmdir(chemin); };
        QVERIFY(CopieAncienFormat(vierge, ancienFormat));
        const auto octets = [](QByteArray c) -> Prepare { return [c](const QString &p) { QVERIFY(Ecrit(p, c)); }; };
        const auto copie = [](QString source) -> Prepare { return [source](const QString &p) { Copie(source, p); }; };
        // The sound file, then `abime` done to it.
        const auto abimee = [&](Prepare a) -> Prepare { return [&, a](const QString &p) { Copie(vierge, p), a(p); }; };
        const auto coupee = [&](qint64 retrait) {
            return abimee([retrait](const QString &p) { QVERIFY(QFile(p).resize(QFileInfo(p).size() - retrait)); });
        };
        const auto sql = [&](QStringList s) {
            return abimee([s](const QString &p) { QVERIFY(ExecuteDans(p, CleBase, false, s)); });
        };
        // A new file under that key with a table of the right name.
        const auto nouvelle = [](QString cle) -> Prepare {
            return [cle](const QString &p) { QVERIFY(ExecuteDans(p, cle, true, {"CREATE TABLE Rappel (x)"})); };
        };
        const Prepare fifo = [](const QString &p) { QCOMPARE(mkfifo(QFile::encodeName(p).constData(), 0600), 0); };
        // The library has no DROP COLUMN: the table made again without its last column.
        const QStringList sansColonne{"CREATE TABLE R2 AS SELECT NumRappel, DateRappel, Type, Libelle, Ech1, EtatEch1, Ech2, "
                                      "EtatEch2, Ech3 FROM Rappel",
                                      "DROP TABLE Rappel", "ALTER TABLE R2 RENAME TO Rappel"};
        const CasFichier cas[] = {
            {"FIFO", fifo, {}, Refusee},
            {"dossier", [](const QString &p) { QVERIFY(QDir().mkdir(p)); }, {}, Refusee},
            {"périphérique", [](const QString &p) { QVERIFY(QFile::link("/dev/zero", p)); }, {}, Refusee},
            {"fichier vide", octets(""), {}, Refusee},
            {"un octet", octets("S"), {}, Refusee},
            {"coupé de trois pages", coupee(3 * 1024), {}, Refusee},
            {"coupé d'une demi-page", coupee(512), {}, Refusee},
            {"page abîmée dans Fetes", abimee([](const QString &p) { AbimeTable(p, "Fetes"); }), {}, Refusee},
            {"sans la table Rappel", sql({"DROP TABLE Rappel"}), {}, Refusee},
            {"sans la table Mois", sql({"DROP TABLE Mois"}), {}, Refusee},
            {"colonne manquante", sql(sansColonne), {}, Refusee},
            {"sqlite sans clé", nouvelle(QString()), {}, Refusee},
            {"en-tête sqlite", octets(QByteArray("SQLite format 3\0 ce n'est pas une base", 38)), {}, Refusee},
            {"base d'un autre programme", nouvelle(CleBase), {}, Refusee},
            {"base saine sous une autre clé", nouvelle("autre"), {}, Refusee},
            {"table en plus", sql({"CREATE TABLE Synchro (x)"}), {}, Ouverte, true},
            {"ancien format de clé", copie(ancienFormat), {}, Ouverte},
            {"DBC.dtb seul et sain", {}, copie(vierge), Ouverte, true, false},
            {"DBC.dtb seul et coupé", {}, coupee(3 * 1024), Absente},
            {"DBC.dtb seul en FIFO", {}, fifo, Absente},
            {"base d'un octet, DBC.dtb sain", octets("S"), copie(vierge), Refusee},
            {"base saine, DBC.dtb laissé", copie(vierge), copie(ancienFormat), Ouverte, true, false},
        };
        for (const CasFichier &f : cas) {
            FermeBase();
            efface(principale), efface(reste);
            if (f.principale)
                f.principale(principale);
            if (f.reste)
                f.reste(reste);
            const QByteArray avant = Empreinte(principale), resteAvant = Empreinte(reste);
            const bool resteExistait = QFileInfo::exists(reste);
            messages.Vide();
            const Essai essai = LanceAvecPanne(Demarrage(messages.critiques), {});
            QString raison;
            if (essai.tue || essai.code != f.attendue)
                raison = QString("démarrage %1 au lieu de %2")
                             .arg(essai.tue ? "bloqué" : NomsIssues[qBound(0, essai.code, 3)], NomsIssues[f.attendue]);
            else if (f.resteGarde ? resteExistait && (!QFileInfo::exists(reste) || Empreinte(reste) != resteAvant)
                                  : QFileInfo::exists(reste))
                raison = "DBC.dtb supprimé ou modifié";
            else if (!f.principaleModifiee && QFileInfo::exists(principale) && Empreinte(principale) != avant)
                raison = "fichier modifié";
            else if (f.attendue == Ouverte && EtatAuDemarrage() != etatPrincipal)
                raison = "rappels perdus ou modifiés";
            Compte(f.nom, raison);
        }
        efface(principale), efface(reste);
        const QString cible = dossier + "/abimee.dtb";
        const auto seul = [](const std::function<int()> &action) { return LanceAvecPanne(action, {}); };
        for (const CasFichier &f : cas)
            if (QStringList{"page abîmée dans Fetes", "coupé de trois pages", "sqlite sans clé", "en-tête sqlite", "dossier"}
                    .contains(f.nom)) {
                efface(cible);
                f.principale(cible);
                Essaie(Operation::Restaure, f.nom, seul, Panne::Aucune, cible);
                // Nor is a folder a place to save to.
                if (QFileInfo(cible).isDir())
                    Essaie(Operation::Sauve, f.nom, seul, Panne::Aucune, cible);
            }
        efface(cible);
    }

    void cleanupTestCase() { qInfo("total : %d points de panne essayés", total); }
};

OXI_TEST_GUILESS_MAIN(TestPannes)
#include "tst_pannes.moc"
