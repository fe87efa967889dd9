#include "Base.h"
#include "Chemins.h"
#include "Constantes.h"
#include "OutilsTest.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTest>

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

// Opens with the bare library: a raw key ("x'<hex>'") or a passphrase with
// its round count; true when the file reads.
bool LitAvecCle(const QString &chemin, const QByteArray &cle, int iterations = 0)
{
    sqlite3 *db = nullptr;
    bool ok = sqlite3_open_v2(QFile::encodeName(chemin).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK
              && sqlite3_key(db, cle.constData(), int(cle.size())) == SQLITE_OK;
    if (ok && iterations > 0)
        ok = sqlite3_exec(db, QByteArray("PRAGMA kdf_iter = " + QByteArray::number(iterations)).constData(),
                          nullptr, nullptr, nullptr) == SQLITE_OK;
    ok = ok && sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

void Ecrit(const QString &chemin, const QByteArray &octets)
{
    QFile fichier(chemin);
    QVERIFY(fichier.open(QIODevice::WriteOnly | QIODevice::Truncate));
    fichier.write(octets);
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

    void referenceTablesAreFilled()
    {
        const auto compte = [](const char *table) {
            return OuvreRecordset(QStringLiteral("SELECT count(*) FROM ") + QLatin1String(table)).Valeur(0, 0).toInt();
        };
        QCOMPARE(compte("Rappel"), 0);
        QCOMPARE(compte("Notes"), 0);
        QCOMPARE(compte("Fetes"), 31);
        QCOMPARE(compte("Dictons"), 366);
        QCOMPARE(compte("Mois"), 6);
        // Mois keeps its stored order: the republican month comes first.
        const Resultat mois = OuvreRecordset(QStringLiteral("SELECT mois1 FROM Mois"));
        QCOMPARE(mois.Valeur(0, 0).toString(), QStringLiteral("Nivôse"));
        const Resultat fevrier = OuvreRecordset(QStringLiteral("SELECT mois2 FROM Fetes WHERE Jour=?"), {29});
        QVERIFY(!LitChamp(fevrier.Valeur(0, 0)).isEmpty());
        const Resultat dicton = OuvreRecordset(QStringLiteral("SELECT * FROM Dictons WHERE NumJour=? AND Mois=?"),
                                               {29, QStringLiteral("mois2")});
        QCOMPARE(dicton.Nombre(), 1);
        QCOMPARE(dicton.colonnes, (QStringList{"NumJour", "Mois", "lib1", "lib2", "lib3", "lib4"}));
    }

    void fileOpensOnlyWithItsKey()
    {
        FermeBase();
        Connexion sansCle;
        QVERIFY(!sansCle.Ouvre(env->CheminBase(), QString()));
        Connexion mauvaiseCle;
        QVERIFY(!mauvaiseCle.Ouvre(env->CheminBase(), QStringLiteral("KZWQ7351")));
        Connexion bonne;
        QVERIFY(bonne.Ouvre(env->CheminBase(), CleBase));
    }

    // Published PBKDF2-HMAC-SHA1 vectors, one of them longer than a block.
    void keyDerivationMatchesPublishedVectors_data()
    {
        QTest::addColumn<QByteArray>("secret");
        QTest::addColumn<QByteArray>("sel");
        QTest::addColumn<int>("iterations");
        QTest::addColumn<QByteArray>("attendu");
        QTest::newRow("1 round") << QByteArray("password") << QByteArray("salt") << 1
                                 << QByteArray("0c60c80f961f0e71f3a9b524af6012062fe037a6");
        QTest::newRow("4096 rounds") << QByteArray("password") << QByteArray("salt") << 4096
                                     << QByteArray("4b007901b765489abead49d926f721d065a429c1");
        QTest::newRow("two blocks") << QByteArray("passwordPASSWORDpassword")
                                    << QByteArray("saltSALTsaltSALTsaltSALTsaltSALTsalt") << 4096
                                    << QByteArray("3d2eec4fe41c849b80c8d83662c0e44a8b291a964cf2f07038");
        QTest::newRow("secret longer than the pad") << QByteArray(100, 'k') << QByteArray("salt") << 2
                                                    << QByteArray("9737723484816c710b3d724c8e8f391e0f8c4306");
    }
    void keyDerivationMatchesPublishedVectors()
    {
        QFETCH(QByteArray, secret);
        QFETCH(QByteArray, sel);
        QFETCH(int, iterations);
        QFETCH(QByteArray, attendu);
        QCOMPARE(Pbkdf2Sha1(secret, sel, iterations, int(attendu.size() / 2)).toHex(), attendu);
    }

    // The key derived here must be the library's own, or every open would
    // silently fall back to the slow derivation.
    void rawKeyIsTheLibrarysKey()
    {
        FermeBase();
        const QByteArray brute = CleBrute(env->CheminBase(), CleBase);
        QVERIFY(brute.startsWith("x'"));
        QVERIFY(LitAvecCle(env->CheminBase(), brute));
        QVERIFY(!LitAvecCle(env->CheminBase(), CleBrute(env->CheminBase(), QStringLiteral("KZWQ7351"))));
        QVERIFY(CleBrute(env->CheminBase(), QString()).isEmpty());

        // The older format, 4,000 rounds: its raw key, and Ouvre with the count.
        const QString ancien = env->Dossier() + QStringLiteral("/ancien.dtb");
        {
            sqlite3 *db = nullptr;
            QCOMPARE(sqlite3_open(QFile::encodeName(ancien).constData(), &db), SQLITE_OK);
            const QByteArray cle = QString(CleBase).toUtf8();
            sqlite3_key(db, cle.constData(), int(cle.size()));
            QCOMPARE(sqlite3_exec(db, "PRAGMA kdf_iter = 4000; CREATE TABLE t (x); INSERT INTO t VALUES (7)",
                                  nullptr, nullptr, nullptr), SQLITE_OK);
            sqlite3_close(db);
        }
        QVERIFY(LitAvecCle(ancien, QString(CleBase).toUtf8(), 4000));
        QVERIFY(LitAvecCle(ancien, CleBrute(ancien, CleBase, 4000)));
        QVERIFY(!LitAvecCle(ancien, CleBrute(ancien, CleBase)));
        Connexion connexion;
        QVERIFY(!connexion.Ouvre(ancien, CleBase));
        QVERIFY(connexion.Ouvre(ancien, CleBase, nullptr, 4000));
        QCOMPARE(connexion.Requete(QStringLiteral("SELECT x FROM t")).Valeur(0, 0).toInt(), 7);
    }

    void userTextIsBoundNeverSpliced()
    {
        const QString hostile = QStringLiteral("O'Brien\"; DROP TABLE Rappel; -- #*%_ \t\n 🎂 שלום");
        Base().Execute(QStringLiteral("INSERT INTO Rappel VALUES (1, ?, 'A', ?, ?, 0, ?, 1, ?, 1)"),
                       {QDate(1990, 3, 12), hostile, QDate(2026, 3, 12), DateNulle, DateNulle});
        const Resultat r = OuvreRecordset(QStringLiteral("SELECT * FROM Rappel WHERE Libelle=?"), {hostile});
        QCOMPARE(r.Nombre(), 1);
        QCOMPARE(r.Valeur(0, "Libelle").toString(), hostile);
        QCOMPARE(LitDate(r.Valeur(0, "Ech2")), DateNulle);
        QCOMPARE(LitChamp(r.Valeur(0, "DateRappel")), QStringLiteral("1990-03-12"));
        QCOMPARE(LitChamp(r.Valeur(0, "EtatEch2")), QStringLiteral("1"));
    }

    void fieldHelpers()
    {
        QCOMPARE(LitChamp(QVariant()), QString());
        QCOMPARE(LitChamp(QVariant(QDate(2024, 2, 29))), QStringLiteral("2024-02-29"));
        QVERIFY(ChaineOuNull(QStringLiteral("   ")).isNull());
        QCOMPARE(ChaineOuNull(QStringLiteral("  mot  ")).toString(), QStringLiteral("mot"));
        QCOMPARE(ChaineOuNull(QStringLiteral(" a\r\nb\t ")).toString(), QStringLiteral("a\r\nb\t"));
        QVERIFY(!LitDate(QVariant()).isValid());
    }

    void failedTransactionLeavesNothing()
    {
        try {
            Transaction transaction(Base());
            Base().Execute(QStringLiteral("INSERT INTO Notes VALUES (1, 'a', NULL)"));
            Base().Execute(QStringLiteral("INSERT INTO Notes VALUES (1, 'doublon', NULL)"));
            transaction.Valide();
            QFAIL("duplicate key accepted");
        } catch (const ErreurBase &) {
        }
        QCOMPARE(OuvreRecordset(QStringLiteral("SELECT count(*) FROM Notes")).Valeur(0, 0).toInt(), 0);
    }

    void missingFileIsNotAnError()
    {
        FermeBase();
        QFile::remove(env->CheminBase());
        QVERIFY(ConnecteBase());
        QVERIFY(NomBase().isEmpty());
        QVERIFY(!Base().EstOuverte());
        QVERIFY(messages->tous.isEmpty());
        QVERIFY(!QFile::exists(env->CheminBase()));
        QVERIFY_THROWS_EXCEPTION(ErreurBase, OuvreRecordset(QStringLiteral("SELECT * FROM Rappel")));
    }

    void unreadableFilesFailToConnectAndStayIntact_data()
    {
        QTest::addColumn<QByteArray>("contenu");
        QTest::newRow("zero bytes") << QByteArray();
        QTest::newRow("random") << QByteArray(8192, '\x5a');
        QFile ref(QStringLiteral(OXI_BASE_REFERENCE));
        ref.open(QIODevice::ReadOnly);
        QTest::newRow("truncated") << ref.read(1500);
    }
    void unreadableFilesFailToConnectAndStayIntact()
    {
        QFETCH(QByteArray, contenu);
        FermeBase();
        Ecrit(env->CheminBase(), contenu);
        const QByteArray avant = Empreinte(env->CheminBase());
        QVERIFY(!CompacteBase());
        QVERIFY(!ConnecteBase());
        QCOMPARE(messages->critiques, QStringList{QStringLiteral("Echec de la connection ! ")});
        QCOMPARE(Empreinte(env->CheminBase()), avant);
    }

    void folderNamedLikeTheDatabaseFailsToConnect()
    {
        FermeBase();
        QFile::remove(env->CheminBase());
        QDir().mkdir(env->CheminBase());
        QVERIFY(!ConnecteBase());
        QCOMPARE(messages->critiques.size(), 1);
        QDir().rmdir(env->CheminBase());
    }

    void otherKeyIsLeftAlone()
    {
        FermeBase();
        QFile::remove(env->CheminBase());
        {
            Connexion autre;
            QVERIFY(autre.Cree(env->CheminBase(), QStringLiteral("autre")));
            autre.Execute(QStringLiteral("CREATE TABLE t (x)"));
        }
        const QByteArray avant = Empreinte(env->CheminBase());
        QVERIFY(!CompacteBase());
        QCOMPARE(Empreinte(env->CheminBase()), avant);
    }

    void compactionKeepsDataAndDropsLeftover()
    {
        for (int i = 1; i <= 200; ++i)
            Base().Execute(QStringLiteral("INSERT INTO Notes VALUES (?, ?, NULL)"), {i, QString(400, QLatin1Char('x'))});
        Base().Execute(QStringLiteral("DELETE FROM Notes WHERE NumNote > 10"));
        FermeBase();
        const qint64 avant = QFileInfo(env->CheminBase()).size();
        Ecrit(CheminAppli() + NomBaseCompactee, "leftover");
        QVERIFY(CompacteBase());
        QVERIFY(!QFile::exists(CheminAppli() + NomBaseCompactee));
        QVERIFY(QFileInfo(env->CheminBase()).size() < avant);
        // The compaction hands its open connection over to ConnecteBase.
        QVERIFY(Base().EstOuverte());
        QVERIFY(ConnecteBase());
        QCOMPARE(OuvreRecordset(QStringLiteral("SELECT count(*) FROM Notes")).Valeur(0, 0).toInt(), 10);
        Connexion verif;
        QVERIFY(!verif.Ouvre(env->CheminBase(), QString()));
    }

    void compactingAMissingFileDoesNothing()
    {
        FermeBase();
        QFile::remove(env->CheminBase());
        QVERIFY(!CompacteBase());
        QVERIFY(!QFile::exists(env->CheminBase()));
        QVERIFY(messages->tous.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestBase)
#include "tst_base.moc"
