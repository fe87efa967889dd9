#include "Base.h"
#include "Constantes.h"
#include "Echeances.h"
#include "FormePopup.h"
#include "Horloge.h"
#include "OutilsTest.h"
#include "Plateforme.h"
#include "Rappels.h"
#include "RechercheRappels.h"
#include "Reglages.h"
#include "TexteLignes.h"
#include "TexteRappel.h"
#include "Twips.h"
#include "frmAccueil.h"
#include "frmMessage.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QTimerEvent>

using namespace oxi;

namespace {

class PlateformeTest : public Plateforme
{
public:
    QStringList documents;
    int CompteProcessus(const QString &) override { return 1; }
    QString IdentifiantLangue() override { return QStringLiteral("040c"); }
    void AjouteDemarrage(const QString &, const QString &) override {}
    void SupprimeDemarrage(const QString &) override {}
    bool TestDemarrage(const QString &) override { return true; }
    void OuvreDocument(const QString &adresse) override { documents << adresse; }
    bool LanceInfosSysteme() override { return false; }
};

int Ajoute(const QString &type, const QString &libelle, const QDate &dateRappel, QDate ech1,
           QDate ech2 = DateNulle, QDate ech3 = DateNulle)
{
    Echeances e;
    e[1].date = ech1;
    e[2].date = ech2;
    e[3].date = ech3;
    for (int k = 1; k <= 3; ++k)
        e[k].fait = e[k].date == DateNulle;
    Base().Execute(QStringLiteral("INSERT INTO Rappel (DateRappel, Type, Libelle, Ech1, EtatEch1, Ech2, EtatEch2, "
                                  "Ech3, EtatEch3) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                   QVariantList{TexteDate(dateRappel), type, libelle} + e.Parametres());
    return Base().Requete(QStringLiteral("SELECT max(NumRappel) FROM Rappel")).Valeur(0, 0).toInt();
}

void AjouteNote(const QString &titre, const QDate &date, const QString &texte1, const QVariant &texte2 = {})
{
    const int n = Ajoute(QStringLiteral("N"), titre, date, date);
    Base().Execute(QStringLiteral("INSERT INTO Notes (NumNote, Libelle1, Libelle2) VALUES (?, ?, ?)"),
                   {n, texte1, texte2});
}

Echeances Lit(int numero)
{
    return LitEcheances(Base().Requete(QStringLiteral("SELECT * FROM Rappel WHERE NumRappel = ?"), {numero}), 0);
}

QString Texte(QWidget *fenetre, const char *nom)
{
    auto *label = fenetre->findChild<QLabel *>(QString::fromLatin1(nom));
    return label ? label->text() : QStringLiteral("<absent>");
}

void Tick(frmAccueil &accueil)
{
    QTimerEvent tic(accueil.Timer1->timerId());
    QCoreApplication::sendEvent(accueil.Timer1, &tic);
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

} // namespace

class TestMessage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        FixeResolutionLogique(96);
    }

    void cleanup()
    {
        if (frmMessage *f = frmMessage::Instance())
            delete f;
        TabRappels.clear();
        RetablitHorloge();
        FixeResolutionLogique(0);
        InstallePlateforme(nullptr);
    }

    void decoupageEtComptageDesLignes()
    {
        QString t = QStringLiteral("abc def ghi");
        QCOMPARE(DecoupeLignes(t, 5), QStringLiteral("abc \r\ndef \r\nghi"));
        QCOMPARE(NbLignes, 3.0);
        QVERIFY(t.isEmpty());
        t = QStringLiteral("abcde fgh");
        QCOMPARE(DecoupeLignes(t, 5), QStringLiteral("abcde\r\n fgh"));
        QCOMPARE(NbLignes, 2.0);
        t.clear();
        QCOMPARE(DecoupeLignes(t, 5), QString());
        QCOMPARE(NbLignes, 0.0);
        t = QStringLiteral("abcde");
        QCOMPARE(DecoupeLignes(t, 5), QStringLiteral("abcde"));
        QCOMPARE(NbLignes, 1.0);
        // A word longer than a line is cut rather than looping.
        t = QStringLiteral("abcdefghijkl mn");
        QCOMPARE(DecoupeLignes(t, 5), QStringLiteral("abcde\r\nfghij\r\nkl mn"));
        QCOMPARE(NbLignes, 3.0);

        NbLignes = 1;
        const QString trente(30, QLatin1Char('x'));
        QCOMPARE(CompteLignes(trente, 30), trente);
        QCOMPARE(NbLignes, 2.0);
        CompteLignes(trente + QLatin1Char('y'), 30);
        QCOMPARE(NbLignes, 4.0);
        CompteLignes(QString(), 30);
        QCOMPARE(NbLignes, 4.0);
        CompteLignes(QStringLiteral("a\r\nb\r\nc"), 30);
        QCOMPARE(NbLignes, 7.0);

        QCOMPARE(ArrondiPair(2.5), 2);
        QCOMPARE(ArrondiPair(3.5), 4);
        QCOMPARE(ArrondiPair(2.4), 2);
    }

    void formeEtPlacementDesPopups()
    {
        FixeResolutionLogique(96);
        CalculeEchelle();
        QCOMPARE(FacteurPolice, 1.25f);
        QCOMPARE(RayonCoin(1780), 27);
        FixeResolutionLogique(120);
        CalculeEchelle();
        QCOMPARE(FacteurPolice, 1.0f);
        QCOMPARE(RayonCoin(1780), 34);
        FixeResolutionLogique(144);
        QVERIFY(!EstPetitesPolices());

        // Stacking uses the Shape1 height of the nearest loaded popup above.
        const PopupAuDessus fetes{true, 1000, 1780};
        const PopupAuDessus dictons{true, 2980, 1500};
        QCOMPARE(HautSous({}), 1000.0);
        QCOMPARE(HautSous({fetes}), 2980.0);
        QCOMPARE(HautSous({dictons, fetes}), 4680.0);
        QCOMPARE(HautSous({PopupAuDessus{}, fetes}), 2980.0);
        QCOMPARE(HautSous({PopupAuDessus{}, PopupAuDessus{}}), 1000.0);

        for (int dpi : {96, 120}) {
            FixeResolutionLogique(dpi);
            QWidget popup(nullptr, Qt::Window | Qt::FramelessWindowHint);
            bool drapeau = false;
            const QSizeF taille = ArronditPopup(&popup, 3816, 2580, 2052, 900, 1000, &drapeau);
            QVERIFY(drapeau);
            const double f = dpi == 96 ? 1.25 : 1.0;
            QCOMPARE(taille, QSizeF(3816 / f, 2580 / f));
            QCOMPARE(popup.size(), QSize(Px(3816 / f), Px(2580 / f)));
            QCOMPARE(popup.pos(), QPoint(60, Px(1000)));
            // Rounded: the corner pixel is outside the window's shape, the middle inside.
            QVERIFY(!popup.mask().isEmpty());
            QVERIFY(!popup.mask().contains(QPoint(0, 0)));
            QVERIFY(popup.mask().contains(QPoint(popup.width() / 2, popup.height() / 2)));
        }
    }

    void textesDesRappels()
    {
        EnvironnementTest env;
        const QDate aujourdhui(2026, 11, 3);
        auto compose = [&](int n) {
            return ComposeRappel(
                Base().Requete(QStringLiteral("SELECT Rappel.*, Notes.* FROM Rappel LEFT JOIN Notes ON "
                                              "Rappel.NumRappel = Notes.NumNote WHERE NumRappel = ?"), {n}),
                0, aujourdhui);
        };
        // Seven days ahead of a birthday: the age reached this year.
        TexteRappel t = compose(Ajoute(QStringLiteral("A"), QStringLiteral("O'Brien#Jean-Luc"), QDate(1970, 11, 6),
                                       QDate(2026, 11, 6), QDate(2026, 10, 30)));
        QCOMPARE(t.typeMess, 2);
        QCOMPARE(t.ligneDate, QStringLiteral("Le vendredi 6 novembre,"));
        QCOMPARE(t.message, QStringLiteral("Jean-Luc O'Brien : 56 ans."));
        QCOMPARE(NbLignes, 1.0);

        t = compose(Ajoute(QStringLiteral("A"), QStringLiteral("Durand#Zoé"), QDate(1850, 11, 3), aujourdhui));
        QCOMPARE(t.ligneDate, QStringLiteral("Aujourd'hui,"));
        QCOMPARE(t.message, QStringLiteral("Zoé Durand (âge inconnu)"));

        t = compose(Ajoute(QStringLiteral("F"), QStringLiteral("Hubert"), QDate(2020, 11, 3), aujourdhui));
        QCOMPARE(t.typeMess, 1);
        QCOMPARE(t.ligneDate, QStringLiteral("Aujourd'hui,"));
        QCOMPARE(t.message, QStringLiteral("Hubert"));

        // A January event shown through its December lead: next year's day and age.
        t = ComposeRappel(Base().Requete(QStringLiteral("SELECT * FROM Rappel WHERE NumRappel = ?"),
                                         {Ajoute(QStringLiteral("A"), QStringLiteral("Roy#Ana"), QDate(2000, 1, 2),
                                                 QDate(2026, 1, 2), QDate(2026, 12, 26))}),
                          0, QDate(2026, 12, 26));
        QCOMPARE(t.ligneDate, QStringLiteral("Le samedi 2 janvier,"));
        QCOMPARE(t.message, QStringLiteral("Ana Roy : 27 ans."));

        // A note: title, blank line, text; the line count adds one per explicit break.
        const QString corps = QStringLiteral("Prendre les papiers");
        AjouteNote(QStringLiteral("Rendez-vous"), aujourdhui, corps, QStringLiteral(" et le stylo"));
        t = compose(Base().Requete(QStringLiteral("SELECT max(NumRappel) FROM Rappel")).Valeur(0, 0).toInt());
        QCOMPARE(t.typeMess, 3);
        QCOMPARE(t.message, QStringLiteral("Rendez-vous\r\n\r\nPrendre les papiers et le stylo"));
        QCOMPARE(NbLignes, 3.0);
        AjouteNote(QStringLiteral("Rendez-vous"), aujourdhui, QStringLiteral("Prendre\rles\rpapiers et le stylo"));
        t = compose(Base().Requete(QStringLiteral("SELECT max(NumRappel) FROM Rappel")).Valeur(0, 0).toInt());
        QCOMPARE(NbLignes, 5.0);
    }

    void troisRappelsParcourus()
    {
        EnvironnementTest env;
        MessagerieScriptee messages;
        PlateformeTest plateforme;
        InstallePlateforme(&plateforme);
        const QDate aujourdhui(2026, 11, 3);
        FixeMaintenant(QDateTime(aujourdhui, QTime(9, 0)));
        const int a = Ajoute(QStringLiteral("A"), QStringLiteral("Martin#Léa"), QDate(1990, 11, 3), aujourdhui);
        const int f = Ajoute(QStringLiteral("F"), QStringLiteral("Martin"), QDate(2026, 11, 11), QDate(2026, 11, 11),
                             QDate(2026, 10, 31), aujourdhui);
        AjouteNote(QStringLiteral("Vidange"), QDate(2026, 11, 1), QStringLiteral("Garage à 9 h"));

        RechercheRappels();
        frmMessage *fenetre = frmMessage::Instance();
        QVERIFY(fenetre);
        QVERIFY(fenetre->isVisible());
        QCOMPARE(fenetre->windowTitle(), QStringLiteral("Oxi - Rappel"));
        QVERIFY(fenetre->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(fenetre->pos(), QPoint(Px(500), Px(1000)));
        QCOMPARE(Texte(fenetre, "lblTitre"), QStringLiteral("Anniversaire "));
        QCOMPARE(Texte(fenetre, "lblDate"), QStringLiteral("Aujourd'hui,"));
        QCOMPARE(Texte(fenetre, "lblMsg"), QStringLiteral("Léa Martin : 36 ans."));
        QCOMPARE(Texte(fenetre, "lblNombre"), QStringLiteral("1/3"));
        QVERIFY(fenetre->imgAnniv->isVisible() && !fenetre->imgFete->isVisible());
        QVERIFY(fenetre->lblNombre->isVisible());
        QVERIFY(fenetre->imgSuiv.image->isVisible());
        QCOMPARE(Lit(a)[1].fait, true);

        // At 96 dpi the window is its design width shrunk by 1.25, height from one line.
        QCOMPARE(fenetre->width(), Px(5280 / 1.25));
        const double h = 1080 + 186 + 700;
        QCOMPARE(fenetre->height(), Px((h + h / 1970 * 506) / 1.25));
        QCOMPARE(fenetre->Shape1->HauteurTwips(), h);
        QVERIFY(!fenetre->mask().contains(QPoint(0, 0)));

        // Hover: the twin shows over the arrow, the background hides it.
        QVERIFY(QTest::qWaitForWindowExposed(fenetre));
        Bouge(fenetre->imgSuiv.image);
        QVERIFY(fenetre->imgSuiv.jumeau->isVisible());
        Bouge(fenetre->lblQuit);
        QCOMPARE(fenetre->lblQuit->palette().color(QPalette::WindowText), QColor(192, 192, 192));
        Bouge(fenetre);
        QVERIFY(!fenetre->imgSuiv.jumeau->isVisible());
        QCOMPARE(fenetre->lblQuit->palette().color(QPalette::WindowText), QColor(Qt::black));

        // The postcard opens the card page in the browser.
        Bouge(fenetre->imgCarte.image);
        QVERIFY(fenetre->imgCarte.jumeau->isVisible());
        Clic(fenetre->imgCarte.jumeau);
        QCOMPARE(plateforme.documents, QStringList{AdresseCarte});

        Bouge(fenetre->imgSuiv.image);
        Clic(fenetre->imgSuiv.jumeau);
        QCOMPARE(Texte(fenetre, "lblTitre"), QStringLiteral("Fête "));
        QCOMPARE(Texte(fenetre, "lblDate"), QStringLiteral("Le mercredi 11 novembre,"));
        QCOMPARE(Texte(fenetre, "lblNombre"), QStringLiteral("2/3"));
        QVERIFY(fenetre->imgSuiv.image->isVisible());
        QCOMPARE(fenetre->width(), Px(5280 / 1.25));

        // Closing now asks; Yes shows the last one in place of closing.
        messages.reponses << true;
        Clic(fenetre->lblQuit);
        QCOMPARE(messages.questions, QStringList{QStringLiteral("Vous avez un autre rappel...Voulez-vous le voir?")});
        QVERIFY(fenetre->isVisible());
        QCOMPARE(Texte(fenetre, "lblTitre"), QStringLiteral("Note"));
        QCOMPARE(Texte(fenetre, "lblDate"), QStringLiteral("Le dimanche 1 novembre,"));
        QCOMPARE(Texte(fenetre, "lblMsg"), QStringLiteral("Vidange\r\n\r\nGarage à 9 h"));
        QCOMPARE(Texte(fenetre, "lblNombre"), QStringLiteral("3/3"));
        QVERIFY(!fenetre->imgSuiv.image->isVisible());
        QVERIFY(fenetre->lblNombre->isHidden()); // the last one alone: no counter, logo on the right
        QCOMPARE(fenetre->imgLogo->x(), Px(3300));
        // Three lines: taller than the one-line birthday, same width.
        QCOMPARE(fenetre->Shape1->HauteurTwips(), 1080 + 3 * 186 + 700.0);
        QCOMPARE(fenetre->width(), Px(5280 / 1.25));

        // Acknowledged: Ech1 and Ech3 (today) of the name day, its future Ech1 left.
        QCOMPARE(Lit(f)[1].fait, false);
        QCOMPARE(Lit(f)[2].fait, true);
        QCOMPARE(Lit(f)[3].fait, true);

        // The last one closes without a question.
        QPointer<frmMessage> garde(fenetre);
        Clic(fenetre->lblQuit);
        QCOMPARE(messages.questions.size(), 1);
        QTRY_VERIFY(garde.isNull());
        QVERIFY(messages.infos.isEmpty());
    }

    void fermetureALaSortieEtRappelUnique()
    {
        EnvironnementTest env;
        MessagerieScriptee messages;
        const QDate aujourdhui(2026, 3, 1);
        FixeMaintenant(QDateTime(aujourdhui, QTime(9, 0)));
        // Born 29 February: shown on 1 March in a year without that day, and acknowledged.
        const int n = Ajoute(QStringLiteral("A"), QStringLiteral("Leroy#Max"), QDate(1996, 2, 29), aujourdhui);
        Ajoute(QStringLiteral("F"), QStringLiteral("Aubin"), QDate(2026, 3, 1), aujourdhui);
        RechercheRappels();
        frmMessage *fenetre = frmMessage::Instance();
        QVERIFY(fenetre);
        QCOMPARE(Texte(fenetre, "lblDate"), QStringLiteral("Aujourd'hui,"));
        QCOMPARE(Texte(fenetre, "lblMsg"), QStringLiteral("Max Leroy : 30 ans."));
        QCOMPARE(Lit(n)[1].fait, true);

        // The exit asks about the second one; No closes and leaves it due.
        QPointer<frmMessage> garde(fenetre);
        FermeMessage();
        QCOMPARE(messages.questions, QStringList{QStringLiteral("Vous avez un autre rappel...Voulez-vous le voir?")});
        QTRY_VERIFY(garde.isNull());
        QCOMPARE(Lit(n + 1)[1].fait, false);

        // One reminder alone: no counter, no arrow, logo moved right, closes without asking.
        messages.Vide();
        Base().Execute(QStringLiteral("DELETE FROM Rappel WHERE NumRappel = ?"), {n + 1});
        RechercheRappels();
        fenetre = frmMessage::Instance();
        QVERIFY(fenetre && fenetre->isVisible());
        QVERIFY(!fenetre->lblNombre->isVisible());
        QVERIFY(!fenetre->imgSuiv.image->isVisible());
        QCOMPARE(fenetre->imgLogo->x(), Px(3300));
        FermeMessage();
        QVERIFY(messages.questions.isEmpty());

        // Nothing due: no window. A broken base: the scan's message and no window.
        Base().Execute(QStringLiteral("DELETE FROM Rappel"));
        RechercheRappels();
        QCOMPARE(frmMessage::Instance(), nullptr);
        FermeBase();
        RechercheRappels();
        QCOMPARE(messages.infos, QStringList{QStringLiteral("Erreur lors de l'affichage du message")});
        QCOMPARE(frmMessage::Instance(), nullptr);
    }

    void changementDeJourParLeMinuteurDeLAccueil()
    {
        EnvironnementTest env;
        MessagerieScriptee messages;
        EcritReglage(ReglageAnnee, QStringLiteral("2026"));
        FixeMaintenant(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 58)));
        // Due tomorrow (the new year), with a lead time into this December already done.
        const int n = Ajoute(QStringLiteral("F"), QStringLiteral("Odilon"), QDate(2026, 1, 1), QDate(2026, 1, 1),
                             QDate(2025, 12, 31));
        Base().Execute(QStringLiteral("UPDATE Rappel SET EtatEch1 = 1, EtatEch2 = 1"));
        frmAccueil accueil;

        Tick(accueil);
        QCOMPARE(frmMessage::Instance(), nullptr);

        // The tick at exactly midnight is missed: the next one still sees the new day.
        FixeMaintenant(QDateTime(QDate(2027, 1, 1), QTime(0, 0, 2)));
        Tick(accueil);
        QCOMPARE(LitReglage(ReglageAnnee), QStringLiteral("2027"));
        QCOMPARE(Lit(n)[1].date, QDate(2027, 1, 1));
        QCOMPARE(Lit(n)[2].date, QDate(2026, 12, 31));
        frmMessage *fenetre = frmMessage::Instance();
        QVERIFY(fenetre && fenetre->isVisible());
        QCOMPARE(Texte(fenetre, "lblDate"), QStringLiteral("Aujourd'hui,"));
        QCOMPARE(Lit(n)[1].fait, true);
        delete fenetre;

        // Later ticks of the same day scan nothing again.
        FixeMaintenant(QDateTime(QDate(2027, 1, 1), QTime(15, 0)));
        Tick(accueil);
        QCOMPARE(frmMessage::Instance(), nullptr);

        // A suspend over midnight: the clock jumps several hours into the next day.
        const int m = Ajoute(QStringLiteral("F"), QStringLiteral("Basile"), QDate(2027, 1, 2), QDate(2027, 1, 2));
        FixeMaintenant(QDateTime(QDate(2027, 1, 2), QTime(7, 42, 13)));
        Tick(accueil);
        fenetre = frmMessage::Instance();
        QVERIFY(fenetre);
        QCOMPARE(Texte(fenetre, "lblMsg"), QStringLiteral("Basile"));
        QCOMPARE(Lit(m)[1].fait, true);

        // A further day change with the popup still open keeps what it shows
        // and lets the user walk to the new reminders.
        Ajoute(QStringLiteral("F"), QStringLiteral("Geneviève"), QDate(2027, 1, 3), QDate(2027, 1, 3));
        Ajoute(QStringLiteral("F"), QStringLiteral("Odile"), QDate(2027, 1, 3), QDate(2027, 1, 3));
        FixeMaintenant(QDateTime(QDate(2027, 1, 3), QTime(0, 0, 1)));
        Tick(accueil);
        QCOMPARE(frmMessage::Instance(), fenetre);
        QCOMPARE(Texte(fenetre, "lblMsg"), QStringLiteral("Basile"));
        QVERIFY(fenetre->imgSuiv.image->isVisible());
        fenetre->imgSuiv2_Click();
        QCOMPARE(Texte(fenetre, "lblMsg"), QStringLiteral("Geneviève"));
        QCOMPARE(Texte(fenetre, "lblNombre"), QStringLiteral("2/3"));
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
