// Kills and failed writes at every file-changing step of the compaction, the
// backup and the restore: the main file must always open with its key and
// hold every reminder, no half-written file may stand under the chosen name,
// and the next start must work.
#include "Base.h"
#include "Chemins.h"
#include "Constantes.h"
#include "Generateur.h"
#include "OutilsTest.h"
#include "Pannes.h"
#include "Sauvegarde.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace oxi;
using namespace oxi::test;

namespace {

QByteArray Empreinte(const QString &chemin)
{
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

void Copie(const QString &source, const QString &destination)
{
    QFile::remove(destination);
    QVERIFY(QFile::copy(source, destination));
    QFile(destination).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
}

// Errors a write can meet, taken in turn from one fault point to the next.
const int Erreurs[] = {ENOSPC, EIO, EROFS, EACCES, EDQUOT, EFBIG};

struct Bilan {
    int essayes = 0;
    int tenus = 0;
};

} // namespace

class TestPannes : public QObject
{
    Q_OBJECT

    EnvironnementTest *env = nullptr;
    MessagerieScriptee messages;
    QTemporaryDir annexe;
    QString dossier, principale, vierge, autre, sauvegarde, ancienne;
    QStringList etatPrincipal, etatAutre, etatAncien;
    Bilan total;
    QString derniere; // how the last child ended

    // The next start, compaction then connection, finds the file whole with
    // the data expected (or, after a restore, possibly the restored data).
    // The compaction rolls back whatever an interrupted write left in a journal.
    bool BaseIntacte(const QStringList &attendu, QString *raison, const QStringList &ouBien = {},
                     QStringList *trouve = nullptr)
    {
        FermeBase();
        NomBase() = NomBaseDefaut;
        CompacteBase();
        if (!ConnecteBase() || !Base().EstOuverte()) {
            *raison = QStringLiteral("le démarrage suivant n'ouvre pas la base");
            return false;
        }
        QStringList etat;
        try {
            const QString controle = Base().Requete(QStringLiteral("PRAGMA integrity_check")).Valeur(0, 0).toString();
            if (controle != QLatin1String("ok")) {
                *raison = QStringLiteral("base endommagée : ") + controle;
                FermeBase();
                return false;
            }
            etat = EtatConnexion(Base());
        } catch (const ErreurBase &e) {
            *raison = QString::fromUtf8(e.what());
        }
        FermeBase();
        if (trouve)
            *trouve = etat;
        if (etat != attendu && (ouBien.isEmpty() || etat != ouBien)) {
            *raison = QStringLiteral("rappels perdus ou modifiés");
            return false;
        }
        return true;
    }

    void Compte(Bilan &bilan, bool tenu, const QString &quoi, const QString &raison)
    {
        ++bilan.essayes;
        ++total.essayes;
        if (tenu) {
            ++bilan.tenus;
            ++total.tenus;
        } else {
            qWarning("%s : %s", qPrintable(quoi), qPrintable(raison.isEmpty() ? derniere : raison));
        }
    }

    void Decrit(const Essai &essai)
    {
        derniere = QStringLiteral("%1 points, %2, %3").arg(essai.points)
                       .arg(essai.atteint ? "panne atteinte" : "panne non atteinte")
                       .arg(essai.tue ? QStringLiteral("tué") : QStringLiteral("code %1").arg(essai.code));
    }

    void Rapporte(const char *operation, const Bilan &bilan)
    {
        qInfo("%s : %d points de panne essayés, %d tenus", operation, bilan.essayes, bilan.tenus);
    }

private slots:
    void initTestCase()
    {
        env = new EnvironnementTest;
        dossier = env->Dossier();
        principale = env->CheminBase();
        vierge = annexe.filePath(QStringLiteral("vierge.dtb"));
        autre = dossier + QStringLiteral("/autre.dtb");
        sauvegarde = dossier + QStringLiteral("/Oxi_Sauv_05_12.dtb");
        ancienne = annexe.filePath(QStringLiteral("ancienne.dtb"));

        // A backup made earlier stands under the chosen name.
        GenereRappels(Base(), 40, 2026, 7);
        etatAncien = EtatConnexion(Base());
        QVERIFY(SauvegardeBase(sauvegarde));
        Copie(sauvegarde, ancienne);

        // The data a restore brings back.
        GenereRappels(Base(), 60, 2026, 11);
        etatAutre = EtatConnexion(Base());
        QVERIFY(SauvegardeBase(autre));

        // The main file: reminders of every kind, and free pages for the compaction to reclaim.
        env->Reinitialise();
        GenereRappels(Base(), 150, 2026, 3);
        // Deleting the newer rows frees whole pages, not only room inside pages.
        Base().Execute(QStringLiteral("DELETE FROM Rappel WHERE NumRappel % 3 = 0 OR NumRappel > 100"));
        Base().Execute(QStringLiteral("DELETE FROM Notes WHERE NumNote NOT IN (SELECT NumRappel FROM Rappel)"));
        etatPrincipal = EtatConnexion(Base());
        FermeBase();
        Copie(principale, vierge);
    }

    void init()
    {
        FermeBase();
        Copie(vierge, principale);
        QFile::remove(principale + QStringLiteral("-journal"));
        Copie(ancienne, sauvegarde);
        NomBase() = NomBaseDefaut;
        // A killed backup leaves its hidden temporary file; every forked child
        // draws the same random names, so clear them to keep the runs alike.
        for (const QString &reste : QDir(dossier).entryList({QStringLiteral(".Oxi_Sauv*")}, QDir::Files | QDir::Hidden))
            QFile::remove(dossier + QLatin1Char('/') + reste);
    }

    void compactionInterrompue()
    {
        const auto compacte = [] {
            NomBase() = NomBaseDefaut;
            return CompacteBase() ? 0 : 1;
        };
        const Essai complet = LanceAvecPanne(compacte, dossier, Panne::Aucune, 0);
        QCOMPARE(complet.code, 0);
        QVERIFY2(complet.points > 3, "la compaction n'écrit rien");
        qInfo("compaction : %d appels qui modifient un fichier", complet.points);
        QVERIFY(QFileInfo(principale).size() < QFileInfo(vierge).size());

        Bilan bilan;
        for (int n = 1; n <= complet.points; ++n) {
            for (const Panne panne : {Panne::Tue, Panne::Erreur}) {
                init();
                const int erreur = Erreurs[n % std::size(Erreurs)];
                const Essai essai = LanceAvecPanne(compacte, dossier, panne, n, erreur);
                Decrit(essai);
                QString raison;
                const bool tenu = essai.atteint && (panne == Panne::Tue || !essai.tue) && BaseIntacte(etatPrincipal, &raison);
                Compte(bilan, tenu, QStringLiteral("compaction, point %1 %2").arg(n).arg(panne == Panne::Tue ? "tué" : strerror(erreur)), raison);
            }
        }
        Rapporte("compaction", bilan);
        QCOMPARE(bilan.tenus, bilan.essayes);
    }

    void sauvegardeInterrompue()
    {
        const QString chemin = sauvegarde;
        const auto sauve = [chemin] {
            NomBase() = NomBaseDefaut;
            ConnecteBase();
            return SauvegardeBase(chemin) ? 0 : 1;
        };
        const Essai complet = LanceAvecPanne(sauve, dossier, Panne::Aucune, 0);
        QCOMPARE(complet.code, 0);
        QCOMPARE(EtatFichier(sauvegarde), etatPrincipal);
        QVERIFY(complet.points > 3);
        qInfo("sauvegarde : %d appels qui modifient un fichier", complet.points);

        const QByteArray empreinteAncienne = Empreinte(ancienne);
        Bilan bilan;
        for (int n = 1; n <= complet.points; ++n) {
            for (const Panne panne : {Panne::Tue, Panne::Erreur}) {
                init();
                const int erreur = Erreurs[n % std::size(Erreurs)];
                const Essai essai = LanceAvecPanne(sauve, dossier, panne, n, erreur);
                Decrit(essai);
                QString raison;
                bool tenu = essai.atteint && (panne == Panne::Tue || !essai.tue);
                // Under the chosen name: the earlier backup untouched, or the whole new one.
                const bool ancienneIntacte = Empreinte(sauvegarde) == empreinteAncienne;
                const bool nouvelleComplete = !ancienneIntacte && EtatFichier(sauvegarde) == etatPrincipal
                    && TablesFichier(sauvegarde) == QStringList{QStringLiteral("Notes"), QStringLiteral("Rappel")};
                if (!ancienneIntacte && !nouvelleComplete) {
                    tenu = false;
                    raison = QStringLiteral("fichier à moitié écrit sous le nom choisi");
                } else if (essai.code == 0 && !nouvelleComplete) {
                    tenu = false;
                    raison = QStringLiteral("succès annoncé sans sauvegarde complète");
                } else if (essai.code == 1 && !ancienneIntacte) {
                    tenu = false;
                    raison = QStringLiteral("échec annoncé mais l'ancienne sauvegarde a changé");
                }
                tenu = tenu && BaseIntacte(etatPrincipal, &raison);
                Compte(bilan, tenu, QStringLiteral("sauvegarde, point %1 %2").arg(n).arg(panne == Panne::Tue ? "tué" : strerror(erreur)), raison);
            }
        }
        Rapporte("sauvegarde", bilan);
        QCOMPARE(bilan.tenus, bilan.essayes);
    }

    void restaurationInterrompue()
    {
        const QString chemin = autre;
        const auto restaure = [chemin] {
            NomBase() = NomBaseDefaut;
            ConnecteBase();
            return int(RestaureSauvegarde(chemin));
        };
        const QByteArray empreinteAutre = Empreinte(autre);
        const Essai complet = LanceAvecPanne(restaure, dossier, Panne::Aucune, 0);
        QCOMPARE(complet.code, int(Restauration::Faite));
        QCOMPARE(EtatFichier(principale), etatAutre);
        QVERIFY(complet.points > 3);
        qInfo("restauration : %d appels qui modifient un fichier", complet.points);

        Bilan bilan;
        for (int n = 1; n <= complet.points; ++n) {
            for (const Panne panne : {Panne::Tue, Panne::Erreur}) {
                init();
                const int erreur = Erreurs[n % std::size(Erreurs)];
                const Essai essai = LanceAvecPanne(restaure, dossier, panne, n, erreur);
                Decrit(essai);
                QString raison;
                QStringList etat;
                bool tenu = BaseIntacte(etatPrincipal, &raison, etatAutre, &etat);
                if (!essai.atteint || (panne == Panne::Erreur && essai.tue)) {
                    tenu = false;
                } else if (essai.code == int(Restauration::Faite) && etat != etatAutre) {
                    tenu = false;
                    raison = QStringLiteral("restauration annoncée mais absente");
                } else if (!essai.tue && essai.code != int(Restauration::Faite) && etat != etatPrincipal) {
                    tenu = false;
                    raison = QStringLiteral("échec annoncé mais la base a changé");
                } else if (Empreinte(autre) != empreinteAutre) {
                    tenu = false;
                    raison = QStringLiteral("le fichier de sauvegarde a été modifié");
                }
                Compte(bilan, tenu, QStringLiteral("restauration, point %1 %2").arg(n).arg(panne == Panne::Tue ? "tué" : strerror(erreur)), raison);
            }
        }
        Rapporte("restauration", bilan);
        QCOMPARE(bilan.tenus, bilan.essayes);
    }

    // A real size limit of the kernel, as on a full disk: every write past it fails.
    void disquePlein()
    {
        const QString chemin = sauvegarde;
        const QByteArray empreinteAncienne = Empreinte(ancienne);
        Bilan bilan;
        for (const rlim_t limite : {rlim_t(0), rlim_t(1024), rlim_t(4096), rlim_t(20000), rlim_t(60000)}) {
            const auto limite_ = [limite] {
                signal(SIGXFSZ, SIG_IGN);
                const rlimit r{limite, limite};
                setrlimit(RLIMIT_FSIZE, &r);
            };
            QString raison;
            init();
            int code = LanceDansEnfant([] { NomBase() = NomBaseDefaut; return CompacteBase() ? 0 : 1; }, limite_);
            Compte(bilan, code >= 0 && BaseIntacte(etatPrincipal, &raison), QStringLiteral("compaction, limite %1").arg(limite), raison);

            init();
            code = LanceDansEnfant([chemin] { ConnecteBase(); return SauvegardeBase(chemin) ? 0 : 1; }, limite_);
            const bool ancienneIntacte = Empreinte(sauvegarde) == empreinteAncienne;
            const bool tenuSauv = (code == 1 && ancienneIntacte) || (code == 0 && EtatFichier(sauvegarde) == etatPrincipal);
            Compte(bilan, tenuSauv && BaseIntacte(etatPrincipal, &raison), QStringLiteral("sauvegarde, limite %1").arg(limite), raison);

            init();
            const QString source = autre;
            code = LanceDansEnfant([source] { ConnecteBase(); return int(RestaureSauvegarde(source)); }, limite_);
            QStringList etat;
            const bool entiere = BaseIntacte(etatPrincipal, &raison, etatAutre, &etat);
            const bool tenuRest = (code == int(Restauration::Faite) && etat == etatAutre)
                || (code != int(Restauration::Faite) && code >= 0 && etat == etatPrincipal);
            Compte(bilan, tenuRest && entiere, QStringLiteral("restauration, limite %1").arg(limite), raison);
        }
        Rapporte("disque plein", bilan);
        QCOMPARE(bilan.tenus, bilan.essayes);
    }

    // Another program holds the main file or the backup locked.
    void fichierVerrouille()
    {
        const QByteArray empreinteAncienne = Empreinte(ancienne);
        const QString chemin = sauvegarde;
        const QString source = autre;
        Bilan bilan;
        for (const QString &verrou : {QStringLiteral("BEGIN EXCLUSIVE"), QStringLiteral("BEGIN IMMEDIATE")}) {
            QString raison;
            Connexion autreProgramme;
            init();
            QVERIFY(autreProgramme.Ouvre(principale, CleBase));
            autreProgramme.Execute(verrou);
            int code = LanceDansEnfant([] { NomBase() = NomBaseDefaut; return CompacteBase() ? 0 : 1; });
            autreProgramme.Annule();
            autreProgramme.Ferme();
            Compte(bilan, code == 1 && BaseIntacte(etatPrincipal, &raison), QStringLiteral("compaction, %1").arg(verrou), raison);

            init();
            QVERIFY(autreProgramme.Ouvre(principale, CleBase));
            autreProgramme.Execute(verrou);
            code = LanceDansEnfant([chemin] { ConnecteBase(); return SauvegardeBase(chemin) ? 0 : 1; });
            autreProgramme.Annule();
            autreProgramme.Ferme();
            // A reserved lock still lets readers through: the backup may be written.
            const bool tenuSauv = (code == 1 && Empreinte(sauvegarde) == empreinteAncienne)
                || (code == 0 && EtatFichier(sauvegarde) == etatPrincipal);
            Compte(bilan, tenuSauv && BaseIntacte(etatPrincipal, &raison), QStringLiteral("sauvegarde, %1").arg(verrou), raison);

            init();
            QVERIFY(autreProgramme.Ouvre(principale, CleBase));
            autreProgramme.Execute(verrou);
            code = LanceDansEnfant([source] { ConnecteBase(); return int(RestaureSauvegarde(source)); });
            autreProgramme.Annule();
            autreProgramme.Ferme();
            Compte(bilan, code != int(Restauration::Faite) && BaseIntacte(etatPrincipal, &raison),
                   QStringLiteral("restauration, %1").arg(verrou), raison);

            // The backup itself locked by another program.
            init();
            QVERIFY(autreProgramme.Ouvre(autre, CleBase));
            autreProgramme.Execute(QStringLiteral("BEGIN EXCLUSIVE"));
            code = LanceDansEnfant([source] { ConnecteBase(); return int(RestaureSauvegarde(source)); });
            autreProgramme.Annule();
            autreProgramme.Ferme();
            Compte(bilan, code != int(Restauration::Faite) && BaseIntacte(etatPrincipal, &raison),
                   QStringLiteral("restauration d'une sauvegarde verrouillée"), raison);
        }
        Rapporte("fichier verrouillé", bilan);
        QCOMPARE(bilan.tenus, bilan.essayes);
    }

    // Folders that cannot be written, for a user who is not root.
    void dossierEnLectureSeule()
    {
        const bool root = geteuid() == 0;
        const uid_t utilisateur = root ? 65534 : geteuid();
        const auto prive = [root, utilisateur] {
            if (root && (setgid(utilisateur) != 0 || setuid(utilisateur) != 0))
                _exit(97);
        };
        const QString destination = dossier + QStringLiteral("/fermé");
        QDir().mkpath(destination);
        const QString chemin = destination + QStringLiteral("/Oxi_Sauv.dtb");
        Bilan bilan;
        QString raison;

        const auto donne = [root, utilisateur](const QString &chemin) {
            return !root || chown(QFile::encodeName(chemin).constData(), utilisateur, utilisateur) == 0;
        };
        init();
        QVERIFY(donne(dossier) && donne(principale) && donne(autre));
        QFile(destination).setPermissions(QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
        int code = LanceDansEnfant([chemin] { ConnecteBase(); return SauvegardeBase(chemin) ? 0 : 1; }, prive);
        Compte(bilan, code == 1 && !QFileInfo::exists(chemin) && BaseIntacte(etatPrincipal, &raison),
               QStringLiteral("sauvegarde dans un dossier fermé"), raison);

        // The program's own folder closed: the compaction gives up, the data stay.
        init();
        QVERIFY(donne(principale));
        QFile(dossier).setPermissions(QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
        code = LanceDansEnfant([] { NomBase() = NomBaseDefaut; return CompacteBase() ? 0 : 1; }, prive);
        QFile(dossier).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        Compte(bilan, code == 1 && BaseIntacte(etatPrincipal, &raison), QStringLiteral("compaction dans un dossier fermé"), raison);

        // The main file itself read-only: a restore fails and changes nothing.
        init();
        QVERIFY(donne(principale));
        QFile(principale).setPermissions(QFile::ReadOwner | QFile::ReadOther);
        const QString source = autre;
        code = LanceDansEnfant([source] { ConnecteBase(); return int(RestaureSauvegarde(source)); }, prive);
        QFile(principale).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        Compte(bilan, code != int(Restauration::Faite) && code != 97 && BaseIntacte(etatPrincipal, &raison),
               QStringLiteral("restauration sur une base en lecture seule"), raison);
        if (root)
            QVERIFY(chown(QFile::encodeName(dossier).constData(), 0, 0) == 0);
        QDir(destination).removeRecursively();

        Rapporte("lecture seule", bilan);
        QCOMPARE(bilan.tenus, bilan.essayes);
    }

    void cleanupTestCase()
    {
        qInfo("total : %d points de panne essayés, %d tenus", total.essayes, total.tenus);
        delete env;
    }
};

QTEST_GUILESS_MAIN(TestPannes)
#include "tst_pannes.moc"
