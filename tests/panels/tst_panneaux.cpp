#include "Base.h"
#include "Constantes.h"
#include "Ephemerides.h"
#include "Horloge.h"
#include "ListeRappels.h"
#include "OutilsTest.h"
#include "Plateforme.h"
#include "Saisie.h"
#include "frmAccueil.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTest>

using namespace oxi;

namespace {

class PlateformeTest : public PlateformeLinux
{
public:
    QStringList documents;
    void OuvreDocument(const QString &adresse) override { documents << adresse; }
};

// One column of a stored reminder row, as text.
QString Champ(int num, const char *colonne)
{
    const Resultat r = Base().Requete(QStringLiteral("SELECT * FROM Rappel WHERE NumRappel=?"), {num});
    return r.Vide() ? QString() : r.Valeur(0, QString::fromLatin1(colonne)).toString();
}

int Compte(const QString &sql, const QVariantList &parametres = {})
{
    return Base().Requete(sql, parametres).Valeur(0, 0).toInt();
}

int Insere(const QString &type, const QString &libelle, const QDate &date, const QDate &ech2 = DateNulle)
{
    const int num = Compte(QStringLiteral("SELECT IFNULL(MAX(NumRappel), 0) + 1 FROM Rappel"));
    Base().Execute(QStringLiteral("INSERT INTO Rappel (NumRappel, DateRappel, Type, Libelle, Ech1, Ech2, EtatEch2, Ech3, "
                                  "EtatEch3) VALUES (?, ?, ?, ?, '1800-01-01', ?, 1, '1800-01-01', 1)"),
                   {num, TexteDate(date), type, libelle, TexteDate(ech2)});
    if (type == QLatin1String("N"))
        Base().Execute(QStringLiteral("INSERT INTO Notes (NumNote, Libelle1) VALUES (?, 'texte')"), {num});
    return num;
}

// The controls of the panel of a kind of reminder.
struct Genre
{
    QString icone, liste, boutons, valider, delai;
};

Genre DuType(const QString &type)
{
    if (type == QLatin1String("A"))
        return {"imgAnniv", "ListView2", "Anniv", "imgAVAlid2", "cboAnnivJ"};
    if (type == QLatin1String("F"))
        return {"imgFete", "ListView1", "Fetes", "imgFValid2", "cboFeteJ"};
    return {"imgNote", "ListView3", "Notes", "imgNValid2", "cboNotesJ"};
}

} // namespace

class TestPanneaux : public QObject
{
    Q_OBJECT
    EnvironnementTest *env = nullptr;
    MessagerieScriptee *messages = nullptr;
    PlateformeTest plateforme;
    frmAccueil *fen = nullptr;

    template <class T = QWidget> T *W(const QString &nom)
    {
        T *w = fen->findChild<T *>(nom);
        if (!w)
            qFatal("no control %s", qPrintable(nom));
        return w;
    }
    void Clic(const QString &nom) { Q_EMIT W<Image>(nom)->clic(); }
    bool Montre(const QString &nom) { return !W(nom)->isHidden(); }
    void Ecrit(const QString &boite, const QString &texte) { W<QComboBox>(boite)->setEditText(texte); }
    // Selects the row of the reminder `num`; no row selected for 0.
    void Selectionne(const QString &liste, int num)
    {
        auto *vue = W<ListeRappels>(liste);
        vue->clearSelection();
        for (int i = 0; i < vue->topLevelItemCount(); ++i)
            if (vue->topLevelItem(i)->data(0, Qt::UserRole).toInt() == num)
                vue->setCurrentItem(vue->topLevelItem(i));
    }
    // Screenshots for a look, when OXI_CAPTURES names a folder.
    void Capture(const QString &nom)
    {
        const QString dossier = qEnvironmentVariable("OXI_CAPTURES");
        if (!dossier.isEmpty())
            fen->grab().save(QDir(dossier).filePath(nom + QStringLiteral(".png")));
    }
    void Bouge(QWidget *w)
    {
        QMouseEvent mouvement(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &mouvement);
    }

private Q_SLOTS:
    void init()
    {
        messages = new MessagerieScriptee;
        env = new EnvironnementTest;
        InstallePlateforme(&plateforme);
        FixeMaintenant(QDateTime(QDate(2026, 12, 5), QTime(10, 0)));
        fen = new frmAccueil;
        fen->show();
    }
    void cleanup()
    {
        FinitSaisie();
        fen->FermePourQuitter();
        delete fen;
        RetablitHorloge();
        InstallePlateforme(nullptr);
        plateforme.documents.clear();
        delete env;
        delete messages;
    }

    // A window kept in the tray has no panels yet: whatever first shows it
    // (here a popup's icon) finds them built, on the home frame, and usable.
    void panelsComeWithTheFirstShow()
    {
        frmAccueil cachee;
        QVERIFY(!cachee.findChild<QWidget *>(QStringLiteral("fraAnniv")));
        Bouge(&cachee);
        QCOMPARE(cachee.windowTitle(), TitreAppli);
        AfficheAccueilDepuisEphemerides();
        QVERIFY(cachee.isVisible());
        for (const char *panneau : {"fraAnniv", "fraFetes", "fraNotes", "fraEphem", "fraTransfert"}) {
            auto *cadre = cachee.findChild<QWidget *>(QString::fromLatin1(panneau));
            QVERIFY2(cadre && cadre->isHidden(), panneau);
        }
        QVERIFY(!cachee.findChild<QWidget *>(QStringLiteral("fraAccueil"))->isHidden());
        QCOMPARE(cachee.windowTitle(), TitreAppli);
        Q_EMIT cachee.findChild<Image *>(QStringLiteral("imgFete"))->clic();
        QVERIFY(!cachee.findChild<QWidget *>(QStringLiteral("fraFetes"))->isHidden());
        QVERIFY(cachee.findChild<QWidget *>(QStringLiteral("ListView1"))->isVisible());
        QCOMPARE(cachee.windowTitle(), QStringLiteral("Oxi - Fêtes"));
    }

    void anEntryLocksTheOtherPanels()
    {
        Capture(QStringLiteral("accueil"));
        Clic("imgNote");
        Clic("imgANotes2");
        QVERIFY(SaisieEnCours());
        for (const char *icone : {"imgAnniv", "imgFete", "imgEphem", "imgTransfert2"})
            Clic(QString::fromLatin1(icone));
        for (const char *autre : {"fraAnniv", "fraFetes", "fraEphem", "fraTransfert", "fraAccueil"})
            QVERIFY2(!Montre(autre), autre);
        QVERIFY(Montre("fraNotes") && Montre("txtNotes"));
        // The hover still works, and the caption comes back to the panel shown.
        Q_EMIT W<Image>("imgAnniv")->survol();
        QCOMPARE(fen->windowTitle(), QStringLiteral("Oxi - Anniversaires"));
        Bouge(fen);
        QCOMPARE(fen->windowTitle(), QStringLiteral("Oxi - Notes"));
        fen->close();
        QCOMPARE(messages->infos, QStringList{QStringLiteral("Vous devez valider ou annuler votre opération !")});
        QVERIFY(fen->isVisible());
        Clic("imgNAnnul2");
        QVERIFY(!SaisieEnCours() && Montre("ListView3"));
        Clic("imgAnniv");
        QVERIFY(Montre("fraAnniv") && !Montre("fraNotes"));
        Clic("imgHelp2");
        QTest::keyClick(fen, Qt::Key_F1);
        QCOMPARE(plateforme.documents.size(), 2);
        QVERIFY(plateforme.documents.at(1).endsWith(NomAide));
    }

    void birthdayEntry_data()
    {
        QTest::addColumn<QString>("nom");
        QTest::addColumn<QString>("jour");
        QTest::addColumn<QString>("mois");
        QTest::addColumn<QString>("annee");
        QTest::addColumn<QString>("delai");
        QTest::addColumn<QString>("message"); // empty: saved
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("ech2");
        QTest::addColumn<int>("etat1");
        QTest::newRow("blank name") << "   " << "1" << "mai" << "1990" << "" << "Ecrivez le nom d'une personne ou annulez." << "" << "" << 0;
        QTest::newRow("no month") << "O'Hara" << "" << "" << "" << "" << "Date invalide !" << "" << "" << 0;
        QTest::newRow("no day") << "O'Hara" << "" << "AVRIL" << "" << "" << "Choisissez la date de naissance ou annulez." << "" << "" << 0;
        QTest::newRow("year before 1871") << "O'Hara" << "3" << "avril" << "1870" << "" << "Date invalide !" << "" << "" << 0;
        QTest::newRow("unknown month") << "O'Hara" << "3" << "Avrul" << "1990" << "" << "Date invalide !" << "" << "" << 0;
        QTest::newRow("unreadable lead time")
            << "O'Hara" << "3" << "avril" << "1990" << "zz" << "Erreur lors de la lecture des valeurs saisies !" << "" << "" << 0;
        QTest::newRow("already there") << "O'Hara" << "1" << "mai" << "1990" << "" << "Cet anniversaire existe déjà !" << "" << "" << 0;
        // A past birthday this year: its dates are done.
        QTest::newRow("31 April is 1 May")
            << "Zoé" << "31" << "AVRIL" << "1990" << "7 jours av" << "" << "1990-05-01" << "2026-04-24" << 1;
        QTest::newRow("29 February, no year")
            << "Zoé" << "29" << "février" << "?" << "" << "" << "1850-03-01" << "1800-01-01" << 1;
        QTest::newRow("today, due") << "Zoé" << "5" << "décembre" << "?" << "" << "" << "1850-12-05" << "1800-01-01" << 0;
    }
    void birthdayEntry()
    {
        QFETCH(QString, message);
        QFETCH(QString, date);
        const int existant = Insere(QStringLiteral("A"), QStringLiteral("O'Hara#"), QDate(1990, 5, 1));
        Clic("imgAnniv");
        Clic("imgAAnniv2");
        QCOMPARE(W<QComboBox>("cboAnnivA")->itemText(W<QComboBox>("cboAnnivA")->count() - 1), QStringLiteral("2026"));
        QFETCH(QString, nom);
        W<QLineEdit>("txtNomAnniv")->setText(nom);
        QFETCH(QString, jour);
        Ecrit("cboAnnivJ", jour);
        QFETCH(QString, mois);
        Ecrit("cboAnnivM", mois);
        QFETCH(QString, annee);
        Ecrit("cboAnnivA", annee);
        QFETCH(QString, delai);
        if (!delai.isEmpty())
            Ecrit("cboAnnivJ1", delai);
        Capture(QStringLiteral("anniv_saisie"));
        Clic("imgAVAlid2");
        QCOMPARE(messages->infos.value(0), message);
        QCOMPARE(SaisieEnCours(), !message.isEmpty());
        QCOMPARE(Compte(QStringLiteral("SELECT COUNT(*) FROM Rappel")), message.isEmpty() ? 2 : 1);
        if (message.isEmpty()) {
            const int num = existant + 1;
            QCOMPARE(Champ(num, "Libelle"), nom + QLatin1Char('#'));
            QCOMPARE(Champ(num, "DateRappel"), date);
            QTEST(Champ(num, "Ech2"), "ech2");
            QTEST(Champ(num, "EtatEch1").toInt(), "etat1");
            QVERIFY(Montre("ListView2"));
        }
    }

    void changeAndDeleteActOnTheSelectedRow_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<int>("annee");
        QTest::addColumn<QStringList>("textes"); // modify, delete, question, row gone
        QTest::newRow("birthdays") << "A" << 1980
                                   << QStringList{"Pour modifier, sélectionnez une personne. ",
                                                  "Sélectionnez une personne à supprimer. ",
                                                  "Etes-vous sûr de vouloir supprimer ce rappel d'anniversaire ?",
                                                  "Aucune donnée trouvée !"};
        QTest::newRow("name days") << "F" << 2026
                                   << QStringList{"Pour modifier, sélectionnez un prénom. ",
                                                  "Sélectionnez le prénom à supprimer. ",
                                                  "Etes-vous sûr de vouloir supprimer ce rappel de fête ?",
                                                  "Erreur: impossible de modifier !"};
        QTest::newRow("notes") << "N" << 2026
                               << QStringList{"Pour modifier, sélectionnez une note. ", "Sélectionnez la note à supprimer. ",
                                              "Etes-vous sûr de vouloir supprimer cette note ?",
                                              "Erreur: impossible de modifier !"};
    }
    void changeAndDeleteActOnTheSelectedRow()
    {
        QFETCH(QString, type);
        QFETCH(int, annee);
        QFETCH(QStringList, textes);
        const Genre g = DuType(type);
        const QString &liste = g.liste, &boutons = g.boutons, &valider = g.valider, &prefixe = g.delai;
        // Two rows with the same label; the first 10 days ahead of 5 January, across New Year.
        const QString libelle = type == QLatin1String("A") ? QStringLiteral("O'Hara#Jean") : QStringLiteral("O'Hara");
        const int a = Insere(type, libelle, QDate(annee, 1, 5), QDate(2025, 12, 26));
        const int b = Insere(type, libelle, QDate(annee, 12, 20));
        Clic(g.icone);
        auto *vue = W<ListeRappels>(liste);
        Clic("imgM" + boutons + "2");
        Clic("imgS" + boutons + "2");
        QCOMPARE(messages->infos, textes.mid(0, 2));
        QVERIFY(!SaisieEnCours());

        // The lead time comes back; an unchanged date keeps its done flag.
        Selectionne(liste, a);
        Clic("imgM" + boutons + "2");
        QCOMPARE(ModeSaisie(), QStringLiteral("M"));
        QCOMPARE(W<QComboBox>(prefixe + "1")->currentText(), QStringLiteral("10 jours av"));
        QCOMPARE(W<QComboBox>(prefixe + "2")->currentText(), QStringLiteral(" Aucune"));
        QVERIFY(!W<QCheckBox>(QStringLiteral("chk%1J1").arg(type))->isChecked());
        Clic(valider);
        QCOMPARE(Champ(a, "Ech2"), QStringLiteral("2025-12-26"));
        QCOMPARE(Champ(a, "EtatEch2"), QStringLiteral("1"));

        // The look-alike, by double click: its lead time moves ahead and is due again.
        Selectionne(liste, b);
        QTest::mouseDClick(vue->viewport(), Qt::LeftButton, {}, vue->visualItemRect(vue->currentItem()).center());
        W<QComboBox>(prefixe + "1")->setCurrentIndex(5);
        Capture(QStringLiteral("modifie_") + type);
        Clic(valider);
        QVERIFY(!SaisieEnCours());
        QCOMPARE(Champ(b, "Ech2"), QStringLiteral("2026-12-15"));
        QCOMPARE(Champ(b, "EtatEch2"), QStringLiteral("0"));
        QCOMPARE(Champ(a, "Ech2"), QStringLiteral("2025-12-26"));

        // Delete key: No keeps the row, Yes deletes the selected one only.
        Selectionne(liste, b);
        messages->Vide();
        QTest::keyClick(vue, Qt::Key_Delete);
        QCOMPARE(messages->questions, textes.mid(2, 1));
        messages->reponses << true;
        Clic("imgS" + boutons + "2");
        QCOMPARE(Compte(QStringLiteral("SELECT COUNT(*) FROM Rappel")), 1);
        QCOMPARE(Champ(a, "Libelle"), libelle);
        QCOMPARE(Compte(QStringLiteral("SELECT COUNT(*) FROM Notes")), type == QLatin1String("N") ? 1 : 0);
        QCOMPARE(vue->topLevelItemCount(), 1);

        // A row gone behind the list's back.
        Selectionne(liste, a);
        Base().Execute(QStringLiteral("DELETE FROM Rappel"));
        messages->Vide();
        Clic("imgM" + boutons + "2");
        QCOMPARE(messages->infos, textes.mid(3, 1));
        QVERIFY(!SaisieEnCours() && vue->isVisible());
        messages->Vide();
        messages->reponses << true;
        Clic("imgS" + boutons + "2");
        QCOMPARE(messages->infos, QStringList{QStringLiteral("Erreur lors de la suppression !")});
    }

    void sortButtons_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("avant"); // a sort giving the other order first
        QTest::addColumn<QString>("tri");
        QTest::addColumn<int>("premier");
        QTest::newRow("TriAP") << "A" << "TriAN2" << "TriAP2" << 2;
        QTest::newRow("TriAN") << "A" << "" << "TriAN2" << 1;
        QTest::newRow("TriAD") << "A" << "" << "TriAD2" << 1;
        QTest::newRow("TriFP") << "F" << "TriFD2" << "TriFP2" << 2;
        QTest::newRow("TriFD") << "F" << "" << "TriFD2" << 1;
        QTest::newRow("TriND") << "N" << "TriNT2" << "TriND2" << 1;
        QTest::newRow("TriNT") << "N" << "" << "TriNT2" << 2;
    }
    void sortButtons()
    {
        QFETCH(QString, type);
        QFETCH(QString, avant);
        QFETCH(QString, tri);
        QFETCH(int, premier);
        const QString liste = DuType(type).liste;
        // By name 1 first, by first name or title 2 first, by date 1 first.
        const bool anniv = type == QLatin1String("A");
        Insere(type, anniv ? QStringLiteral("Alpha#Zoé") : QStringLiteral("Zoé"), QDate(anniv ? 1990 : 2026, 3, 1));
        Insere(type, anniv ? QStringLiteral("Zulu#Anne") : QStringLiteral("Anne"), QDate(anniv ? 1990 : 2026, 6, 1));
        Clic(DuType(type).icone);
        if (!avant.isEmpty())
            Clic(avant);
        Q_EMIT W<Image>(tri.chopped(1))->survol();
        Clic(tri);
        QCOMPARE(W<ListeRappels>(liste)->topLevelItem(0)->data(0, Qt::UserRole).toInt(), premier);
        QVERIFY(Montre(tri));
        Bouge(W<ListeRappels>(liste)->viewport());
        QVERIFY(!Montre(tri));
    }

    void nameDayEntry()
    {
        Clic("imgFete");
        Clic("imgAFetes2");
        auto *cbo = W<QComboBox>("cboFetes");
        QVERIFY(cbo->count() > 1000 && cbo->isEnabled());
        Clic("imgFValid2");
        Ecrit("cboFetes", QStringLiteral("Charles le Bon 2 mars"));
        Clic("imgFValid2");
        QCOMPARE(messages->infos, (QStringList{"Choisissez un prénom ou annulez.",
                                               "Erreur lors de la lecture des valeurs saisies !"}));
        QVERIFY(SaisieEnCours());
        cbo->setCurrentIndex(cbo->findText(QStringLiteral("Charles le Bon - 2 mars")));
        W<QComboBox>("cboFeteJ1")->setCurrentIndex(3);
        Capture(QStringLiteral("fetes_saisie"));
        Clic("imgFValid2");
        QCOMPARE(Champ(1, "Libelle"), QStringLiteral("Charles le Bon"));
        QCOMPARE(Champ(1, "DateRappel"), QStringLiteral("2026-03-02"));
        QCOMPARE(Champ(1, "Ech2"), QStringLiteral("2026-02-27"));
        // Typed in the items' form, twice the same name with an apostrophe.
        for (int i = 0; i < 2; ++i) {
            Clic("imgAFetes2");
            Ecrit("cboFetes", QStringLiteral("N'Golo - 21 décembre"));
            Clic("imgFValid2");
        }
        QCOMPARE(Compte(QStringLiteral("SELECT COUNT(*) FROM Rappel WHERE Libelle=? AND DateRappel='2026-12-21' "
                                       "AND EtatEch1=0"), {QStringLiteral("N'Golo")}), 2);
        // Modifier cannot change the first name; the next Ajouter loads the names again.
        Selectionne("ListView1", 2);
        Clic("imgMFetes2");
        QVERIFY(!cbo->isEnabled() && cbo->count() == 0);
        QCOMPARE(cbo->currentText(), QStringLiteral("N'Golo - 21 décembre"));
        Clic("imgFAnnul2");
        Clic("imgAFetes2");
        QVERIFY(cbo->count() > 1000 && cbo->isEnabled());
    }

    void noteEntry()
    {
        Clic("imgNote");
        Clic("imgANotes2");
        QCOMPARE(W<QDateEdit>("DTDateNote")->date(), QDate(2026, 12, 5));
        auto *texte = W<QPlainTextEdit>("txtNotes");
        texte->setPlainText(QString(600, QLatin1Char('x')));
        QCOMPARE(texte->toPlainText().size(), 500);
        const QString t256 = QString(255, QLatin1Char('a')) + QLatin1Char('b');
        texte->setPlainText(t256);
        W<QDateEdit>("DTDateNote")->setDate(QDate(2027, 1, 3));
        W<QComboBox>("cboNotesJ1")->setCurrentIndex(4);
        Capture(QStringLiteral("notes_saisie"));
        Clic("imgNValid2");
        QCOMPARE(Champ(1, "Libelle"), QStringLiteral("Sans titre"));
        QCOMPARE(Champ(1, "DateRappel"), QStringLiteral("2027-01-03"));
        // The note's own year does not enter the due dates.
        QCOMPARE(Champ(1, "Ech2"), QStringLiteral("2025-12-30"));
        QCOMPARE(Compte(QStringLiteral("SELECT COUNT(*) FROM Notes WHERE NumNote=1 AND length(Libelle1)=255 AND Libelle2='b'")), 1);

        // A change: unreadable lead time first (nothing written), then quotes, "%", "#" and a short text.
        Selectionne("ListView3", 1);
        Clic("imgMNotes2");
        QCOMPARE(texte->toPlainText(), t256);
        W<QLineEdit>("txtTitreNote")->setText(QStringLiteral("L'été \"100%\" #1"));
        texte->setPlainText(QStringLiteral("0123456789"));
        Ecrit("cboNotesJ2", QStringLiteral("xx"));
        Clic("imgNValid2");
        QCOMPARE(messages->infos, QStringList{QStringLiteral("Erreur lors de la lecture des valeurs saisies !")});
        QCOMPARE(Champ(1, "Libelle"), QStringLiteral("Sans titre"));
        Ecrit("cboNotesJ2", QStringLiteral("2"));
        Clic("imgNValid2");
        QCOMPARE(Champ(1, "Libelle"), QStringLiteral("L'été \"100%\" #1"));
        QCOMPARE(Champ(1, "Ech3"), QStringLiteral("2026-01-01"));
        QCOMPARE(Compte(QStringLiteral("SELECT COUNT(*) FROM Notes WHERE Libelle1='0123456789' AND Libelle2 IS NULL")), 1);

        // A failing write: nothing stored, the panel reset.
        Base().Execute(QStringLiteral("CREATE TRIGGER refus BEFORE INSERT ON Notes BEGIN SELECT RAISE(ABORT, 'refus'); END"));
        Clic("imgANotes2");
        W<QLineEdit>("txtTitreNote")->setText(QStringLiteral("Perdue"));
        messages->Vide();
        Clic("imgNValid2");
        QCOMPARE(messages->infos, QStringList{QStringLiteral("Erreur lors de l'ajout en base !")});
        QCOMPARE(Compte(QStringLiteral("SELECT COUNT(*) FROM Rappel")), 1);
        QVERIFY(!SaisieEnCours() && Montre("ListView3") && W<QLineEdit>("txtTitreNote")->text().isEmpty());
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    TestPanneaux test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_panneaux.moc"
