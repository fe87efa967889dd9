#include "FormePopup.h"
#include "Horloge.h"
#include "OutilsRappels.h"
#include "OutilsTest.h"
#include "RechercheRappels.h"
#include "Reglages.h"
#include "Twips.h"
#include "frmMessage.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QTimerEvent>

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

void Clic(QWidget *widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(2, 2)); }

const QString Question = QStringLiteral("Vous avez un autre rappel...Voulez-vous le voir?");

} // namespace

class TestMessage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { FixeResolutionLogique(96); }

    void cleanup()
    {
        RetablitHorloge();
        FixeResolutionLogique(0);
    }

    void troisRappelsParcourus()
    {
        EnvironnementTest env;
        MessagerieScriptee messages;
        const QDate auj(2026, 11, 3);
        FixeMaintenant(QDateTime(auj, QTime(9, 0)));
        const qint64 a = AjouteDu(QStringLiteral("A"), QStringLiteral("Martin#Léa"), QDate(1990, 11, 3), auj);
        const qint64 f = Ajoute(QStringLiteral("F"), QStringLiteral("Martin"), QDate(2026, 11, 11),
                             Slots(QDate(2026, 11, 11), false, QDate(2026, 10, 31), false, auj, false));
        const qint64 n = AjouteDu(QStringLiteral("N"), QStringLiteral("Vidange"), QDate(2026, 11, 1), QDate(2026, 11, 1));
        Base().Execute(QStringLiteral("INSERT INTO Notes (NumNote, Libelle1) VALUES (?, ?)"), {n, QStringLiteral("Garage à 9 h")});

        AffichageRappels rappels;
        rappels.RechercheRappels();
        frmMessage *fenetre = rappels.Message();
        QVERIFY(fenetre && fenetre->isVisible());
        QCOMPARE(fenetre->windowTitle(), QStringLiteral("Oxi - Rappel"));
        QCOMPARE(fenetre->pos(), QPoint(Px(500), Px(1000)));
        QCOMPARE(Textes(fenetre), (QStringList{"Anniversaire ", "Aujourd'hui,", "Léa Martin : 36 ans.", "1/3"}));
        QVERIFY(fenetre->imgAnniv->isVisible() && !fenetre->imgFete->isVisible());
        QVERIFY(fenetre->imgSuiv.image->isVisible());
        QCOMPARE(Lit(a)[1].fait, true);
        // At 96 dpi the window is its design size shrunk by 1.25, height from one line; corners cut.
        const double h = 1080 + 186 + 700;
        QCOMPARE(fenetre->Shape1->HauteurTwips(), h);
        QCOMPARE(fenetre->size(), QSize(Px(5280 / 1.25), Px((h + h / 1970 * 506) / 1.25)));
        QVERIFY(!fenetre->mask().contains(QPoint(0, 0)));

        // The arrow's lit twin, shown under the pointer, takes the click.
        QVERIFY(QTest::qWaitForWindowExposed(fenetre));
        Bouge(fenetre->imgSuiv.image);
        Clic(fenetre->imgSuiv.jumeau);
        QCOMPARE(Textes(fenetre), (QStringList{"Fête ", "Le mercredi 11 novembre,", "Martin", "2/3"}));

        // Closing now asks; Yes shows the last one in place of closing.
        messages.reponses << true;
        Clic(fenetre->lblQuit);
        QCOMPARE(messages.questions, QStringList{Question});
        QVERIFY(fenetre->isVisible());
        QCOMPARE(Textes(fenetre), (QStringList{"Note", "Le dimanche 1 novembre,", "Vidange\r\n\r\nGarage à 9 h", "3/3"}));
        // The last one: no arrow, no counter, logo on the right, three lines high.
        QVERIFY(!fenetre->imgSuiv.image->isVisible() && fenetre->lblNombre->isHidden());
        QCOMPARE(fenetre->imgLogo->x(), Px(3300));
        QCOMPARE(fenetre->Shape1->HauteurTwips(), 1080 + 3 * 186 + 700.0);
        // The name day's slots of today and before are acknowledged, its future Ech1 left.
        QCOMPARE(Lit(f), Slots(QDate(2026, 11, 11), false, QDate(2026, 10, 31), true, auj, true));

        QPointer<frmMessage> garde(fenetre);
        Clic(fenetre->lblQuit);
        QCOMPARE(messages.questions.size(), 1);
        QTRY_VERIFY(garde.isNull());
        QVERIFY(messages.infos.isEmpty());
    }

    void fermetureALaSortieEtEchecs()
    {
        EnvironnementTest env;
        MessagerieScriptee messages;
        FixeMaintenant(QDateTime(QDate(2026, 3, 1), QTime(9, 0)));
        AjouteDu(QStringLiteral("F"), QStringLiteral("Aubin"), QDate(2026, 3, 1), QDate(2026, 3, 1));
        const qint64 second = AjouteDu(QStringLiteral("F"), QStringLiteral("Albin"), QDate(2026, 3, 1), QDate(2026, 3, 1));
        AffichageRappels rappels;
        rappels.RechercheRappels();
        // The exit asks about the second one; No closes and leaves it due.
        QPointer<frmMessage> garde(rappels.Message());
        QVERIFY(garde);
        rappels.FermeMessage();
        QCOMPARE(messages.questions, QStringList{Question});
        QTRY_VERIFY(garde.isNull());
        QCOMPARE(Lit(second)[1].fait, false);

        // A refused write: the acknowledgement's message, the popup shows it all the same, the file keeps it due.
        Base().Execute(QStringLiteral("DELETE FROM Rappel WHERE NumRappel <> ?"), {second});
        Base().Execute(QStringLiteral("CREATE TRIGGER refus BEFORE UPDATE ON Rappel BEGIN SELECT RAISE(ABORT, 'refus'); END"));
        rappels.RechercheRappels();
        QVERIFY(rappels.Message());
        QCOMPARE(Textes(rappels.Message()).at(2), QStringLiteral("Albin"));
        QCOMPARE(Lit(second)[1].fait, false);
        delete rappels.Message();
        // A broken base: the scan's message and no window.
        FermeBase();
        rappels.RechercheRappels();
        QCOMPARE(messages.infos, (QStringList{QStringLiteral("Erreur lors de la mise à jour des données. "),
                                              QStringLiteral("Erreur lors de l'affichage du message")}));
        QCOMPARE(rappels.Message(), nullptr);
    }

    void changementDeJourParLeMinuteur()
    {
        EnvironnementTest env;
        MessagerieScriptee messages;
        EcritReglage(ReglageAnnee, QStringLiteral("2026"));
        FixeMaintenant(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 58)));
        // Due tomorrow (the new year), its lead time into this December already done.
        const qint64 n = Ajoute(QStringLiteral("F"), QStringLiteral("Odilon"), QDate(2026, 1, 1),
                             Slots(QDate(2026, 1, 1), true, QDate(2025, 12, 31), true));
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
        QCOMPARE(LitReglage(ReglageAnnee), QStringLiteral("2027"));
        QCOMPARE(Lit(n), Slots(QDate(2027, 1, 1), true, QDate(2026, 12, 31), true));
        QVERIFY(rappels.Message() && rappels.Message()->isVisible());
        QCOMPARE(Textes(rappels.Message()).at(1), QStringLiteral("Aujourd'hui,"));
        delete rappels.Message();

        // Later ticks of the same day scan nothing again.
        tick(QDateTime(QDate(2027, 1, 1), QTime(15, 0)));
        QCOMPARE(rappels.Message(), nullptr);

        // A suspend over midnight: the clock jumps several hours into the next day.
        const qint64 m = AjouteDu(QStringLiteral("F"), QStringLiteral("Basile"), QDate(2027, 1, 2), QDate(2027, 1, 2));
        tick(QDateTime(QDate(2027, 1, 2), QTime(7, 42, 13)));
        QCOMPARE(jours.count(), 2);
        QVERIFY(rappels.Message());
        QCOMPARE(Textes(rappels.Message()).at(2), QStringLiteral("Basile"));
        QCOMPARE(Lit(m)[1].fait, true);
        QVERIFY(messages.infos.isEmpty());
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    TestMessage test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_message.moc"
