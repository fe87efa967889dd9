// The settings window of the exchange, offscreen (its link is checked with the transfer panel's).
#include "Chemins.h"
#include "OutilsTest.h"
#include "ReglagesSynchro.h"
#include "frmSynchro.h"

#include <QApplication>
#include <QFile>
#include <QTest>

using namespace oxi;

class TestFenetreSynchro : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { qunsetenv("DBUS_SESSION_BUS_ADDRESS"); } // no keyring here: the file takes the password

    // A remote http address is refused and nothing is kept; a good one is kept,
    // its password in an owner-only file and nowhere in oxi.conf.
    void reglages()
    {
        frmSynchro fenetre(nullptr);
        fenetre.show();
        fenetre.txtAdresse->setText(QStringLiteral("http://192.0.2.1/dav/"));
        fenetre.txtUtilisateur->setText(QStringLiteral("alice"));
        fenetre.txtMotDePasse->setText(QStringLiteral("Motdepasse-7"));
        fenetre.SynchroniseMaintenant();
        QCOMPARE(m_messages.infos.size(), 1);
        QVERIFY(m_messages.infos.first().contains(QStringLiteral("https")));
        QVERIFY(LitReglage(ReglageAdresse).isEmpty());

        fenetre.txtAdresse->setText(QStringLiteral("https://dav.exemple.org/"));
        fenetre.SynchroniseMaintenant();
        QTRY_VERIFY(QFile::exists(CheminSecret()));
        QCOMPARE(LitReglage(ReglageAdresse), QStringLiteral("https://dav.exemple.org/"));
        QString erreur;
        QCOMPARE(LitSecret(&erreur), QStringLiteral("Motdepasse-7"));
        QCOMPARE(QFile::permissions(CheminSecret())
                     & ~(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser),
                 QFileDevice::Permissions());
        QVERIFY(m_messages.infos.last().contains(CheminSecret()));
        QFile conf(m_env.Dossier() + QStringLiteral("/config/%1/%1.conf").arg(NomAppli()));
        QVERIFY(conf.open(QIODevice::ReadOnly));
        QVERIFY(!conf.readAll().contains("Motdepasse-7"));
    }

    // Every text shows whole.
    void textesEntiers()
    {
        frmSynchro fenetre(nullptr);
        fenetre.show();
        QVERIFY(QTest::qWaitForWindowExposed(&fenetre));
        for (QPushButton *b : {fenetre.cmdSynchroniser, fenetre.cmdFermer})
            QVERIFY(b->width() >= b->fontMetrics().horizontalAdvance(b->text()));
        for (QLabel *l : fenetre.findChildren<QLabel *>())
            if (!l->wordWrap() && !l->text().isEmpty())
                QVERIFY2(l->width() >= l->sizeHint().width(), qPrintable(l->text()));
    }

private:
    MessagerieScriptee m_messages;
    EnvironnementTest m_env;
};

QTEST_MAIN(TestFenetreSynchro)
#include "tst_fenetre_synchro.moc"
