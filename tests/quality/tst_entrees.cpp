// Hostile input: odd texts kept intact through lists, backup and restore;
// odd settings; the data folder of an installed program. Then faults that used
// to lose reminders: settings or database that refuse the yearly re-arming, due
// rows the popup cannot read, numbers beyond 32 bits. Files that are not the
// program's database are tried with the faults (tst_pannes).
#include "Base.h"
#include "Chemins.h"
#include "Constantes.h"
#include "EcritureRappels.h"
#include "Generateur.h"
#include "Horloge.h"
#include "OutilsRappels.h"
#include "OutilsTest.h"
#include "Rearmement.h"
#include "RechercheRappels.h"
#include "Reglages.h"
#include "Sauvegarde.h"
#include "TablesRappels.h"
#include "frmMessage.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <sys/mount.h>

using namespace oxi;
using namespace oxi::test;

namespace {

const QString ErreurAffichage = QStringLiteral("Erreur lors de l'afficage du message.");

QString Contenu(qint64 numero)
{
    return Base()
        .Requete(QStringLiteral("SELECT DateRappel || Ech1 || EtatEch1 || Ech2 || EtatEch2 FROM Rappel "
                                "WHERE NumRappel = ?"),
                 {numero})
        .Valeur(0, 0)
        .toString();
}

} // namespace

class TestEntrees : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void cleanup() { RetablitHorloge(); }
    // Quotes, SQL, control characters, emoji, right-to-left and 10,000
    // characters: stored as typed, listed as typed, saved and restored as typed.
    void textesHostilesIntacts()
    {
        EnvironnementTest env;
        MessagerieScriptee messages;
        const QStringList textes = TextesHostiles();
        const QString insere = QStringLiteral("INSERT INTO Rappel (DateRappel, Type, Libelle, Ech1, Ech2, Ech3) "
                                              "VALUES (?, ?, ?, '2026-12-31', '1800-01-01', '1800-01-01')");
        for (const QString &t : textes) {
            Base().Execute(insere, {QStringLiteral("1980-02-29"), QStringLiteral("A"), t + QStringLiteral("#") + t});
            Base().Execute(insere, {QStringLiteral("2026-12-31"), QStringLiteral("N"), t});
            Base().Execute(QStringLiteral("INSERT INTO Notes (NumNote, Libelle1, Libelle2) VALUES (last_insert_rowid(), ?, ?)"),
                           {t.left(255), t.mid(255)});
        }
        QStringList noms, titres;
        for (const auto &l : TableAnniversaires().lignes)
            noms << l.Colonne(1);
        for (const auto &l : TableNotes().lignes)
            titres << l.Colonne(1);
        for (const QString &t : textes) {
            // The first "#" splits name and first name; a name holding "#" keeps the rest in the first name.
            QVERIFY2(noms.contains(t.section(QLatin1Char('#'), 0, 0)), qPrintable(t.left(40)));
            QVERIFY2(titres.contains(t), qPrintable(t.left(40)));
        }
        const QStringList avant = EtatConnexion(Base());
        const QString sauvegarde = env.Dossier() + QStringLiteral("/l'été; \"#%_*\" 🎂.dtb");
        QVERIFY(SauvegardeBase(sauvegarde));
        QCOMPARE(EtatFichier(sauvegarde), avant);
        Base().Execute(QStringLiteral("DELETE FROM Rappel"));
        Base().Execute(QStringLiteral("DELETE FROM Notes"));
        QCOMPARE(RestaureSauvegarde(sauvegarde), Restauration::Faite);
        QCOMPARE(EtatConnexion(Base()), avant);
    }

    // Only the exact text "1" means yes, whatever else the file holds; odd
    // values stored through the settings store come back as they were.
    void reglagesEtranges()
    {
        EnvironnementTest env;
        const QString fichier =
            env.Dossier() + QStringLiteral("/config/") + NomAppli() + QLatin1Char('/') + NomAppli() + QStringLiteral(".conf");
        QDir().mkpath(QFileInfo(fichier).absolutePath());
        for (const QByteArray &valeur : {QByteArray("1 "), QByteArray(" 1"), QByteArray("yes"), QByteArray(""), QByteArray("01"),
                                         QByteArray("1\n"), QByteArray("\"1\\0\""), QByteArray("\xff\xfe\x01")}) {
            EcritReglage(ReglageEphemerides, QString::fromUtf8(valeur));
            QCOMPARE(LitReglage(ReglageEphemerides), QString::fromUtf8(valeur));
            QVERIFY2(!ReglageOui(ReglageEphemerides), valeur.constData());
            // Typed by hand too, where the file format keeps the value as it stands.
            if (valeur.trimmed() == valeur)
                QVERIFY(Ecrit(fichier, "[Ephemerides]\nAffich=" + valeur + "\n[PremiereFois]\nAffich=" + valeur + "\n"));
            QVERIFY2(!ReglageOui(ReglageEphemerides) && !ReglageOui(ReglagePremiereFois), valeur.constData());
        }
        QVERIFY(Ecrit(fichier, QByteArray(4096, '\x07')));
        QVERIFY(!ReglageOui(ReglageEphemerides));
        EcritReglage(ReglageEphemerides, QStringLiteral("1"));
        QVERIFY(ReglageOui(ReglageEphemerides));
    }

    // A program run where it was built keeps its database beside it; an
    // installed one works in the user's data folder, filled once from the shipped file.
    void dossierDeDonnees()
    {
        QTemporaryDir racine;
        qputenv("XDG_DATA_HOME", racine.filePath(QStringLiteral("donnees")).toUtf8());
        const QString construit = racine.filePath(QStringLiteral("build"));
        QDir().mkpath(construit);
        QCOMPARE(ChoisitCheminAppli(construit), construit + QLatin1Char('/'));
        QVERIFY(!QFileInfo::exists(racine.filePath(QStringLiteral("donnees"))));

        const QString bin = racine.filePath(QStringLiteral("usr/bin"));
        QDir().mkpath(bin);
        const QString livree = CheminBaseLivree(bin);
        QDir().mkpath(QFileInfo(livree).absolutePath());
        QVERIFY(QFile::copy(QStringLiteral(OXI_BASE_REFERENCE), livree));
        const QString donnees = racine.filePath(QStringLiteral("donnees/")) + NomAppli() + QLatin1Char('/');
        QCOMPARE(ChoisitCheminAppli(bin), donnees);
        QCOMPARE(Empreinte(donnees + NomBaseDefaut), Empreinte(livree));
        QCOMPARE(QFile(donnees + NomBaseDefaut).permissions() & (QFile::ReadOther | QFile::WriteOther | QFile::WriteOwner),
                 QFile::WriteOwner);
        // The user's file is never replaced by the shipped one, nor a link to elsewhere.
        QVERIFY(Ecrit(donnees + NomBaseDefaut, "les données de l'utilisateur"));
        QCOMPARE(ChoisitCheminAppli(bin), donnees);
        QCOMPARE(Empreinte(donnees + NomBaseDefaut),
                 QCryptographicHash::hash("les données de l'utilisateur", QCryptographicHash::Sha256));
        QFile::remove(donnees + NomBaseDefaut);
        QVERIFY(QFile::link(racine.filePath(QStringLiteral("ailleurs.dtb")), donnees + NomBaseDefaut));
        QCOMPARE(ChoisitCheminAppli(bin), donnees);
        QVERIFY(!QFileInfo::exists(racine.filePath(QStringLiteral("ailleurs.dtb"))));
        qunsetenv("XDG_DATA_HOME");
    }

    // Installed with the default prefix, the program's shipped folder and the
    // user's data folder are one: installing again must leave the user's
    // reminders alone. The real install rules run into a temporary ~/.local.
    void reinstallationSurLesDonnees()
    {
        QTemporaryDir racine;
        const QString prefixe = racine.filePath(QStringLiteral(".local"));
        qputenv("XDG_DATA_HOME", (prefixe + QStringLiteral("/share")).toUtf8());
        const auto installe = [&] {
            QProcess cmake;
            cmake.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            cmake.start(QStringLiteral(OXI_CMAKE),
                        {QStringLiteral("--install"), QStringLiteral(OXI_CONSTRUCTION), QStringLiteral("--prefix"), prefixe});
            return cmake.waitForFinished(120000) && cmake.exitStatus() == QProcess::NormalExit && cmake.exitCode() == 0;
        };
        QVERIFY(installe());
        const QString bin = prefixe + QStringLiteral("/bin");
        QVERIFY(QFileInfo(bin + QStringLiteral("/oxi")).isExecutable());
        // This test program stands for the installed one: its files are oxi's.
        const QString partage = prefixe + QStringLiteral("/share/oxi");
        if (NomAppli() != QLatin1String("oxi"))
            QVERIFY(QFile::link(partage, prefixe + QStringLiteral("/share/") + NomAppli()));
        QVERIFY(QFileInfo(CheminBaseLivree(bin)).isFile());

        const QString donnees = ChoisitCheminAppli(bin);
        QCOMPARE(QFileInfo(donnees).canonicalFilePath(), QFileInfo(partage).canonicalFilePath());
        const QString base = partage + QLatin1Char('/') + NomBaseDefaut;
        Connexion connexion;
        QVERIFY(connexion.Ouvre(base, CleBase));
        GenereRappels(connexion, 25, 2026);
        connexion.Ferme();
        const QStringList etat = EtatFichier(base);
        QVERIFY(etat.size() >= 25);
        const QByteArray empreinte = Empreinte(base);

        QVERIFY(installe());
        QCOMPARE(EtatFichier(base), etat);
        QCOMPARE(ChoisitCheminAppli(bin), donnees);
        QCOMPARE(Empreinte(base), empreinte);
        qunsetenv("XDG_DATA_HOME");
    }

    // Three starts in a new year whose year cannot be stored, then one that can:
    // the dates move one year, once. A read-only database the same.
    void rearmementEtAnneeEnsemble_data()
    {
        QTest::addColumn<QString>("panne");
        QTest::newRow("réglages dans un dossier impossible") << "dossier";
        QTest::newRow("réglages sur un disque plein") << "plein";
        QTest::newRow("base en lecture seule") << "base";
    }
    void rearmementEtAnneeEnsemble()
    {
        QFETCH(QString, panne);
        EnvironnementTest env;
        // A tiny file system of its own, filled up (needs the right to mount, as root has).
        const QString disque = env.Dossier() + QStringLiteral("/disque");
        const QString plein = disque + QStringLiteral("/plein");
        struct Demontage
        {
            QByteArray point;
            ~Demontage()
            {
                if (!point.isEmpty())
                    ::umount(point.constData());
            }
        } demontage;
        if (panne == QLatin1String("plein")) {
            QDir().mkpath(disque);
            if (::mount("tmpfs", QFile::encodeName(disque).constData(), "tmpfs", 0, "size=16k") != 0)
                QSKIP("pas de droit de monter un système de fichiers");
            demontage.point = QFile::encodeName(disque);
            QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, disque);
        }
        MessagerieScriptee messages;
        QVERIFY(EcritReglage(ReglageAnnee, QStringLiteral("2026")));
        FixeMaintenant(QDateTime(QDate(2027, 1, 1), QTime(8, 0)));
        const qint64 n = Ajoute(QStringLiteral("A"), QStringLiteral("Martin#Léa"), QDate(1990, 6, 2),
                                Slots(QDate(2026, 6, 2), true, QDate(2026, 5, 26), true));
        const QString avant = Contenu(n);
        if (panne == QLatin1String("dossier")) {
            // Running as root, permissions do not stop a write: a folder under a plain file does.
            const QString bloque = env.Dossier() + QStringLiteral("/fichier");
            QFile f(bloque);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, bloque + QStringLiteral("/config"));
        } else if (panne == QLatin1String("plein")) {
            QFile f(plein);
            QVERIFY(f.open(QIODevice::WriteOnly));
            while (f.write(QByteArray(512, '\0')) == 512 && f.flush()) {
            }
        } else {
            Base().Execute(QStringLiteral("PRAGMA query_only = 1"));
        }
        for (int depart = 0; depart < 3; ++depart) {
            QVERIFY(!RearmeEcheances());
            QCOMPARE(Contenu(n), avant);
        }
        QCOMPARE(messages.infos.size(), 3);
        QVERIFY(messages.infos.at(0).contains(QStringLiteral("prochain démarrage")));
        if (panne == QLatin1String("dossier"))
            QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, env.Dossier() + QStringLiteral("/config"));
        else if (panne == QLatin1String("plein"))
            QVERIFY(QFile::remove(plein));
        else
            Base().Execute(QStringLiteral("PRAGMA query_only = 0"));
        QCOMPARE(LitReglage(ReglageAnnee), QStringLiteral("2026"));
        QVERIFY(RearmeEcheances());
        QVERIFY(RearmeEcheances());
        QCOMPARE(Lit(n), Slots(QDate(2027, 6, 2), false, QDate(2027, 5, 26), false));
        QCOMPARE(LitReglage(ReglageAnnee), QStringLiteral("2027"));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, env.Dossier() + QStringLiteral("/config"));
    }

    // A due row the popup cannot show between two good ones: reported once,
    // left as it is, and both good ones shown and acknowledged.
    void rangeeIllisibleEntreDeuxBonnes_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("date");
        QTest::newRow("date vide") << "F"
                                   << "";
        QTest::newRow("pas une date") << "F"
                                      << "abc";
        QTest::newRow("date impossible") << "A"
                                         << "2026-02-30";
        QTest::newRow("type inconnu") << "X"
                                      << "2026-03-01";
    }
    void rangeeIllisibleEntreDeuxBonnes()
    {
        QFETCH(QString, type);
        QFETCH(QString, date);
        EnvironnementTest env;
        MessagerieScriptee messages;
        const QDate auj(2026, 3, 1);
        FixeMaintenant(QDateTime(auj, QTime(9, 0)));
        const qint64 a = Ajoute(QStringLiteral("F"), QStringLiteral("Aubin"), auj, Slots(auj, false));
        const qint64 x = Ajoute(type, QStringLiteral("Illisible"), date, Slots(auj, false));
        const qint64 b = Ajoute(QStringLiteral("F"), QStringLiteral("Albin"), auj, Slots(auj, false));
        const QString avant = Contenu(x);

        AffichageRappels rappels;
        rappels.RechercheRappels();
        frmMessage *fenetre = rappels.Message();
        QVERIFY(fenetre);
        QCOMPARE(fenetre->lblMsg->text(), QStringLiteral("Aubin"));
        fenetre->AfficheRappelSuivant();
        QCOMPARE(fenetre->lblMsg->text(), QStringLiteral("Albin"));
        QCOMPARE(messages.infos, QStringList{ErreurAffichage});
        QVERIFY(Lit(a)[1].fait && Lit(b)[1].fait);
        QCOMPARE(Contenu(x), avant);
        // Nothing is left to ask about when closing.
        rappels.FermeMessage();
        QVERIFY(messages.questions.isEmpty());
    }

    // A number beyond 32 bits is shown and acknowledged as itself, never as the
    // row its low bits name.
    void numeroAuDelaDe32Bits()
    {
        EnvironnementTest env;
        MessagerieScriptee messages;
        const QDate auj(2026, 3, 1);
        FixeMaintenant(QDateTime(auj, QTime(9, 0)));
        const qint64 grand = (qint64(1) << 32) + 1;
        const qint64 autre =
            Ajoute(QStringLiteral("F"), QStringLiteral("Autre"), QDate(2026, 5, 1), Slots(QDate(2026, 5, 1), false));
        QCOMPARE(autre, 1);
        // Missed yesterday, so that once acknowledged it is no longer due.
        Base().Execute(QStringLiteral("INSERT INTO Rappel VALUES (?, '2026-02-28', 'F', 'Grand', '2026-02-28', 0, "
                                      "'1800-01-01', 1, '1800-01-01', 1)"),
                       {grand});
        const QString avantAutre = Contenu(autre);
        AffichageRappels rappels;
        rappels.RechercheRappels();
        QVERIFY(rappels.Message());
        QCOMPARE(rappels.Message()->lblMsg->text(), QStringLiteral("Grand"));
        QVERIFY(Lit(grand)[1].fait);
        QCOMPARE(Contenu(autre), avantAutre);
        delete rappels.Message();
        // Acknowledged: the next start finds nothing due.
        ScanRappels scan;
        QVERIFY(!scan.Scrute());
        // The list carries the number whole, and a deletion takes that row alone.
        QCOMPARE(TableFetes().lignes.at(1).numRappel, grand); // after "Autre"
        QVERIFY(SupprimeRappel(grand, TypeRappel::Fete));
        QCOMPARE(Contenu(autre), avantAutre);
        QCOMPARE(TableFetes().Nombre(), 1);
        QVERIFY(messages.tous.isEmpty());
    }
};

OXI_TEST_MAIN(TestEntrees)
#include "tst_entrees.moc"
