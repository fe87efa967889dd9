#include "Base.h"
#include "Chemins.h"
#include "Constantes.h"
#include "DeriveCle.h"
#include "Generateur.h"
#include "OutilsTest.h"
#include "Sauvegarde.h"
#include "Schema.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <memory>
#include <openssl/evp.h>
#include <unistd.h>

#define SQLITE_HAS_CODEC
#include <sqlcipher/sqlite3.h>

using namespace oxi;
using namespace oxi::test;

namespace {

// Opens with the bare library and a raw key ("x'<hex>'"); true when the file reads.
bool LitAvecCle(const QString &chemin, const QByteArray &cle)
{
    sqlite3 *db = nullptr;
    bool ok = sqlite3_open_v2(QFile::encodeName(chemin).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK
        && sqlite3_key(db, cle.constData(), int(cle.size())) == SQLITE_OK
        && sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

// Numbers up to the largest, both flags, the no-date value, quotes, a note with an empty half.
void RemplitBase()
{
    Base().Execute("INSERT INTO Rappel VALUES (3,'1850-06-14','A','Durand#Léa','2026-06-14',1,'2026-06-07',1,'1800-01-01',0),"
                   "(7,'2026-02-14','F','Valentin','2026-02-14',0,'2026-02-13',1,'2026-02-04',0),"
                   "(32767,'2026-12-31','N','Réveillon ''chez nous''','2026-12-31',0,'1800-01-01',0,'1800-01-01',0)");
    Base().Execute("INSERT INTO Notes VALUES (7,'Acheter des fleurs ; « roses »',' et chocolats'), (32767,'Champagne',NULL)");
}

} // namespace

// The keyed file: reference tables, keys and their derivation, compaction, backups and restores.
class TestBase : public QObject
{
    Q_OBJECT
    MessagerieScriptee messages;
    std::unique_ptr<EnvironnementTest> env;
    // Backups are slow to write (key derivation): prepared once, only read by the cases.
    QTemporaryDir reserve;
    QStringList etat; // Rappel and Notes as RemplitBase leaves them

    QString Fichier(const QString &nom) const { return env->Dossier() + '/' + nom; }
    QString Reserve(const QString &nom) const { return reserve.path() + '/' + nom; }
    int Compte(const QString &table) { return OuvreRecordset("SELECT count(*) FROM " + table).Valeur(0, 0).toInt(); }

private Q_SLOTS:
    void initTestCase()
    {
        EnvironnementTest prepa;
        RemplitBase();
        etat = EtatConnexion(Base());
        QVERIFY(SauvegardeBase(Reserve("bonne.dtb")));
        QCOMPARE(QFileInfo(Base().Chemin()).canonicalFilePath(), QFileInfo(prepa.CheminBase()).canonicalFilePath());
        QCOMPARE(QDir(reserve.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"bonne.dtb"});
        FermeBase();
        QVERIFY(QFile::copy(prepa.CheminBase(), Reserve("copie.dtb")) && ConnecteBase());

        const QString ligne = "INSERT INTO Rappel VALUES (1,'%1','N','x','2026-05-01',%2,'1800-01-01',0,'1800-01-01',0)";
        const QList<std::pair<QString, QStringList>> fichiers{
            {"schema.dtb",
             {"CREATE TABLE Rappel (NumRappel INTEGER, Libelle TEXT)", "INSERT INTO Rappel VALUES (1, 'x')", SchemaNotes}},
            {"drapeau.dtb", {SchemaRappel, SchemaNotes, ligne.arg("2026-05-01", "'oui'")}},
            {"date.dtb", {SchemaRappel, SchemaNotes, ligne.arg("01/05/2026", "0")}},
            // Two notes of one number: the second insert fails after the old rows were deleted.
            {"doublon.dtb",
             {SchemaRappel, "CREATE TABLE Notes (NumNote INTEGER, Libelle1 TEXT, Libelle2 TEXT)", ligne.arg("2026-05-01", "0"),
              "INSERT INTO Notes VALUES (1,'a',NULL)", "INSERT INTO Notes VALUES (1,'b',NULL)"}}};
        for (const auto &[nom, instructions] : fichiers)
            QVERIFY(ExecuteDans(Reserve(nom), CleBase, true, instructions));
    }
    void init() { env = std::make_unique<EnvironnementTest>(); }
    void cleanup()
    {
        env.reset();
        messages.Vide();
    }

    // The shipped file: no personal rows, the republican month first in Mois, a name day for 29 February.
    // (Keyed: every suite opens it with the key.)
    void tablesDeReference()
    {
        for (const auto &[table, nombre] :
             QList<std::pair<QString, int>>{{"Rappel", 0}, {"Notes", 0}, {"Fetes", 31}, {"Dictons", 366}, {"Mois", 6}})
            QCOMPARE(Compte(table), nombre);
        QCOMPARE(OuvreRecordset("SELECT mois1 FROM Mois").Valeur(0, 0).toString(), "Nivôse");
        QVERIFY(!LitChamp(OuvreRecordset("SELECT mois2 FROM Fetes WHERE Jour=?", {29}).Valeur(0, 0)).isEmpty());
    }

    // The own parallel derivation gives OpenSSL's bytes: long secret, a whole pad, three blocks, no secret.
    void derivationCommeOpenSsl()
    {
        const std::tuple<QByteArray, QByteArray, int, int> cas[] = {{"kzwq7351", QByteArray(16, '\xa5'), 1000, 32},
                                                                    {QByteArray(100, 'k'), "salt", 2, 20},
                                                                    {QByteArray(64, 'p'), "s", 3, 32},
                                                                    {"p", "s", 1, 45},
                                                                    {{}, QByteArray(16, '\0'), 5, 32}};
        for (const auto &[secret, sel, iterations, taille] : cas) {
            QByteArray attendue(taille, '\0');
            QVERIFY(PKCS5_PBKDF2_HMAC(secret.constData(), int(secret.size()),
                                      reinterpret_cast<const unsigned char *>(sel.constData()), int(sel.size()), iterations,
                                      EVP_sha1(), taille, reinterpret_cast<unsigned char *>(attendue.data())));
            QCOMPARE(Pbkdf2Sha1(secret, sel, iterations, taille).toHex(), attendue.toHex());
        }
    }

    // The raw key must be the library's own, or every open would silently fall
    // back to the slow derivation; the older format (4,000 rounds) needs its count.
    // A derivation started ahead serves only the file it was made for: a file replaced meanwhile gets its own.
    void clesBrutesEtPreparees()
    {
        FermeBase();
        const QString chemin = env->CheminBase(), ancien = Fichier("ancien.dtb");
        QVERIFY(LitAvecCle(chemin, CleBrute(chemin, CleBase)));
        QVERIFY(!LitAvecCle(chemin, CleBrute(chemin, "KZWQ7351")));
        QVERIFY(CleBrute(chemin, QString()).isEmpty());
        QVERIFY(CopieAncienFormat(chemin, ancien));
        QVERIFY(LitAvecCle(ancien, CleBrute(ancien, CleBase, 4000)) && !LitAvecCle(ancien, CleBrute(ancien, CleBase)));

        PrepareCle(chemin, CleBase);
        QVERIFY(LitAvecCle(chemin, CleBrute(chemin, CleBase)) && !LitAvecCle(chemin, CleBrute(chemin, "autre")));
        PrepareCle(chemin, CleBase);
        QVERIFY(QFile::remove(chemin) && QFile::copy(Reserve("bonne.dtb"), chemin)); // a salt of its own
        QVERIFY(LitAvecCle(chemin, CleBrute(chemin, CleBase)));
        PrepareCle(Fichier("absent.dtb"), CleBase);
        QVERIFY(Connexion().Ouvre(chemin, CleBase));
    }

    // A derived key kept in the private runtime folder serves later processes; a
    // damaged one costs only the library's own derivation.
    void cleGardeeServantAuxOuverturesSuivantes()
    {
        FermeBase();
        const QString chemin = env->CheminBase();
        QTemporaryDir run;
        QFile::setPermissions(run.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QByteArray avant = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", run.path().toUtf8());
        const QByteArray cle = CleBrute(chemin, CleBase);
        const QStringList gardees = QDir(run.path()).entryList(QDir::Files);
        QCOMPARE(gardees.size(), 1);
        QCOMPARE(CleBrute(chemin, CleBase), cle);
        QVERIFY(Ecrit(run.path() + '/' + gardees.first(), QByteArray(64, '0')));
        QVERIFY(Connexion().Ouvre(chemin, CleBase));
        qputenv("XDG_RUNTIME_DIR", avant);
    }

    // Blanks are trimmed, tabs and line breaks inside a text kept. (A failed transaction: the failed restore below.)
    void texteNul()
    {
        QVERIFY(ChaineOuNull("   ").isNull());
        QCOMPARE(ChaineOuNull(" a\r\nb\t ").toString(), QStringLiteral("a\r\nb\t"));
    }

    void fichierAbsentNiErreurNiCree()
    {
        FermeBase();
        QVERIFY(QFile::remove(env->CheminBase()) && !CompacteBase() && ConnecteBase() && NomBase().isEmpty());
        QVERIFY(!Base().EstOuverte() && messages.tous.isEmpty() && !QFile::exists(env->CheminBase()));
        QVERIFY_THROWS_EXCEPTION(ErreurBase, OuvreRecordset("SELECT * FROM Rappel"));
    }

    // ".dtb" is added unless the name ends in a three-letter extension (today's name and the folder: the panel's suite).
    void regleDesNoms()
    {
        for (const QString paire : {"archive.bak archive.bak", "archive archive.dtb", ".ab .ab.dtb", "copie.sauv copie.sauv.dtb"})
            QCOMPARE(NomFichierSauvegarde(paire.section(' ', 0, 0)), paire.section(' ', 1));
    }

    // Only the two personal tables, keyed, and nothing of the reference tables left in free pages.
    void sauvegardeDesSeulesTablesPersonnellesAvecLaCle()
    {
        const QString chemin = Reserve("bonne.dtb");
        QVERIFY(!Connexion().Ouvre(chemin, QString()) && !Connexion().Ouvre(chemin, "KZWQ7351"));
        Connexion sauvegarde;
        QVERIFY(sauvegarde.Ouvre(chemin, CleBase));
        QCOMPARE(sauvegarde.Requete("SELECT count(*) FROM sqlite_master WHERE type='table'").Valeur(0, 0).toInt(), 2);
        QCOMPARE(sauvegarde.Requete("PRAGMA freelist_count").Valeur(0, 0).toInt(), 0);
        QVERIFY(QFileInfo(chemin).size() < QFileInfo(env->CheminBase()).size());
    }

    // A whole database file is a backup too: rows changed since come back as they were, the
    // reference tables stay. (A backup's own restore is the fault suite's, row for row.)
    void restaurationDUneCopieDeLaBase()
    {
        RemplitBase();
        for (const char *sql :
             {"DELETE FROM Rappel WHERE NumRappel=3", "UPDATE Notes SET Libelle1='autre' WHERE NumNote=7",
              "UPDATE Rappel SET EtatEch1=1, Ech1='2030-01-01' WHERE NumRappel=7",
              "INSERT INTO Rappel SELECT 40,DateRappel,Type,'Aubin',Ech1,0,Ech2,0,Ech3,0 FROM Rappel WHERE NumRappel=7"})
            Base().Execute(sql);
        QVERIFY(RestaureBase(Reserve("copie.dtb")));
        QVERIFY(messages.tous.isEmpty());
        QCOMPARE(EtatConnexion(Base()), etat);
        QCOMPARE(Compte("Dictons"), 366);
    }

    // The main file by every path that leads to it, and the compaction's name (the start deletes a leftover there).
    void sauvegardeSurLaBasePrincipaleRefusee_data()
    {
        QTest::addColumn<QString>("relatif");
        for (const char *relatif : {"sous/../DBOxi.dtb", "lien.dtb", "dossierLie/DBOxi.dtb", "dur.dtb", "sous/../DBC.dtb"})
            QTest::newRow(relatif) << QString::fromUtf8(relatif);
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
        QVERIFY(!EstBasePrincipale(Fichier("DBOxi2.dtb")));
    }

    // A backup failing on an unreadable main file leaves the earlier one, and no temporary file. (One that
    // works replaces it: the fault suite's backups, over an earlier one.)
    void sauvegardeEchoueeLaissantLAncienne()
    {
        const QString chemin = Fichier("garde.dtb");
        QVERIFY(QFile::copy(Reserve("bonne.dtb"), chemin));
        const QByteArray avant = Empreinte(chemin);
        FermeBase();
        QVERIFY(Ecrit(env->CheminBase(), QByteArray(8192, 'x')));
        QVERIFY(!SauvegardeBase(chemin));
        QCOMPARE(Empreinte(chemin), avant);
        QCOMPARE(QDir(env->Dossier()).entryList(QDir::Files | QDir::Hidden).filter("garde"), QStringList{"garde.dtb"});
    }

    // Every restore that cannot go through leaves the main file byte for byte as it was, connected.
    void restaurationsEchoueesSansEffet_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<Restauration>("attendu");
        QTest::newRow("autre schéma") << "schema.dtb" << Restauration::Illisible;
        QTest::newRow("drapeau abîmé") << "drapeau.dtb" << Restauration::Illisible;
        QTest::newRow("date fausse") << "date.dtb" << Restauration::Illisible;
        QTest::newRow("fichier absent") << "absent.dtb" << Restauration::Illisible;
        QTest::newRow("échec à l'écriture") << "doublon.dtb" << Restauration::Echec;
    }
    void restaurationsEchoueesSansEffet()
    {
        QFETCH(QString, source);
        QFETCH(Restauration, attendu);
        RemplitBase();
        const QByteArray avant = Empreinte(env->CheminBase());
        QCOMPARE(RestaureSauvegarde(Reserve(source)), attendu);
        QVERIFY(Base().EstOuverte());
        QCOMPARE(EtatConnexion(Base()), etat);
        FermeBase();
        QCOMPARE(Empreinte(env->CheminBase()), avant);
    }
};

OXI_TEST_GUILESS_MAIN(TestBase)
#include "tst_base.moc"
