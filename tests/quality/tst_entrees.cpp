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
#include "Rappels.h"
#include "Rearmement.h"
#include "Reglages.h"
#include "Sauvegarde.h"
#include "TablesRappels.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <sys/mount.h>

using namespace oxi;
using namespace oxi::test;

class TestEntrees : public QObject
{
    Q_OBJECT
    MessagerieScriptee messages;
    // The whole stored row of the reminder of that text.
    static QStringList Rangee(const QString &libelle) { return EtatConnexion(Base()).filter(libelle); }
    // The text of the next due reminder the popup would show.
    static QString Montre(ScanRappels &scan) { return scan.Prochain().value_or(RappelAffiche{}).texte.message; }

private slots:
    void cleanup() { RetablitHorloge(), messages.Vide(); }
    // Quotes, SQL, control characters, emoji, right-to-left and 10,000
    // characters: stored as typed, listed as typed, saved and restored as typed.
    void textesHostilesIntacts()
    {
        EnvironnementTest env;
        const QStringList textes = TextesHostiles();
        const QDate jour(2026, 12, 31);
        for (const QString &t : textes) {
            Ajoute("A", t + '#' + t, QDate(1980, 2, 29), Slots(jour, false));
            const qint64 n = Ajoute("N", t, jour, Slots(jour, false));
            Base().Execute("INSERT INTO Notes VALUES (?, ?, ?)", {n, t.left(255), t.mid(255)});
        }
        QStringList noms, titres;
        for (const auto &l : TableAnniversaires().lignes)
            noms << l.Colonne(1);
        for (const auto &l : TableNotes().lignes)
            titres << l.Colonne(1);
        for (const QString &t : textes) {
            // The first "#" splits name and first name; a name holding "#" keeps the rest in the first name.
            QVERIFY2(noms.contains(t.section('#', 0, 0)), qPrintable(t.left(40)));
            QVERIFY2(titres.contains(t), qPrintable(t.left(40)));
        }
        const QStringList avant = EtatConnexion(Base());
        const QString sauvegarde = env.Dossier() + "/l'été; \"#%_*\" 🎂.dtb";
        QVERIFY(SauvegardeBase(sauvegarde));
        Base().Execute("DELETE FROM Rappel");
        QCOMPARE(RestaureSauvegarde(sauvegarde), Restauration::Faite);
        QCOMPARE(EtatConnexion(Base()), avant);
    }

    // Only the exact text "1" means yes, whatever else the file holds; odd
    // values stored through the settings store come back as they were.
    void reglagesEtranges()
    {
        EnvironnementTest env;
        const QString fichier = env.Dossier() + "/config/" + NomAppli() + '/' + NomAppli() + ".conf";
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
        EcritReglage(ReglageEphemerides, "1");
        QVERIFY(ReglageOui(ReglageEphemerides));
    }

    // A program run where it was built keeps its database beside it; an
    // installed one works in the user's data folder, filled once from the shipped file.
    void dossierDeDonnees()
    {
        QTemporaryDir racine;
        qputenv("XDG_DATA_HOME", racine.filePath("donnees").toUtf8());
        const QString construit = racine.filePath("build"), bin = racine.filePath("usr/bin");
        QVERIFY(QDir().mkpath(construit) && QDir().mkpath(bin));
        QCOMPARE(ChoisitCheminAppli(construit), construit + '/');
        QVERIFY(!QFileInfo::exists(racine.filePath("donnees")));

        const QString livree = CheminBaseLivree(bin);
        QVERIFY(QDir().mkpath(QFileInfo(livree).absolutePath()) && QFile::copy(OXI_BASE_REFERENCE, livree));
        const QString donnees = racine.filePath("donnees/") + NomAppli() + '/', base = donnees + NomBaseDefaut;
        QCOMPARE(ChoisitCheminAppli(bin), donnees);
        QCOMPARE(Empreinte(base), Empreinte(livree));
        QCOMPARE(QFile(base).permissions() & (QFile::ReadOther | QFile::WriteOther | QFile::WriteOwner), QFile::WriteOwner);
        // The user's file is never replaced by the shipped one, nor a link to elsewhere.
        QVERIFY(Ecrit(base, "les données de l'utilisateur"));
        const QByteArray utilisateur = Empreinte(base);
        QCOMPARE(ChoisitCheminAppli(bin), donnees);
        QCOMPARE(Empreinte(base), utilisateur);
        QVERIFY(QFile::remove(base) && QFile::link(racine.filePath("ailleurs.dtb"), base));
        QCOMPARE(ChoisitCheminAppli(bin), donnees);
        QVERIFY(!QFileInfo::exists(racine.filePath("ailleurs.dtb")));
        qunsetenv("XDG_DATA_HOME");
    }

    // Installed with the default prefix, the program's shipped folder and the
    // user's data folder are one: installing again must leave the user's
    // reminders alone. The real install rules run into a temporary ~/.local.
    void reinstallationSurLesDonnees()
    {
        QTemporaryDir racine;
        const QString prefixe = racine.filePath(".local"), partage = prefixe + "/share/oxi";
        qputenv("XDG_DATA_HOME", (prefixe + "/share").toUtf8());
        const QStringList installe{"--install", QStringLiteral(OXI_CONSTRUCTION), "--prefix", prefixe};
        QCOMPARE(QProcess::execute(QStringLiteral(OXI_CMAKE), installe), 0);
        // This test program stands for the installed one: its files are oxi's.
        if (NomAppli() != QString("oxi"))
            QVERIFY(QFile::link(partage, prefixe + "/share/" + NomAppli()));
        const QString bin = prefixe + "/bin", donnees = ChoisitCheminAppli(bin);
        QCOMPARE(QFileInfo(donnees).canonicalFilePath(), QFileInfo(partage).canonicalFilePath());
        const QString base = partage + '/' + NomBaseDefaut;
        QVERIFY(Connexion().Ouvre(base, CleBase)); // filled from the shipped file
        QVERIFY(Ecrit(base, "les rappels de l'utilisateur"));
        const QByteArray empreinte = Empreinte(base);
        QCOMPARE(QProcess::execute(QStringLiteral(OXI_CMAKE), installe), 0);
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
        const bool base = panne == QString("base"), plein = panne == QString("plein");
        EnvironnementTest env;
        const QString disque = env.Dossier() + "/disque", config = env.Dossier() + "/config";
        const auto reglagesDans = [](const QString &d) { QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, d); };
        const auto retablit = qScopeGuard([&] { reglagesDans(config), ::umount(QFile::encodeName(disque).constData()); });
        if (plein) {
            // A tiny file system of its own, filled up below (needs the right to mount, as root has).
            QDir().mkpath(disque);
            if (::mount("tmpfs", QFile::encodeName(disque).constData(), "tmpfs", 0, "size=16k") != 0)
                QSKIP("pas de droit de monter un système de fichiers");
            reglagesDans(disque);
        }
        QVERIFY(EcritReglage(ReglageAnnee, "2026"));
        FixeMaintenant(QDateTime(QDate(2027, 1, 1), QTime(8, 0)));
        const qint64 n = Ajoute("A", "Martin#Léa", QDate(1990, 6, 2), Slots(QDate(2026, 6, 2), true, QDate(2026, 5, 26), true));
        const QStringList avant = Rangee("Martin#Léa");
        // Running as root, permissions do not stop a write: a folder under a plain file does.
        QFile bouchon(plein ? disque + "/plein" : env.Dossier() + "/fichier");
        if (base)
            Base().Execute("PRAGMA query_only = 1");
        else
            QVERIFY(bouchon.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        if (panne == QString("dossier"))
            reglagesDans(bouchon.fileName() + "/config");
        while (plein && bouchon.write(QByteArray(512, '\0')) == 512) {
        }
        for (int depart = 0; depart < 3; ++depart) {
            QVERIFY(!RearmeEcheances());
            QCOMPARE(Rangee("Martin#Léa"), avant);
        }
        QCOMPARE(messages.infos.size(), 3);
        QVERIFY(messages.infos.at(0).contains("prochain démarrage"));
        Base().Execute("PRAGMA query_only = 0");
        if (plein)
            QVERIFY(bouchon.remove());
        else
            reglagesDans(config);
        QCOMPARE(LitReglage(ReglageAnnee), "2026");
        QVERIFY(RearmeEcheances());
        QVERIFY(RearmeEcheances());
        QCOMPARE(Lit(n), Slots(QDate(2027, 6, 2), false, QDate(2027, 5, 26), false));
        QCOMPARE(LitReglage(ReglageAnnee), "2027");
    }

    // A due row the popup cannot show between two good ones: reported once,
    // left as it is, and both good ones shown and acknowledged.
    void rangeeIllisibleEntreDeuxBonnes_data()
    {
        QTest::addColumn<QStringList>("rangee"); // type, date
        QTest::newRow("date vide") << QStringList{"F", ""};
        QTest::newRow("pas une date") << QStringList{"F", "abc"};
        QTest::newRow("date impossible") << QStringList{"A", "2026-02-30"};
        QTest::newRow("type inconnu") << QStringList{"X", "2026-03-01"};
    }
    void rangeeIllisibleEntreDeuxBonnes()
    {
        QFETCH(QStringList, rangee);
        EnvironnementTest env;
        const QDate auj(2026, 3, 1);
        FixeMaintenant(QDateTime(auj, QTime(9, 0)));
        const qint64 a = Ajoute("F", "Aubin", auj, Slots(auj, false));
        Ajoute(rangee[0], "Illisible", rangee[1], Slots(auj, false));
        const qint64 b = Ajoute("F", "Albin", auj, Slots(auj, false));
        const QStringList avant = Rangee("Illisible");

        ScanRappels scan;
        QVERIFY(scan.Scrute());
        QCOMPARE(Montre(scan), "Aubin");
        QCOMPARE(Montre(scan), "Albin");
        QVERIFY(!scan.Prochain());
        QCOMPARE(messages.infos, QStringList{"Erreur lors de l'afficage du message."});
        QVERIFY(Lit(a)[1].fait && Lit(b)[1].fait);
        QCOMPARE(Rangee("Illisible"), avant);
        // Nothing is left for the popup to ask about when it closes.
        QCOMPARE(scan.File().NonAffiches(), 0);
    }

    // A number beyond 32 bits is shown and acknowledged as itself, never as the
    // row its low bits name.
    void numeroAuDelaDe32Bits()
    {
        EnvironnementTest env;
        const QDate auj(2026, 3, 1);
        FixeMaintenant(QDateTime(auj, QTime(9, 0)));
        const qint64 grand = (qint64(1) << 32) + 1;
        // The row the low bits of the large number name.
        QCOMPARE(Ajoute("F", "Autre", QDate(2026, 5, 1), Slots(QDate(2026, 5, 1), false)), 1);
        // Missed yesterday, so that once acknowledged it is no longer due.
        Base().Execute(
            "INSERT INTO Rappel VALUES (?, '2026-02-28', 'F', 'Grand', '2026-02-28', 0, '1800-01-01', 1, '1800-01-01', 1)",
            {grand});
        const QStringList avantAutre = Rangee("Autre");
        ScanRappels scan;
        QVERIFY(scan.Scrute());
        QCOMPARE(Montre(scan), "Grand");
        QVERIFY(Lit(grand)[1].fait);
        QCOMPARE(Rangee("Autre"), avantAutre);
        // Acknowledged: the next start finds nothing due.
        QVERIFY(!ScanRappels().Scrute());
        // The list carries the number whole, and a deletion takes that row alone.
        QCOMPARE(TableFetes().lignes.at(1).numRappel, grand); // after "Autre"
        QVERIFY(SupprimeRappel(grand, TypeRappel::Fete));
        QCOMPARE(Rangee("Autre"), avantAutre);
        QCOMPARE(TableFetes().Nombre(), 1);
        QVERIFY(messages.tous.isEmpty());
    }
};

OXI_TEST_GUILESS_MAIN(TestEntrees)
#include "tst_entrees.moc"
