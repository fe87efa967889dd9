// Reminders in a real database: what their popup shows and does, then the stored rows under it
// (the yearly re-arming, the due scan and its acknowledgements, the next number, the lists, the writer).
#include "Constantes.h"
#include "EcritureRappels.h"
#include "FormePopup.h"
#include "Horloge.h"
#include "OutilsRappels.h"
#include "OutilsTest.h"
#include "Polices.h"
#include "Rangees.h"
#include "Rappels.h"
#include "Rearmement.h"
#include "RechercheRappels.h"
#include "Reglages.h"
#include "TablesRappels.h"
#include "frmMessage.h"

#include <QSignalSpy>
#include <QTest>
#include <QtWidgets>

using namespace oxi;

namespace {

// Title, date line, message and counter of the popup.
QStringList Textes(frmMessage *f)
{
    return {f->lblTitre->text(), f->lblDate->text(), f->lblMsg->text(), f->lblNombre->text()};
}

const QString Question = QStringLiteral("Vous avez un autre rappel...Voulez-vous le voir?");

} // namespace

class TestRappels : public QObject
{
    Q_OBJECT

    std::unique_ptr<EnvironnementTest> env;
    std::unique_ptr<MessagerieScriptee> messages;
    const QDate auj{2026, 11, 3};

    // The popup a scan opens, the one of the reminders put off, and the message a person sees in it.
    static frmMessage *Cherche(AffichageRappels &r) { return r.RechercheRappels(), r.Message(); }
    static frmMessage *Rappelle(AffichageRappels &r) { return r.RappelleReportes(), r.Message(); }
    static QString Montre(frmMessage *f) { return f && f->isVisible() ? f->lblMsg->text() : QString(); }

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
        // Which slots the scan acknowledges is the due scan's own test (scanEtAcquittement).
        Ajoute("A", "Martin#Léa", QDate(1990, 11, 3), Slots(auj, false));
        Ajoute("F", "Martin", QDate(2026, 11, 11), Slots(QDate(2026, 10, 31), false));
        const qint64 n = Ajoute("N", "Vidange", QDate(2026, 11, 1), Slots(QDate(2026, 11, 1), false));
        Base().Execute("INSERT INTO Notes (NumNote, Libelle1) VALUES (?, ?)", {n, "Garage à 9 h"});

        AffichageRappels rappels;
        frmMessage *fenetre = Cherche(rappels);
        QVERIFY(fenetre && QTest::qWaitForWindowExposed(fenetre));
        QCOMPARE(Textes(fenetre), (QStringList{"Anniversaire ", "Aujourd'hui,", "Léa Martin : 36 ans.", "1/3"}));
        QVERIFY(fenetre->imgAnniv->isVisible() && !fenetre->imgFete->isVisible() && fenetre->imgSuiv.image->isVisible());

        // The arrow's lit twin, shown under the pointer, takes the click.
        QTest::mouseMove(fenetre->imgSuiv.image, QPoint(3, 3));
        QTest::mouseMove(fenetre->imgSuiv.image, QPoint(4, 4));
        QTest::mouseClick(fenetre->imgSuiv.jumeau, Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(Textes(fenetre), (QStringList{"Fête ", "Le mercredi 11 novembre,", "Martin", "2/3"}));

        // Closing now asks; Yes shows the last one in place of closing.
        messages->reponses << true;
        QTest::mouseClick(fenetre->lblQuit, Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(messages->questions, QStringList{Question});
        QCOMPARE(Textes(fenetre), (QStringList{"Note", "Le dimanche 1 novembre,", "Vidange\r\n\r\nGarage à 9 h", "3/3"}));
        // The last one: no arrow, no counter (that the window grows for its lines is texteEntierVisible's).
        QVERIFY(fenetre->isVisible() && !fenetre->imgSuiv.image->isVisible() && fenetre->lblNombre->isHidden());

        QPointer<frmMessage> garde(fenetre);
        QTest::mouseClick(fenetre->lblQuit, Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(messages->questions.size(), 1);
        QTRY_VERIFY(garde.isNull());
        QVERIFY(messages->infos.isEmpty());
    }

    // Every word of every reminder inside the popup's face; a text taller than the
    // screen scrolls, with the arrow and the counter still on the screen.
    // The title, then the note; "*n": a long sentence n times, scrolled when "defile" follows.
    void texteEntierVisible_data()
    {
        Rangees("c",
                {"note sur plusieurs lignes|Courses|pain\nlait\nbeurre\nœufs\nfarine\nsucre", "longue note|Garage|*8",
                 "mot plus long qu'une ligne|Box|Clé Wi-Fi : 9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08",
                 "note d'un mégaoctet|Archive|*13000|defile"});
    }
    void texteEntierVisible()
    {
        QFETCH(QStringList, c);
        const QString phrase = "Rendez-vous chez le garagiste pour la révision des freins, apporter le carnet. ";
        const QString libelle = c[0], note = c[1].startsWith('*') ? phrase.repeated(c[1].mid(1).toInt()) : c[1];
        const bool defile = c.size() > 2;
        const qint64 n = Ajoute("N", libelle, auj, Slots(auj, false));
        Base().Execute("INSERT INTO Notes (NumNote, Libelle1) VALUES (?, ?)", {n, note});
        Ajoute("F", "Martin", auj, Slots(auj, false));
        AffichageRappels rappels;
        frmMessage *f = Cherche(rappels);
        QVERIFY(f && QTest::qWaitForWindowExposed(f));
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
        for (QWidget *w : QList<QWidget *>{f->imgLogo, f->imgSuiv.image, f->lblNombre})
            QVERIFY(w->isVisible() && f->rect().contains(w->geometry())
                    && ecran.contains(QRect(f->mapToGlobal(w->pos()), w->size())));
        QVERIFY(f->Shape1->height() <= f->height());
    }

    // Put off, not done: the next one shows, the counter and the close question count it,
    // a restart would show it, and it comes back at its moment, not at a new day's scan.
    void plusTard()
    {
        const qint64 a = Ajoute("F", "Aubin", auj, Slots(auj, false));
        Ajoute("F", "Albin", auj, Slots(auj, false));
        AffichageRappels rappels;
        QPointer<frmMessage> f(Cherche(rappels));
        QVERIFY(f && f->lblPlusTard->isVisible());
        f->findChild<QAction *>("mnuPlusTard60")->trigger();
        QCOMPARE(Lit(a)[1].fait, false);
        QCOMPARE(Montre(f), "Albin");
        QVERIFY(f->imgSuiv.image->isVisible());
        messages->reponses << false;
        f->close();
        QCOMPARE(messages->questions, QStringList{Question});
        QTRY_VERIFY(f.isNull());

        FixeMaintenant(QDateTime(auj, QTime(9, 59)));
        QCOMPARE(Rappelle(rappels), nullptr);
        FixeMaintenant(QDateTime(auj, QTime(10, 1)));
        f = Rappelle(rappels);
        QCOMPARE(Montre(f), "Aubin");
        QCOMPARE(Lit(a)[1].fait, true);

        // Tomorrow morning: the last one put off closes the popup without a question;
        // the new day's scan keeps it away until nine.
        f->findChild<QAction *>("mnuPlusTardDemain")->trigger();
        QTRY_VERIFY(f.isNull());
        QCOMPARE(messages->questions.size(), 1);
        FixeMaintenant(QDateTime(auj.addDays(1), QTime(0, 0, 5)));
        QCOMPARE(Cherche(rappels), nullptr);
        FixeMaintenant(QDateTime(auj.addDays(1), QTime(9, 0, 1)));
        QCOMPARE(Montre(Rappelle(rappels)), "Aubin");
        QVERIFY(messages->infos.isEmpty());
    }

    // The question at the exit is the program's own test (tst_demarrage) and the end-to-end run's.
    void echecsDEcritureEtDeBase()
    {
        const qint64 n = Ajoute("F", "Albin", auj, Slots(auj, false));
        AffichageRappels rappels;
        // A refused write: the acknowledgement's message, the popup shows it all the same, the file keeps it due.
        Base().Execute("CREATE TRIGGER refus BEFORE UPDATE ON Rappel BEGIN SELECT RAISE(ABORT, 'refus'); END");
        QCOMPARE(Montre(Cherche(rappels)), "Albin");
        QCOMPARE(Lit(n)[1].fait, false);
        delete rappels.Message();
        // A broken base: the scan's message and no window.
        FermeBase();
        QCOMPARE(Cherche(rappels), nullptr);
        QCOMPARE(messages->infos,
                 (QStringList{"Erreur lors de la mise à jour des données. ", "Erreur lors de l'affichage du message"}));
    }

    // The tick at exactly midnight is missed (or a suspend jumps over it): the next one still sees the new
    // day, and later ticks of that day do not see it again. The timer driving the ticks and the new year's
    // re-arming at that moment are the end-to-end run's.
    void changementDeJourParLeMinuteur()
    {
        EcritReglage(ReglageAnnee, "2026");
        Ajoute("F", "Basile", auj.addDays(1), Slots(auj.addDays(1), false));
        AffichageRappels rappels;
        QSignalSpy jours(&rappels.Veille(), &VeilleJour::jourChange);
        const auto tick = [&rappels](const QDateTime &quand) {
            FixeMaintenant(quand);
            rappels.Veille().ControleJour();
        };
        tick(QDateTime(auj, QTime(23, 59, 59)));
        QCOMPARE(rappels.Message(), nullptr);
        tick(QDateTime(auj.addDays(1), QTime(0, 0, 2)));
        QCOMPARE(jours.count(), 1);
        QCOMPARE(Montre(rappels.Message()), "Basile");
        delete rappels.Message();
        tick(QDateTime(auj.addDays(1), QTime(15, 0)));
        QCOMPARE(jours.count(), 1);
        QVERIFY(messages->infos.isEmpty());
    }

    // The stored rows under it ----------------------------------------------------------------
    // Once a year, in the stored rows: notes keep their own year's dates; an unused slot keeps its flag,
    // false included; slots that cannot be read keep their text and their flag beside a re-armed one.
    void rearmementUneFoisParAn()
    {
        FixeMaintenant(QDateTime(QDate(2025, 1, 2), QTime(9, 0)));
        EcritReglage(ReglageAnnee, "2024");
        const Echeances note = Slots(QDate(2024, 3, 1), true, QDate(2024, 2, 1), true, QDate(2024, 1, 1), true);
        const qint64 numNote = Ajoute("N", "Impôts", QDate(2024, 3, 1), note);
        const qint64 fete = Ajoute("F", "Sylvestre", QDate(2024, 12, 31), Slots(DateNulle, false, QDate(2024, 12, 24), true));
        const qint64 anniv = Ajoute("A", "X#Y", QDate(1990, 6, 1), Slots(QDate(2024, 6, 1), true));
        Base().Execute("UPDATE Rappel SET Ech2 = '2025-6-1', Ech3 = '2027-02-30' WHERE NumRappel = ?", {anniv});
        QVERIFY(RearmeEcheances());
        QCOMPARE(LitReglage(ReglageAnnee), "2025");
        QCOMPARE(Lit(numNote), note);
        QCOMPARE(Lit(fete), Slots(DateNulle, false, QDate(2025, 12, 24), false));
        const QString sql = "SELECT Ech1 || EtatEch1 || Ech2 || EtatEch2 || Ech3 || EtatEch3 FROM Rappel WHERE NumRappel = ?";
        QCOMPARE(Base().Requete(sql, {anniv}).Valeur(0, 0).toString(), "2025-06-0102025-6-112027-02-301");

        // Without a database the next year waits for one, silently.
        FermeBase();
        FixeMaintenant(QDateTime(QDate(2026, 1, 1), QTime(8, 0)));
        QVERIFY(!RearmeEcheances());
        QCOMPARE(LitReglage(ReglageAnnee), "2025");
        QVERIFY(messages->tous.isEmpty());
    }

    void scanEtAcquittement()
    {
        const QDate auj(2026, 3, 15);
        FixeMaintenant(QDateTime(auj, QTime(10, 0)));
        // Missed on three slots: one entry, and one acknowledgement sets all three.
        const qint64 manque = Ajoute("A", "A#B", QDate(1990, 3, 10),
                                     Slots(QDate(2026, 3, 10), false, QDate(2026, 3, 5), false, QDate(2026, 3, 1), false));
        const qint64 futur = Ajoute("F", "C", QDate(2026, 3, 20), Slots(QDate(2026, 3, 20), false, auj, false, DateNulle, false));
        Ajoute("F", "D", auj, Slots(auj, false));
        Ajoute("F", "E", QDate(2026, 4, 1), Slots(QDate(2026, 4, 1), false, QDate(2026, 3, 25), false));

        ScanRappels scan;
        QVERIFY(scan.Scrute());
        // In the list's order: the missed one, the lead time due today, the event day.
        QCOMPARE(scan.Prochain()->rappel.numRappel, manque);
        QCOMPARE(Lit(manque), Slots(QDate(2026, 3, 10), true, QDate(2026, 3, 5), true, QDate(2026, 3, 1), true));
        scan.Prochain();
        // Due through Ech2 today: Ech2 done, Ech1 still to come; the unused slot gets its flag.
        QCOMPARE(Lit(futur), Slots(QDate(2026, 3, 20), false, auj, true));
        QCOMPARE(scan.Prochain()->texte.message, "D");
        QVERIFY(!scan.Prochain());
        QVERIFY(messages->tous.isEmpty());
    }

    // The next number passes a leftover note text; 32767 is the last one given.
    void nouveauNumero_data()
    {
        Rangees("c", {"vide|0|0|1", "texte orphelin|5|6|7", "dernier|32766|0|32767", "au-delà|32767|0|0"});
    }
    void nouveauNumero()
    {
        QFETCH(QStringList, c); // the last reminder, a note text left, the number given (0: refused)
        const int rappel = c[0].toInt(), note = c[1].toInt(), attendu = c[2].toInt();
        if (rappel > 0)
            Base().Execute(
                "INSERT INTO Rappel VALUES (?, '2026-01-01', 'F', 'Aubin', '1800-01-01', 0, '1800-01-01', 1, '1800-01-01', 1)",
                {rappel});
        if (note > 0)
            Base().Execute("INSERT INTO Notes (NumNote, Libelle1) VALUES (?, 'reste')", {note});
        if (attendu == 0) { // numbers are 16-bit: nothing is written beyond
            QVERIFY_THROWS_EXCEPTION(ErreurBase, AjouteFete({"Alain", QDate(2026, 9, 9)}, {}));
            QCOMPARE(Compte("SELECT COUNT(*) FROM Rappel"), 1);
            return;
        }
        QCOMPARE(DepotRappels(Base()).NouveauNumero(), qint64(attendu));
        // And the reminder written under it keeps its own text.
        const qint64 n = AjouteNote({QDate(2026, 12, 24), "Cadeaux", "liste", ChoixEcheances{true, 0, 0}});
        QCOMPARE(n, qint64(attendu));
        QCOMPARE(Compte("SELECT COUNT(*) FROM Notes WHERE NumNote = ?", {n}), 1);
    }

    void tablesDesRangeesStockees()
    {
        for (const QString r :
             {"Martin#Paul 1975-12-12", "Durand#Zoé 1850-03-12", "Léger#Anne#Marie 1996-02-29", "#Émile 2001-03-01"})
            Insere("A", r.section(' ', 0, 0), QDate::fromString(r.section(' ', 1), Qt::ISODate));
        Tableau t = TableAnniversaires();
        QCOMPARE(Numeros(t), (QList<qint64>{3, 1, 2, 4})); // by first name after a fill
        QCOMPARE(t.lignes.at(0).colonnes.mid(0, 2), (QStringList{"Léger", "Anne#Marie"}));
        // 29 February is 1 March in 2026; equal keys keep the exchange order.
        TrieTableau(t, 4);
        QCOMPARE(Numeros(t), (QList<qint64>{3, 4, 2, 1}));
        QCOMPARE(t.lignes.at(0).Colonne(4), "2026-03-01");

        // Notes sort by day and month: 5 March 2027 before 10 April 2026.
        Insere("N", "Impôts", QDate(2026, 4, 10));
        Insere("N", "Vaccin", QDate(2027, 3, 5));
        const Tableau notes = TableNotes();
        QCOMPARE(Numeros(notes), (QList<qint64>{6, 5}));
        QCOMPARE(notes.lignes.at(0).Colonne(2), "5 mars 2027");
    }

    // The text is cut at 255 characters into two columns and must read back exactly.
    void decoupeDuTexteDesNotes()
    {
        const QString a255(255, QLatin1Char('a')), coupe = QString(254, QLatin1Char('a')) + QLatin1Char(' ');
        const QList<std::pair<QString, QVariantList>> cas{{a255, {a255, QVariant()}},
                                                          {a255 + "b", {a255, "b"}},
                                                          {"   ", {QVariant(), QVariant()}},
                                                          {coupe + "mot", {coupe, "mot"}}}; // the blank kept at the cut
        for (const auto &[texte, parts] : cas) {
            const qint64 n = AjouteNote(LitNote("t", texte, QDate(2026, 12, 6), {}));
            const Resultat r = Base().Requete("SELECT Libelle1, Libelle2 FROM Notes WHERE NumNote = ?", {n});
            QCOMPARE(QVariantList(r.lignes.at(0).begin(), r.lignes.at(0).end()), parts);
            QCOMPARE(LitRappel(n, TypeRappel::Note)->texte, texte.trimmed());
        }
    }

    void anniversairesSemblablesAutresPersonnes()
    {
        const Anniversaire a{"O'Brien", "Zoé %_*#", AnneeInconnue, 2, 29, {true, 10, 0}};
        QCOMPARE(a.DateRappel(), QDate(1850, 3, 1));
        AjouteAnniversaire(a);
        QCOMPARE(ExisteAnniversaire(a), 1);
        Anniversaire autre = a;
        autre.prenom = "Zoé x_*#";
        QCOMPARE(ExisteAnniversaire(autre), 0);
        QCOMPARE(Compte("SELECT COUNT(*) FROM Rappel WHERE Libelle='O''Brien#Zoé %_*#' AND Ech2='2026-02-19' AND EtatEch1=1"), 1);
    }
};

OXI_TEST_MAIN(TestRappels)
#include "tst_rappels.moc"
