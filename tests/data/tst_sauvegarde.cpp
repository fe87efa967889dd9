#include "Base.h"
#include "Chemins.h"
#include "Constantes.h"
#include "OutilsTest.h"
#include "Sauvegarde.h"
#include "Schema.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTest>

#include <unistd.h>

using namespace oxi;

namespace {

QByteArray Empreinte(const QString &chemin)
{
    QFile fichier(chemin);
    if (!fichier.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(fichier.readAll(), QCryptographicHash::Sha256);
}

QVector<QVector<QVariant>> Lignes(Connexion &connexion, const QString &table)
{
    return connexion.Requete(QStringLiteral("SELECT * FROM ") + table + QStringLiteral(" ORDER BY 1")).lignes;
}

void AjouteRappel(int num, const QString &date, const QString &type, const QString &libelle,
                  const QString &e1, int f1, const QString &e2, int f2, const QString &e3, int f3)
{
    Base().Execute(QStringLiteral("INSERT INTO Rappel VALUES (?,?,?,?,?,?,?,?,?,?)"),
                   {num, date, type, libelle, e1, f1, e2, f2, e3, f3});
}

// A birthday, a name day and two notes, one with an empty second half.
void RemplitBase()
{
    AjouteRappel(3, "1850-06-14", "A", "Durand#Léa", "2026-06-14", 1, "2026-06-07", 1, "1800-01-01", 0);
    AjouteRappel(7, "2026-02-14", "F", "Valentin", "2026-02-14", 0, "2026-02-13", 1, "2026-02-04", 0);
    AjouteRappel(12, "2026-09-01", "N", "Rentrée", "2026-09-01", 0, "1800-01-01", 0, "2026-08-25", 1);
    AjouteRappel(32767, "2026-12-31", "N", "Réveillon 'chez nous'", "2026-12-31", 0, "1800-01-01", 0, "1800-01-01", 0);
    Base().Execute(QStringLiteral("INSERT INTO Notes VALUES (?,?,?)"),
                   {12, QStringLiteral("Acheter les fournitures ; « cahiers »"), QStringLiteral(" et stylos")});
    Base().Execute(QStringLiteral("INSERT INTO Notes VALUES (?,?,?)"), {32767, QStringLiteral("Champagne"), QVariant()});
}

// A keyed file holding what `instructions` build, for restores prepared outside the program.
QString PrepareFichier(const QString &chemin, const QStringList &instructions, const QString &cle = CleBase)
{
    QFile::remove(chemin);
    Connexion connexion;
    if (!connexion.Cree(chemin, cle))
        return {};
    for (const QString &sql : instructions)
        connexion.Execute(sql);
    return chemin;
}

} // namespace

class TestSauvegarde : public QObject
{
    Q_OBJECT
    EnvironnementTest *env = nullptr;
    MessagerieScriptee *messages = nullptr;

    QString Fichier(const QString &nom) const { return env->Dossier() + QLatin1Char('/') + nom; }

private Q_SLOTS:
    void init()
    {
        messages = new MessagerieScriptee;
        env = new EnvironnementTest;
    }
    void cleanup()
    {
        delete env;
        delete messages;
    }

    void nameRule()
    {
        QCOMPARE(NomFichierSauvegarde(QStringLiteral("archive.bak")), QStringLiteral("archive.bak"));
        QCOMPARE(NomFichierSauvegarde(QStringLiteral("archive")), QStringLiteral("archive.dtb"));
        QCOMPARE(NomFichierSauvegarde(QStringLiteral("ab")), QStringLiteral("ab.dtb"));
        QCOMPARE(NomFichierSauvegarde(QStringLiteral(".ab")), QStringLiteral(".ab.dtb"));
        QCOMPARE(NomFichierSauvegarde(QStringLiteral("x.dtb")), QStringLiteral("x.dtb"));
        QCOMPARE(NomFichierSauvegarde(QStringLiteral("copie.sauv")), QStringLiteral("copie.sauv.dtb"));
        QCOMPARE(NomSauvegardeDefaut(QDate(2026, 12, 5)), QStringLiteral("Oxi_Sauv_05_12"));
        QCOMPARE(NomSauvegardeDefaut(QDate(2027, 1, 31)), QStringLiteral("Oxi_Sauv_31_01"));
        QCOMPARE(CheminSauvegarde(QStringLiteral("/home/a/"), QStringLiteral("b.dtb")), QStringLiteral("/home/a/b.dtb"));
        QCOMPARE(CheminSauvegarde(QStringLiteral("/home/a"), QStringLiteral("b.dtb")), QStringLiteral("/home/a/b.dtb"));
    }

    void roundTripKeepsEveryValue()
    {
        RemplitBase();
        const auto rappels = Lignes(Base(), QStringLiteral("Rappel"));
        const auto notes = Lignes(Base(), QStringLiteral("Notes"));
        const QString chemin = Fichier(QStringLiteral("Oxi_Sauv_05_12.dtb"));
        QVERIFY(SauvegardeBase(chemin));
        QVERIFY(Base().EstOuverte());
        QCOMPARE(QFileInfo(Base().Chemin()).canonicalFilePath(), QFileInfo(env->CheminBase()).canonicalFilePath());
        // No temporary file left beside it.
        QCOMPARE(QDir(env->Dossier()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("Oxi_Sauv")),
                 QStringList{QStringLiteral("Oxi_Sauv_05_12.dtb")});

        // Changes made after the backup are undone by the restore.
        Base().Execute(QStringLiteral("DELETE FROM Rappel WHERE NumRappel=3"));
        Base().Execute(QStringLiteral("UPDATE Rappel SET EtatEch1=1, Ech1='2030-01-01' WHERE NumRappel=7"));
        Base().Execute(QStringLiteral("UPDATE Notes SET Libelle1='autre' WHERE NumNote=12"));
        AjouteRappel(40, "2026-03-01", "F", "Aubin", "2026-03-01", 0, "1800-01-01", 0, "1800-01-01", 0);

        QVERIFY(RestaureBase(chemin));
        QVERIFY(messages->tous.isEmpty());
        QCOMPARE(Lignes(Base(), QStringLiteral("Rappel")), rappels);
        QCOMPARE(Lignes(Base(), QStringLiteral("Notes")), notes);
        // The reference tables are the main file's own, untouched.
        QCOMPARE(OuvreRecordset(QStringLiteral("SELECT count(*) FROM Dictons")).Valeur(0, 0).toInt(), 366);
    }

    void backupHoldsOnlyPersonalTablesAndNeedsTheKey()
    {
        RemplitBase();
        const QString chemin = Fichier(QStringLiteral("archive.bak"));
        QVERIFY(SauvegardeBase(chemin));

        Connexion sansCle;
        QVERIFY(!sansCle.Ouvre(chemin, QString()));
        Connexion autreCle;
        QVERIFY(!autreCle.Ouvre(chemin, QStringLiteral("KZWQ7351")));
        Connexion sauvegarde;
        QVERIFY(sauvegarde.Ouvre(chemin, CleBase));
        const Resultat tables = sauvegarde.Requete(
            QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' ORDER BY name"));
        QStringList noms;
        for (const auto &ligne : tables.lignes)
            noms << ligne.at(0).toString();
        QCOMPARE(noms, (QStringList{"Notes", "Rappel"}));
        QCOMPARE(Lignes(sauvegarde, QStringLiteral("Rappel")), Lignes(Base(), QStringLiteral("Rappel")));
        QCOMPARE(Lignes(sauvegarde, QStringLiteral("Notes")), Lignes(Base(), QStringLiteral("Notes")));
        // Compact: nothing of the reference tables lingers in free pages.
        QCOMPARE(sauvegarde.Requete(QStringLiteral("PRAGMA freelist_count")).Valeur(0, 0).toInt(), 0);
        QVERIFY(QFileInfo(chemin).size() < QFileInfo(env->CheminBase()).size());
    }

    void secondBackupReplacesTheFirst()
    {
        const QString chemin = Fichier(QStringLiteral("double.dtb"));
        QVERIFY(SauvegardeBase(chemin));
        RemplitBase();
        QVERIFY(SauvegardeBase(chemin));
        Connexion sauvegarde;
        QVERIFY(sauvegarde.Ouvre(chemin, CleBase));
        QCOMPARE(sauvegarde.Requete(QStringLiteral("SELECT count(*) FROM Rappel")).Valeur(0, 0).toInt(), 4);
    }

    void backupOntoTheMainFileIsRefused_data()
    {
        QTest::addColumn<QString>("relatif");
        QTest::newRow("same path") << QStringLiteral("DBOxi.dtb");
        QTest::newRow("dot dot") << QStringLiteral("sous/../DBOxi.dtb");
        QTest::newRow("symbolic link") << QStringLiteral("lien.dtb");
        QTest::newRow("linked folder") << QStringLiteral("dossierLie/DBOxi.dtb");
        QTest::newRow("hard link") << QStringLiteral("dur.dtb");
    }
    void backupOntoTheMainFileIsRefused()
    {
        QFETCH(QString, relatif);
        RemplitBase();
        QDir(env->Dossier()).mkdir(QStringLiteral("sous"));
        QFile::link(env->CheminBase(), Fichier(QStringLiteral("lien.dtb")));
        QFile::link(env->Dossier(), Fichier(QStringLiteral("dossierLie")));
        QVERIFY(::link(QFile::encodeName(env->CheminBase()).constData(),
                       QFile::encodeName(Fichier(QStringLiteral("dur.dtb"))).constData()) == 0);
        const QByteArray avant = Empreinte(env->CheminBase());
        const QString chemin = Fichier(relatif);
        QVERIFY(EstBasePrincipale(chemin));
        QVERIFY(!SauvegardeBase(chemin));
        QCOMPARE(Empreinte(env->CheminBase()), avant);
        QCOMPARE(OuvreRecordset(QStringLiteral("SELECT count(*) FROM Fetes")).Valeur(0, 0).toInt(), 31);
        QVERIFY(!EstBasePrincipale(Fichier(QStringLiteral("DBOxi2.dtb"))));
    }

    void failedBackupLeavesEarlierOneIntact()
    {
        RemplitBase();
        const QString chemin = Fichier(QStringLiteral("garde.dtb"));
        QVERIFY(SauvegardeBase(chemin));
        const QByteArray avant = Empreinte(chemin);
        // The main file becomes unreadable as a database: the next backup cannot read it.
        FermeBase();
        QFile::rename(env->CheminBase(), Fichier(QStringLiteral("ailleurs.dtb")));
        QFile bidon(env->CheminBase());
        QVERIFY(bidon.open(QIODevice::WriteOnly));
        bidon.write(QByteArray(8192, 'x'));
        bidon.close();
        QVERIFY(!SauvegardeBase(chemin));
        QCOMPARE(Empreinte(chemin), avant);
        QCOMPARE(QDir(env->Dossier()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("garde")),
                 QStringList{QStringLiteral("garde.dtb")});
        // A missing folder is a failure too, not a crash.
        QVERIFY(!SauvegardeBase(Fichier(QStringLiteral("absent/x.dtb"))));
    }

    // Every restore that cannot go through leaves the main file byte for byte as it was.
    void failedRestoresChangeNothing_data()
    {
        QTest::addColumn<QString>("genre");
        QTest::addColumn<int>("attendu");
        QTest::newRow("empty backup") << "vide" << int(Restauration::Vide);
        QTest::newRow("random bytes") << "hasard" << int(Restauration::Illisible);
        QTest::newRow("empty file") << "zero" << int(Restauration::Illisible);
        QTest::newRow("truncated backup") << "tronque" << int(Restauration::Illisible);
        QTest::newRow("wrong key") << "cle" << int(Restauration::Illisible);
        QTest::newRow("other schema") << "schema" << int(Restauration::Illisible);
        QTest::newRow("damaged flag") << "drapeau" << int(Restauration::Illisible);
        QTest::newRow("bad date") << "date" << int(Restauration::Illisible);
        QTest::newRow("missing file") << "absent" << int(Restauration::Illisible);
        QTest::newRow("fails while writing") << "doublon" << int(Restauration::Echec);
    }
    void failedRestoresChangeNothing()
    {
        QFETCH(QString, genre);
        QFETCH(int, attendu);
        RemplitBase();
        const QString chemin = Fichier(QStringLiteral("source.dtb"));
        const QString notes = QStringLiteral("CREATE TABLE Notes (NumNote INTEGER, Libelle1 TEXT, Libelle2 TEXT)");
        const QString rappel = QStringLiteral(
            "INSERT INTO Rappel VALUES (1,'2026-05-01','N','x','2026-05-01',0,'1800-01-01',0,'1800-01-01',0)");
        if (genre == QLatin1String("vide")) {
            PrepareFichier(chemin, {SchemaRappel, SchemaNotes});
        } else if (genre == QLatin1String("hasard")) {
            QFile f(chemin);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QByteArray octets;
            for (int i = 0; i < 40000; ++i)
                octets.append(char((i * 7919 + 13) % 251));
            f.write(octets);
        } else if (genre == QLatin1String("zero")) {
            QFile f(chemin);
            QVERIFY(f.open(QIODevice::WriteOnly));
        } else if (genre == QLatin1String("tronque")) {
            for (int i = 100; i < 400; ++i)
                AjouteRappel(i, "2026-05-01", "F", QString(200, QLatin1Char('z')), "2026-05-01", 0,
                             "1800-01-01", 0, "1800-01-01", 0);
            QVERIFY(SauvegardeBase(chemin));
            QFile f(chemin);
            const qint64 taille = f.size();
            QVERIFY(taille > 4 * 4096);
            QVERIFY(f.resize(taille / 2));
        } else if (genre == QLatin1String("cle")) {
            PrepareFichier(chemin, {SchemaRappel, SchemaNotes, rappel}, QStringLiteral("autre"));
        } else if (genre == QLatin1String("schema")) {
            PrepareFichier(chemin, {QStringLiteral("CREATE TABLE Rappel (NumRappel INTEGER, Libelle TEXT)"),
                                    QStringLiteral("INSERT INTO Rappel VALUES (1, 'x')"), SchemaNotes});
        } else if (genre == QLatin1String("drapeau")) {
            PrepareFichier(chemin, {SchemaRappel, SchemaNotes,
                                    QStringLiteral("INSERT INTO Rappel VALUES (1,'2026-05-01','N','x','2026-05-01',"
                                                   "'oui','1800-01-01',0,'1800-01-01',0)")});
        } else if (genre == QLatin1String("date")) {
            PrepareFichier(chemin, {SchemaRappel, SchemaNotes,
                                    QStringLiteral("INSERT INTO Rappel VALUES (1,'01/05/2026','N','x','2026-05-01',"
                                                   "0,'1800-01-01',0,'1800-01-01',0)")});
        } else if (genre == QLatin1String("doublon")) {
            // Two notes of one number: the second insert fails after the old rows were deleted.
            PrepareFichier(chemin, {SchemaRappel, notes, rappel, QStringLiteral("INSERT INTO Notes VALUES (1,'a',NULL)"),
                                    QStringLiteral("INSERT INTO Notes VALUES (1,'b',NULL)")});
        }
        const auto rappels = Lignes(Base(), QStringLiteral("Rappel"));
        const auto lesNotes = Lignes(Base(), QStringLiteral("Notes"));
        FermeBase();
        const QByteArray avant = Empreinte(env->CheminBase());
        QVERIFY(ConnecteBase());

        QCOMPARE(int(RestaureSauvegarde(chemin)), attendu);
        QVERIFY(Base().EstOuverte());
        QCOMPARE(Lignes(Base(), QStringLiteral("Rappel")), rappels);
        QCOMPARE(Lignes(Base(), QStringLiteral("Notes")), lesNotes);
        FermeBase();
        QCOMPARE(Empreinte(env->CheminBase()), avant);
        QVERIFY(ConnecteBase());
        QCOMPARE(OuvreRecordset(QStringLiteral("SELECT count(*) FROM Rappel")).Valeur(0, 0).toInt(), rappels.size());
    }

    void emptyBackupIsTold()
    {
        RemplitBase();
        const QString chemin = Fichier(QStringLiteral("vide.dtb"));
        PrepareFichier(chemin, {SchemaRappel, SchemaNotes});
        QVERIFY(!RestaureBase(chemin));
        QCOMPARE(messages->infos, QStringList{QStringLiteral("La sauvegarde est vide.")});
        messages->Vide();
        QVERIFY(!RestaureBase(Fichier(QStringLiteral("absent.dtb"))));
        QVERIFY(messages->tous.isEmpty());
    }

    void fullDatabaseFileRestoresItsPersonalRows()
    {
        // A copy of a whole database file, reference tables included, is a usable backup.
        RemplitBase();
        FermeBase();
        const QString copie = Fichier(QStringLiteral("copie.dtb"));
        QVERIFY(QFile::copy(env->CheminBase(), copie));
        QVERIFY(ConnecteBase());
        const auto rappels = Lignes(Base(), QStringLiteral("Rappel"));
        Base().Execute(QStringLiteral("DELETE FROM Rappel"));
        QCOMPARE(int(RestaureSauvegarde(copie)), int(Restauration::Faite));
        QCOMPARE(Lignes(Base(), QStringLiteral("Rappel")), rappels);
    }
};

QTEST_GUILESS_MAIN(TestSauvegarde)
#include "tst_sauvegarde.moc"
