#include "Base.h"
#include "Chemins.h"
#include "Constantes.h"
#include "DeriveCle.h"
#include "OutilsTest.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTest>

#include <openssl/evp.h>

#define SQLITE_HAS_CODEC
#include <sqlcipher/sqlite3.h>

using namespace oxi;

namespace {

QByteArray Empreinte(const QString &chemin)
{
    QFile fichier(chemin);
    fichier.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(fichier.readAll(), QCryptographicHash::Sha256);
}

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

void Ecrit(const QString &chemin, const QByteArray &octets)
{
    QFile fichier(chemin);
    QVERIFY(fichier.open(QIODevice::WriteOnly | QIODevice::Truncate));
    fichier.write(octets);
}

int Compte(const QString &table)
{
    return OuvreRecordset("SELECT count(*) FROM " + table).Valeur(0, 0).toInt();
}

} // namespace

class TestBase : public QObject
{
    Q_OBJECT
    EnvironnementTest *env = nullptr;
    MessagerieScriptee *messages = nullptr;

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

    void tablesDeReferenceEtCle()
    {
        const QList<std::pair<QString, int>> tables{{"Rappel", 0}, {"Notes", 0}, {"Fetes", 31}, {"Dictons", 366}, {"Mois", 6}};
        for (const auto &[table, nombre] : tables)
            QCOMPARE(Compte(table), nombre);
        // Mois keeps its stored order: the republican month comes first.
        QCOMPARE(OuvreRecordset("SELECT mois1 FROM Mois").Valeur(0, 0).toString(), QStringLiteral("Nivôse"));
        QVERIFY(!LitChamp(OuvreRecordset("SELECT mois2 FROM Fetes WHERE Jour=?", {29}).Valeur(0, 0)).isEmpty());
        const Resultat dicton = OuvreRecordset("SELECT * FROM Dictons WHERE NumJour=? AND Mois=?", {29, "mois2"});
        QCOMPARE(dicton.Nombre(), 1);
        QCOMPARE(dicton.colonnes, (QStringList{"NumJour", "Mois", "lib1", "lib2", "lib3", "lib4"}));
        FermeBase();
        QVERIFY(!Connexion().Ouvre(env->CheminBase(), QString()));
        QVERIFY(!Connexion().Ouvre(env->CheminBase(), "KZWQ7351"));
        QVERIFY(Connexion().Ouvre(env->CheminBase(), CleBase));
    }

    void derivationIsOpenSslsPbkdf2_data()
    {
        QTest::addColumn<QByteArray>("secret");
        QTest::addColumn<QByteArray>("sel");
        QTest::addColumn<int>("iterations");
        QTest::addColumn<int>("taille");
        QTest::newRow("page key") << QByteArray("kzwq7351") << QByteArray(16, '\xa5') << 1000 << 32;
        QTest::newRow("secret longer than the pad") << QByteArray(100, 'k') << QByteArray("salt") << 2 << 20;
        QTest::newRow("secret of a whole pad") << QByteArray(64, 'p') << QByteArray("s") << 3 << 32;
        QTest::newRow("one round, three blocks") << QByteArray("p") << QByteArray("s") << 1 << 45;
        QTest::newRow("empty secret") << QByteArray() << QByteArray(16, '\0') << 5 << 32;
    }
    void derivationIsOpenSslsPbkdf2()
    {
        QFETCH(QByteArray, secret);
        QFETCH(QByteArray, sel);
        QFETCH(int, iterations);
        QFETCH(int, taille);
        QByteArray attendue(taille, '\0');
        QVERIFY(PKCS5_PBKDF2_HMAC(secret.constData(), int(secret.size()),
                                  reinterpret_cast<const unsigned char *>(sel.constData()), int(sel.size()), iterations,
                                  EVP_sha1(), taille, reinterpret_cast<unsigned char *>(attendue.data())));
        QCOMPARE(Pbkdf2Sha1(secret, sel, iterations, taille).toHex(), attendue.toHex());
    }

    // The raw key must be the library's own, or every open would silently fall
    // back to the slow derivation; the older format (4,000 rounds) needs its count.
    void cleBruteDeLaBibliotheque()
    {
        FermeBase();
        QVERIFY(LitAvecCle(env->CheminBase(), CleBrute(env->CheminBase(), CleBase)));
        QVERIFY(!LitAvecCle(env->CheminBase(), CleBrute(env->CheminBase(), "KZWQ7351")));
        QVERIFY(CleBrute(env->CheminBase(), QString()).isEmpty());
        const QString ancien = env->Dossier() + "/ancien.dtb";
        sqlite3 *db = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(ancien).constData(), &db), SQLITE_OK);
        const QByteArray cle = QString(CleBase).toUtf8();
        sqlite3_key(db, cle.constData(), int(cle.size()));
        QCOMPARE(
            sqlite3_exec(db, "PRAGMA kdf_iter = 4000; CREATE TABLE t (x); INSERT INTO t VALUES (7)", nullptr, nullptr, nullptr),
            SQLITE_OK);
        sqlite3_close(db);
        QVERIFY(LitAvecCle(ancien, CleBrute(ancien, CleBase, 4000)));
        QVERIFY(!LitAvecCle(ancien, CleBrute(ancien, CleBase)));
        Connexion connexion;
        QVERIFY(!connexion.Ouvre(ancien, CleBase));
        QVERIFY(connexion.Ouvre(ancien, CleBase, nullptr, 4000));
        QCOMPARE(connexion.Requete("SELECT x FROM t").Valeur(0, 0).toInt(), 7);
    }

    // A derivation started ahead serves only the file, key and salt it was
    // made for: a file replaced meanwhile gets its own.
    void clePrepareePourSonSeulFichier()
    {
        FermeBase();
        const QString chemin = env->CheminBase();
        PrepareCle(chemin, CleBase);
        QVERIFY(LitAvecCle(chemin, CleBrute(chemin, CleBase)));
        QVERIFY(!LitAvecCle(chemin, CleBrute(chemin, "autre")));
        PrepareCle(chemin, CleBase);
        QFile::remove(chemin);
        {
            Connexion nouvelle;
            QVERIFY(nouvelle.Cree(chemin, CleBase));
            nouvelle.Execute("CREATE TABLE t (x)");
        }
        QVERIFY(LitAvecCle(chemin, CleBrute(chemin, CleBase)));
        PrepareCle(env->Dossier() + "/absent.dtb", CleBase);
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
        Ecrit(run.path() + '/' + gardees.first(), QByteArray(64, '0'));
        Connexion connexion;
        QVERIFY(connexion.Ouvre(chemin, CleBase));
        qputenv("XDG_RUNTIME_DIR", avant);
    }

    // The command line's open: reading leaves every byte of the file as it was, and writing fails.
    void ouvertureEnLectureNeChangeRien()
    {
        FermeBase();
        const QString chemin = env->CheminBase();
        const auto empreinte = [&] {
            QFile f(chemin);
            f.open(QIODevice::ReadOnly);
            return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
        };
        const QByteArray avant = empreinte();
        {
            Connexion lecture;
            QVERIFY(lecture.OuvreLecture(chemin, CleBase));
            QVERIFY(lecture.Requete("SELECT COUNT(*) FROM Fetes").Valeur(0, 0).toInt() > 0);
            QVERIFY_THROWS_EXCEPTION(ErreurBase, lecture.Execute("DELETE FROM Fetes"));
        }
        QCOMPARE(empreinte(), avant);
        QVERIFY(!QFile::exists(chemin + "-journal"));
    }

    void texteLieEtTransactionEchoueeSansTrace()
    {
        const QString hostile = QStringLiteral("O'Brien\"; DROP TABLE Rappel; -- #*%_ \t\n 🎂 שלום");
        Base().Execute("INSERT INTO Rappel VALUES (1, ?, 'A', ?, ?, 0, ?, 1, ?, 1)",
                       {QDate(1990, 3, 12), hostile, QDate(2026, 3, 12), DateNulle, DateNulle});
        const Resultat r = OuvreRecordset("SELECT * FROM Rappel WHERE Libelle=?", {hostile});
        QCOMPARE(r.Nombre(), 1);
        QCOMPARE(r.Valeur(0, "Libelle").toString(), hostile);
        QCOMPARE(LitDate(r.Valeur(0, "Ech2")), DateNulle);
        QCOMPARE(LitChamp(r.Valeur(0, "DateRappel")), QStringLiteral("1990-03-12"));
        QCOMPARE(LitChamp(r.Valeur(0, "EtatEch2")), QStringLiteral("1"));
        // Blanks are trimmed, tabs and line breaks inside a text are kept.
        QVERIFY(ChaineOuNull("   ").isNull());
        QCOMPARE(ChaineOuNull(" a\r\nb\t ").toString(), QStringLiteral("a\r\nb\t"));
        try {
            Transaction transaction(Base());
            Base().Execute("INSERT INTO Notes VALUES (1, 'a', NULL)");
            Base().Execute("INSERT INTO Notes VALUES (1, 'doublon', NULL)");
            transaction.Valide();
            QFAIL("duplicate key accepted");
        } catch (const ErreurBase &) {
        }
        QCOMPARE(Compte("Notes"), 0);
    }

    void fichierAbsentNiErreurNiCree()
    {
        FermeBase();
        QFile::remove(env->CheminBase());
        QVERIFY(!CompacteBase());
        QVERIFY(ConnecteBase());
        QVERIFY(NomBase().isEmpty() && !Base().EstOuverte());
        QVERIFY(messages->tous.isEmpty());
        QVERIFY(!QFile::exists(env->CheminBase()));
        QVERIFY_THROWS_EXCEPTION(ErreurBase, OuvreRecordset("SELECT * FROM Rappel"));
    }

    // A sound SQLCipher file under another key: no connection, not rewritten.
    void autreCleRefuseeFichierIntact()
    {
        FermeBase();
        QFile::remove(env->CheminBase());
        {
            Connexion autre;
            QVERIFY(autre.Cree(env->CheminBase(), "autre"));
            autre.Execute("CREATE TABLE t (x)");
        }
        const QByteArray avant = Empreinte(env->CheminBase());
        QVERIFY(!CompacteBase());
        QVERIFY(!ConnecteBase());
        QCOMPARE(messages->critiques, QStringList{QStringLiteral("Echec de la connection ! ")});
        QCOMPARE(Empreinte(env->CheminBase()), avant);
    }

    void compactageGardantLesDonnees()
    {
        for (int i = 1; i <= 200; ++i)
            Base().Execute("INSERT INTO Notes VALUES (?, ?, NULL)", {i, QString(400, QLatin1Char('x'))});
        Base().Execute("DELETE FROM Notes WHERE NumNote > 10");
        FermeBase();
        const qint64 avant = QFileInfo(env->CheminBase()).size();
        Ecrit(CheminAppli() + NomBaseCompactee, "leftover");
        QVERIFY(CompacteBase());
        QVERIFY(!QFile::exists(CheminAppli() + NomBaseCompactee));
        QVERIFY(QFileInfo(env->CheminBase()).size() < avant);
        // The compaction hands its open connection over to ConnecteBase.
        QVERIFY(Base().EstOuverte() && ConnecteBase());
        QCOMPARE(Compte("Notes"), 10);
        QVERIFY(!Connexion().Ouvre(env->CheminBase(), QString()));
    }
};

OXI_TEST_GUILESS_MAIN(TestBase)
#include "tst_base.moc"
