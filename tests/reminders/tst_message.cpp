#include "FormePopup.h"
#include "Horloge.h"
#include "OutilsRappels.h"
#include "OutilsTest.h"
#include "Polices.h"
#include "RechercheRappels.h"
#include "Reglages.h"
#include "frmMessage.h"

#include <QAction>
#include <QApplication>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimerEvent>

#include <memory>

using namespace oxi;

namespace {

qint64 AjouteDu(const QString &type, const QString &libelle, const QDate &date, const QDate &ech)
{
    return Ajoute(type, libelle, date, Slots(ech, false));
}

// Title, date line, message and counter of the popup.
QStringList Textes(QWidget *fenetre)
{
    QStringList textes;
    for (const char *nom : {"lblTitre", "lblDate", "lblMsg", "lblNombre"}) {
        auto *label = fenetre->findChild<QLabel *>(QLatin1String(nom));
        textes << (label ? label->text() : QStringLiteral("<absent>"));
    }
    return textes;
}

void Bouge(QWidget *widget)
{
    QTest::mouseMove(widget, QPoint(3, 3));
    QTest::mouseMove(widget, QPoint(4, 4));
}

void Clic(QWidget *widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(2, 2));
}

const QString Question = QStringLiteral("Vous avez un autre rappel...Voulez-vous le voir?");

} // namespace

class TestMessage : public QObject
{
    Q_OBJECT

    std::unique_ptr<EnvironnementTest> env;
    std::unique_ptr<MessagerieScriptee> messages;
    const QDate auj{2026, 11, 3};

private Q_SLOTS:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        InstallePolices();
    }
    void init()
    {
        FixeResolutionLogique(96);
        env = std::make_unique<EnvironnementTest>();
        messages = std::make_unique<MessagerieScriptee>();
        FixeMaintenant(QDateTime(auj, QTime(9, 0)));
    }
    void cleanup()
    {
        messages.reset();
        env.reset();
        RetablitHorloge();
        FixeResolutionLogique(0);
    }

    void troisRappelsParcourus()
    {
        // Which slots the scan acknowledges is the due scan's own test (tst_depot).
        AjouteDu("A", "Martin#Léa", QDate(1990, 11, 3), auj);
        AjouteDu("F", "Martin", QDate(2026, 11, 11), QDate(2026, 10, 31));
        const qint64 n = AjouteDu("N", "Vidange", QDate(2026, 11, 1), QDate(2026, 11, 1));
        Base().Execute("INSERT INTO Notes (NumNote, Libelle1) VALUES (?, ?)", {n, "Garage à 9 h"});

        AffichageRappels rappels;
        rappels.RechercheRappels();
        frmMessage *fenetre = rappels.Message();
        QVERIFY(fenetre && fenetre->isVisible());
        QCOMPARE(Textes(fenetre), (QStringList{"Anniversaire ", "Aujourd'hui,", "Léa Martin : 36 ans.", "1/3"}));
        QVERIFY(fenetre->imgAnniv->isVisible() && !fenetre->imgFete->isVisible());
        QVERIFY(fenetre->imgSuiv.image->isVisible());
        const int hauteurUneLigne = fenetre->height();

        // The arrow's lit twin, shown under the pointer, takes the click.
        QVERIFY(QTest::qWaitForWindowExposed(fenetre));
        Bouge(fenetre->imgSuiv.image);
        Clic(fenetre->imgSuiv.jumeau);
        QCOMPARE(Textes(fenetre), (QStringList{"Fête ", "Le mercredi 11 novembre,", "Martin", "2/3"}));

        // Closing now asks; Yes shows the last one in place of closing.
        messages->reponses << true;
        Clic(fenetre->lblQuit);
        QCOMPARE(messages->questions, QStringList{Question});
        QVERIFY(fenetre->isVisible());
        QCOMPARE(Textes(fenetre), (QStringList{"Note", "Le dimanche 1 novembre,", "Vidange\r\n\r\nGarage à 9 h", "3/3"}));
        // The last one: no arrow, no counter, and the window grows for its three lines.
        QVERIFY(!fenetre->imgSuiv.image->isVisible() && fenetre->lblNombre->isHidden());
        QVERIFY(fenetre->height() > hauteurUneLigne);

        QPointer<frmMessage> garde(fenetre);
        Clic(fenetre->lblQuit);
        QCOMPARE(messages->questions.size(), 1);
        QTRY_VERIFY(garde.isNull());
        QVERIFY(messages->infos.isEmpty());
    }

    // Every word of every reminder inside the popup's face; a text taller than the
    // screen scrolls, with the arrow and the counter still on the screen.
    void texteEntierVisible_data()
    {
        QTest::addColumn<QString>("libelle");
        QTest::addColumn<QString>("note");
        QTest::addColumn<bool>("defile");
        const QString phrase = "Rendez-vous chez le garagiste pour la révision des freins, apporter le carnet. ";
        QTest::newRow("note sur plusieurs lignes") << "Courses"
                                                   << "pain\nlait\nbeurre\nœufs\nfarine\nsucre" << false;
        QTest::newRow("longue note") << "Garage" << phrase.repeated(8) << false;
        QTest::newRow("mot plus long qu'une ligne")
            << "Box"
            << "Clé Wi-Fi : 9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08" << false;
        QTest::newRow("note d'un mégaoctet") << "Archive" << phrase.repeated(13000) << true;
    }
    void texteEntierVisible()
    {
        QFETCH(QString, libelle);
        QFETCH(QString, note);
        QFETCH(bool, defile);
        const qint64 n = AjouteDu("N", libelle, auj, auj);
        Base().Execute("INSERT INTO Notes (NumNote, Libelle1) VALUES (?, ?)", {n, note});
        AjouteDu("F", "Martin", auj, auj);
        AffichageRappels rappels;
        rappels.RechercheRappels();
        frmMessage *f = rappels.Message();
        QVERIFY(f);
        QVERIFY(QTest::qWaitForWindowExposed(f));
        QLabel *msg = f->lblMsg;
        // The label holds its whole wrapped text; what the popup shows of it ends above the logo.
        QVERIFY(msg->height() >= msg->heightForWidth(msg->width()));
        QVERIFY(msg->fontMetrics().boundingRect(QRect(0, 0, msg->width(), 1 << 24), Qt::TextWordWrap, msg->text()).width()
                <= msg->width());
        QCOMPARE(f->defMsg->verticalScrollBar()->maximum() > 0, defile);
        if (!defile)
            QCOMPARE(f->defMsg->height(), msg->height());
        QVERIFY(f->defMsg->geometry().bottom() < f->imgLogo->y());
        const QRect ecran = f->screen()->availableGeometry();
        for (QWidget *w : QList<QWidget *>{f->imgLogo, f->imgSuiv.image, f->lblNombre}) {
            QVERIFY(w->isVisible());
            QVERIFY(f->rect().contains(w->geometry()));
            QVERIFY(ecran.contains(QRect(f->mapToGlobal(w->pos()), w->size())));
        }
        QVERIFY(f->Shape1->height() <= f->height());
    }

    // Put off, not done: the next one shows, the counter and the close question count it,
    // a restart would show it, and it comes back at its moment, not at a new day's scan.
    void plusTard()
    {
        const qint64 a = AjouteDu("F", "Aubin", auj, auj);
        AjouteDu("F", "Albin", auj, auj);
        AffichageRappels rappels;
        rappels.RechercheRappels();
        QPointer<frmMessage> f(rappels.Message());
        QVERIFY(f && f->lblPlusTard->isVisible());
        f->findChild<QAction *>("mnuPlusTard60")->trigger();
        QCOMPARE(Lit(a)[1].fait, false);
        QCOMPARE(Textes(f).at(2), "Albin");
        QVERIFY(f->imgSuiv.image->isVisible());
        messages->reponses << false;
        f->close();
        QCOMPARE(messages->questions, QStringList{Question});
        QTRY_VERIFY(f.isNull());

        FixeMaintenant(QDateTime(auj, QTime(9, 59)));
        rappels.RappelleReportes();
        QVERIFY(!rappels.Message());
        FixeMaintenant(QDateTime(auj, QTime(10, 1)));
        rappels.RappelleReportes();
        f = rappels.Message();
        QVERIFY(f);
        QCOMPARE(Textes(f).at(2), "Aubin");
        QCOMPARE(Lit(a)[1].fait, true);

        // Tomorrow morning: the last one put off closes the popup without a question;
        // the new day's scan keeps it away until nine.
        f->findChild<QAction *>("mnuPlusTardDemain")->trigger();
        QTRY_VERIFY(f.isNull());
        QCOMPARE(messages->questions.size(), 1);
        FixeMaintenant(QDateTime(auj.addDays(1), QTime(0, 0, 5)));
        rappels.RechercheRappels();
        QVERIFY(!rappels.Message());
        FixeMaintenant(QDateTime(auj.addDays(1), QTime(9, 0, 1)));
        rappels.RappelleReportes();
        QVERIFY(rappels.Message());
        QCOMPARE(Textes(rappels.Message()).at(2), "Aubin");
        QVERIFY(messages->infos.isEmpty());
    }

    // The question at the exit is the program's own test (tst_demarrage) and the end-to-end run's.
    void echecsDEcritureEtDeBase()
    {
        const qint64 n = AjouteDu("F", "Albin", auj, auj);
        AffichageRappels rappels;
        // A refused write: the acknowledgement's message, the popup shows it all the same, the file keeps it due.
        Base().Execute("CREATE TRIGGER refus BEFORE UPDATE ON Rappel BEGIN SELECT RAISE(ABORT, 'refus'); END");
        rappels.RechercheRappels();
        QVERIFY(rappels.Message());
        QCOMPARE(Textes(rappels.Message()).at(2), "Albin");
        QCOMPARE(Lit(n)[1].fait, false);
        delete rappels.Message();
        // A broken base: the scan's message and no window.
        FermeBase();
        rappels.RechercheRappels();
        QCOMPARE(messages->infos,
                 (QStringList{"Erreur lors de la mise à jour des données. ", "Erreur lors de l'affichage du message"}));
        QCOMPARE(rappels.Message(), nullptr);
    }

    void changementDeJourParLeMinuteur()
    {
        EcritReglage(ReglageAnnee, "2026");
        FixeMaintenant(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 58)));
        // Due tomorrow (the new year), its lead time into this December already done.
        Ajoute("F", "Odilon", QDate(2026, 1, 1), Slots(QDate(2026, 1, 1), true, QDate(2025, 12, 31), true));
        AffichageRappels rappels;
        QSignalSpy jours(&rappels.Veille(), &VeilleJour::jourChange);
        const auto tick = [&rappels](const QDateTime &quand) {
            FixeMaintenant(quand);
            QTimerEvent tic(rappels.Veille().Minuteur()->timerId());
            QCoreApplication::sendEvent(rappels.Veille().Minuteur(), &tic);
        };
        tick(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59)));
        QCOMPARE(rappels.Message(), nullptr);

        // The tick at exactly midnight is missed: the next one still sees the new day.
        tick(QDateTime(QDate(2027, 1, 1), QTime(0, 0, 2)));
        QCOMPARE(jours.count(), 1);
        QVERIFY(rappels.Message() && rappels.Message()->isVisible());
        QCOMPARE(Textes(rappels.Message()).at(1), "Aujourd'hui,");
        delete rappels.Message();

        // Later ticks of the same day scan nothing again.
        tick(QDateTime(QDate(2027, 1, 1), QTime(15, 0)));
        QCOMPARE(rappels.Message(), nullptr);

        // A suspend over midnight: the clock jumps several hours into the next day.
        const qint64 m = AjouteDu("F", "Basile", QDate(2027, 1, 2), QDate(2027, 1, 2));
        tick(QDateTime(QDate(2027, 1, 2), QTime(7, 42, 13)));
        QCOMPARE(jours.count(), 2);
        QVERIFY(rappels.Message());
        QCOMPARE(Textes(rappels.Message()).at(2), "Basile");
        QCOMPARE(Lit(m)[1].fait, true);
        QVERIFY(messages->infos.isEmpty());
    }
};

OXI_TEST_MAIN(TestMessage)
#include "tst_message.moc"
