// Faults that used to lose reminders: settings or database that refuse the
// yearly re-arming, due rows the popup cannot read, numbers beyond 32 bits.
#include "EcritureRappels.h"
#include "Horloge.h"
#include "OutilsRappels.h"
#include "OutilsTest.h"
#include "Rearmement.h"
#include "RechercheRappels.h"
#include "Reglages.h"
#include "TablesRappels.h"
#include "frmMessage.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTest>

#include <sys/mount.h>

using namespace oxi;

namespace {

const QString ErreurAffichage = QStringLiteral("Erreur lors de l'afficage du message.");

int essayes = 0;
int tenus = 0;

// Counts a case as held when the test function reached its end.
struct Cas
{
    Cas() { ++essayes; }
    void Tenu() { ++tenus; }
};

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

class TestPannesRappels : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { RetablitHorloge(); }
    void cleanupTestCase() { qInfo("pannes des rappels : %d cas essayés, %d tenus", essayes, tenus); }

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
        Cas cas;
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
        cas.Tenu();
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
        Cas cas;
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
        cas.Tenu();
    }

    // A number beyond 32 bits is shown and acknowledged as itself, never as the
    // row its low bits name.
    void numeroAuDelaDe32Bits()
    {
        Cas cas;
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
        cas.Tenu();
    }
};

int main(int argc, char **argv)
{
    ContexteDonnees contexte;
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    TestPannesRappels test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_pannes_rappels.moc"
