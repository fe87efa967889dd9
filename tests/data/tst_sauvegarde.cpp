#include "Base.h"
#include "Constantes.h"
#include "Generateur.h"
#include "OutilsTest.h"
#include "Sauvegarde.h"
#include "Schema.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <memory>
#include <unistd.h>

using namespace oxi;
using oxi::test::Empreinte;

namespace {

using Lignes = QVector<QVector<QVariant>>;

Lignes Table(Connexion &connexion, const QString &table)
{
    return connexion.Requete("SELECT * FROM " + table + " ORDER BY 1").lignes;
}

// Numbers up to the largest, both flags, the no-date value, quotes, a note with an empty half.
void RemplitBase()
{
    for (const char *sql : {"INSERT INTO Rappel VALUES (3,'1850-06-14','A','Durand#Léa','2026-06-14',1,'2026-06-07',1,"
                            "'1800-01-01',0)",
                            "INSERT INTO Rappel VALUES (7,'2026-02-14','F','Valentin','2026-02-14',0,'2026-02-13',1,"
                            "'2026-02-04',0)",
                            "INSERT INTO Rappel VALUES (32767,'2026-12-31','N','Réveillon ''chez nous''','2026-12-31',0,"
                            "'1800-01-01',0,'1800-01-01',0)",
                            "INSERT INTO Notes VALUES (7,'Acheter des fleurs ; « roses »',' et chocolats')",
                            "INSERT INTO Notes VALUES (32767,'Champagne',NULL)"})
        Base().Execute(QString::fromUtf8(sql));
}

} // namespace

class TestSauvegarde : public QObject
{
    Q_OBJECT
    MessagerieScriptee messages;
    std::unique_ptr<EnvironnementTest> env;
    // Backups are slow to write (key derivation): prepared once, only read by the cases.
    QTemporaryDir reserve;
    Lignes rappels, notes;

    QString Fichier(const QString &nom) const { return env->Dossier() + '/' + nom; }
    QString Reserve(const QString &nom) const { return reserve.path() + '/' + nom; }

private Q_SLOTS:
    void initTestCase()
    {
        EnvironnementTest prepa;
        RemplitBase();
        rappels = Table(Base(), "Rappel");
        notes = Table(Base(), "Notes");
        QVERIFY(SauvegardeBase(Reserve("bonne.dtb")));
        QCOMPARE(QFileInfo(Base().Chemin()).canonicalFilePath(), QFileInfo(prepa.CheminBase()).canonicalFilePath());
        QCOMPARE(QDir(reserve.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"bonne.dtb"});
        FermeBase();
        QVERIFY(QFile::copy(prepa.CheminBase(), Reserve("copie.dtb")) && ConnecteBase());

        const QString ligne = "INSERT INTO Rappel VALUES (1,'%1','N','x','2026-05-01',%2,'1800-01-01',0,'1800-01-01',0)";
        const QString bonne = ligne.arg("2026-05-01", "0");
        const QList<std::pair<QString, QStringList>> fichiers{
            {"schema.dtb",
             {"CREATE TABLE Rappel (NumRappel INTEGER, Libelle TEXT)", "INSERT INTO Rappel VALUES (1, 'x')", SchemaNotes}},
            {"drapeau.dtb", {SchemaRappel, SchemaNotes, ligne.arg("2026-05-01", "'oui'")}},
            {"date.dtb", {SchemaRappel, SchemaNotes, ligne.arg("01/05/2026", "0")}},
            // Two notes of one number: the second insert fails after the old rows were deleted.
            {"doublon.dtb",
             {SchemaRappel, "CREATE TABLE Notes (NumNote INTEGER, Libelle1 TEXT, Libelle2 TEXT)", bonne,
              "INSERT INTO Notes VALUES (1,'a',NULL)", "INSERT INTO Notes VALUES (1,'b',NULL)"}}};
        for (const auto &[nom, instructions] : fichiers) {
            Connexion connexion;
            QVERIFY(connexion.Cree(Reserve(nom), CleBase));
            for (const QString &sql : instructions)
                connexion.Execute(sql);
        }
    }
    void init() { env = std::make_unique<EnvironnementTest>(); }
    void cleanup()
    {
        env.reset();
        messages.Vide();
    }

    void regleDesNoms()
    {
        for (const QString paire : {"archive.bak archive.bak", "archive archive.dtb", ".ab .ab.dtb", "copie.sauv copie.sauv.dtb"})
            QCOMPARE(NomFichierSauvegarde(paire.section(' ', 0, 0)), paire.section(' ', 1));
        QCOMPARE(CheminSauvegarde("/a/", "x.dtb"), "/a/x.dtb");
        QCOMPARE(CheminSauvegarde("/a", "x.dtb"), "/a/x.dtb");
        QCOMPARE(NomSauvegardeDefaut(QDate(2027, 1, 5)), QStringLiteral("Oxi_Sauv_05_01"));
    }

    void sauvegardeDesSeulesTablesPersonnellesAvecLaCle()
    {
        const QString chemin = Reserve("bonne.dtb");
        QVERIFY(!Connexion().Ouvre(chemin, QString()));
        QVERIFY(!Connexion().Ouvre(chemin, "KZWQ7351"));
        Connexion sauvegarde;
        QVERIFY(sauvegarde.Ouvre(chemin, CleBase));
        QCOMPARE(Table(sauvegarde, "sqlite_master WHERE type='table'").size(), 2);
        QCOMPARE(Table(sauvegarde, "Rappel"), rappels);
        QCOMPARE(Table(sauvegarde, "Notes"), notes);
        // Compact: nothing of the reference tables lingers in free pages.
        QCOMPARE(sauvegarde.Requete("PRAGMA freelist_count").Valeur(0, 0).toInt(), 0);
        QVERIFY(QFileInfo(chemin).size() < QFileInfo(env->CheminBase()).size());
    }

    // Rows changed since the backup come back as they were; a whole database file is a backup too.
    void restaurationDeChaqueValeur_data()
    {
        QTest::addColumn<QString>("source");
        QTest::newRow("backup") << "bonne.dtb";
        QTest::newRow("copy of a database file") << "copie.dtb";
    }
    void restaurationDeChaqueValeur()
    {
        QFETCH(QString, source);
        RemplitBase();
        for (const char *sql :
             {"DELETE FROM Rappel WHERE NumRappel=3", "UPDATE Notes SET Libelle1='autre' WHERE NumNote=7",
              "UPDATE Rappel SET EtatEch1=1, Ech1='2030-01-01' WHERE NumRappel=7",
              "INSERT INTO Rappel SELECT 40,DateRappel,Type,'Aubin',Ech1,0,Ech2,0,Ech3,0 FROM Rappel WHERE NumRappel=7"})
            Base().Execute(sql);
        QVERIFY(RestaureBase(Reserve(source)));
        QVERIFY(messages.tous.isEmpty());
        QCOMPARE(Table(Base(), "Rappel"), rappels);
        QCOMPARE(Table(Base(), "Notes"), notes);
        QCOMPARE(OuvreRecordset("SELECT count(*) FROM Dictons").Valeur(0, 0).toInt(), 366);
    }

    void sauvegardeSurLaBasePrincipaleRefusee_data()
    {
        QTest::addColumn<QString>("relatif");
        QTest::newRow("dot dot") << "sous/../DBOxi.dtb";
        QTest::newRow("symbolic link") << "lien.dtb";
        QTest::newRow("linked folder") << "dossierLie/DBOxi.dtb";
        QTest::newRow("hard link") << "dur.dtb";
        // The start deletes a leftover of that name.
        QTest::newRow("compaction's name") << "sous/../DBC.dtb";
    }
    void sauvegardeSurLaBasePrincipaleRefusee()
    {
        QFETCH(QString, relatif);
        QDir(env->Dossier()).mkdir("sous");
        QFile::link(env->CheminBase(), Fichier("lien.dtb"));
        QFile::link(env->Dossier(), Fichier("dossierLie"));
        QCOMPARE(::link(QFile::encodeName(env->CheminBase()), QFile::encodeName(Fichier("dur.dtb"))), 0);
        const QByteArray avant = Empreinte(env->CheminBase());
        QVERIFY(!SauvegardeBase(Fichier(relatif)));
        QCOMPARE(Empreinte(env->CheminBase()), avant);
        QCOMPARE(OuvreRecordset("SELECT count(*) FROM Fetes").Valeur(0, 0).toInt(), 31);
        QVERIFY(!EstBasePrincipale(Fichier("DBOxi2.dtb")));
    }

    // A new backup replaces an earlier one; a failed one leaves it as it was.
    void sauvegardeEchoueeLaissantLAncienne()
    {
        const QString chemin = Fichier("garde.dtb");
        QVERIFY(QFile::copy(Reserve("bonne.dtb"), chemin) && SauvegardeBase(chemin));
        {
            Connexion remplacee;
            QVERIFY(remplacee.Ouvre(chemin, CleBase) && Table(remplacee, "Rappel").isEmpty());
        }
        const QByteArray avant = Empreinte(chemin);
        FermeBase();
        QFile bidon(env->CheminBase());
        QVERIFY(bidon.open(QIODevice::WriteOnly) && bidon.write(QByteArray(8192, 'x')) == 8192 && bidon.flush());
        QVERIFY(!SauvegardeBase(chemin));
        QCOMPARE(Empreinte(chemin), avant);
        QCOMPARE(QDir(env->Dossier()).entryList(QDir::Files | QDir::Hidden).filter("garde"), QStringList{"garde.dtb"});
    }

    // Every restore that cannot go through leaves the main file byte for byte as it was, connected.
    void restaurationsEchoueesSansEffet_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<Restauration>("attendu");
        QTest::newRow("other schema") << "schema.dtb" << Restauration::Illisible;
        QTest::newRow("damaged flag") << "drapeau.dtb" << Restauration::Illisible;
        QTest::newRow("bad date") << "date.dtb" << Restauration::Illisible;
        QTest::newRow("missing file") << "absent.dtb" << Restauration::Illisible;
        QTest::newRow("fails while writing") << "doublon.dtb" << Restauration::Echec;
    }
    void restaurationsEchoueesSansEffet()
    {
        QFETCH(QString, source);
        QFETCH(Restauration, attendu);
        RemplitBase();
        const QByteArray avant = Empreinte(env->CheminBase());
        QCOMPARE(RestaureSauvegarde(Reserve(source)), attendu);
        QVERIFY(Base().EstOuverte());
        QCOMPARE(Table(Base(), "Rappel"), rappels);
        QCOMPARE(Table(Base(), "Notes"), notes);
        FermeBase();
        QCOMPARE(Empreinte(env->CheminBase()), avant);
    }
};

OXI_TEST_GUILESS_MAIN(TestSauvegarde)
#include "tst_sauvegarde.moc"
