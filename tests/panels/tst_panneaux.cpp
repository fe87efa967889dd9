#include "Base.h"
#include "Constantes.h"
#include "Horloge.h"
#include "ListeRappels.h"
#include "OutilsTest.h"
#include "PanneauAnniv.h"
#include "PanneauFetes.h"
#include "PanneauNotes.h"
#include "PanneauTransfert.h"
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

struct Ligne
{
    QString date, libelle, ech1, ech2, ech3;
    int etat1 = -1, etat2 = -1, etat3 = -1;
};

Ligne LitLigne(int num)
{
    const Resultat r = Base().Requete(QStringLiteral("SELECT * FROM Rappel WHERE NumRappel=?"), {num});
    if (r.Vide())
        return {};
    auto v = [&](const char *c) { return r.Valeur(0, QString::fromLatin1(c)).toString(); };
    return {v("DateRappel"), v("Libelle"), v("Ech1"), v("Ech2"), v("Ech3"),
            v("EtatEch1").toInt(), v("EtatEch2").toInt(), v("EtatEch3").toInt()};
}

int Compte(const QString &sql, const QVariantList &parametres = {})
{
    return Base().Requete(sql, parametres).Valeur(0, 0).toInt();
}

int Insere(const QString &type, const QString &libelle, const QDate &date, const QDate &ech2 = DateNulle,
           int etat2 = 0)
{
    const int num = Compte(QStringLiteral("SELECT IFNULL(MAX(NumRappel), 0) + 1 FROM Rappel"));
    Base().Execute(QStringLiteral("INSERT INTO Rappel (NumRappel, DateRappel, Type, Libelle, Ech1, Ech2, EtatEch2, Ech3, "
                                  "EtatEch3) VALUES (?, ?, ?, ?, '1800-01-01', ?, ?, '1800-01-01', 1)"),
                   {num, TexteDate(date), type, libelle, TexteDate(ech2), etat2});
    if (type == QLatin1String("N"))
        Base().Execute(QStringLiteral("INSERT INTO Notes (NumNote, Libelle1) VALUES (?, 'texte')"), {num});
    return num;
}

} // namespace

class TestPanneaux : public QObject
{
    Q_OBJECT
    EnvironnementTest *env = nullptr;
    MessagerieScriptee *messages = nullptr;
    PlateformeTest plateforme;
    frmAccueil *fen = nullptr;

    template <class T> T *W(const QString &nom)
    {
        T *w = fen->findChild<T *>(nom);
        if (!w)
            qFatal("no control %s", qPrintable(nom));
        return w;
    }
    void Clic(const QString &nom) { Q_EMIT W<Image>(nom)->clic(); }
    void Survole(const QString &nom) { Q_EMIT W<Image>(nom)->survol(); }
    bool Montre(const QString &nom) { return !W<QWidget>(nom)->isHidden(); }
    // Selects the n-th row (from 0) whose column holds `texte`.
    void Selectionne(const QString &liste, int colonne, const QString &texte, int n = 0)
    {
        auto *vue = W<ListeRappels>(liste);
        for (int i = 0; i < vue->topLevelItemCount(); ++i)
            if (vue->topLevelItem(i)->text(colonne) == texte && n-- == 0) {
                vue->setCurrentItem(vue->topLevelItem(i));
                return;
            }
        QFAIL(qPrintable(QStringLiteral("no row %1 in %2").arg(texte, liste)));
    }
    QStringList Colonne(const QString &liste, int colonne)
    {
        auto *vue = W<ListeRappels>(liste);
        QStringList textes;
        for (int i = 0; i < vue->topLevelItemCount(); ++i)
            textes << vue->topLevelItem(i)->text(colonne);
        return textes;
    }
    void Capture(const QString &nom)
    {
        const QString dossier = qEnvironmentVariable("OXI_CAPTURES");
        if (!dossier.isEmpty())
            fen->grab().save(QDir(dossier).filePath(nom + QStringLiteral(".png")));
    }
    void BougeSurFenetre()
    {
        QMouseEvent mouvement(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(fen, &mouvement);
    }

private Q_SLOTS:
    void init()
    {
        messages = new MessagerieScriptee;
        env = new EnvironnementTest;
        plateforme.documents.clear();
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
        delete env;
        delete messages;
    }

    void navigationCaptionsAndTheEntryLock()
    {
        QVERIFY(Montre("fraAccueil"));
        QCOMPARE(fen->windowTitle(), QStringLiteral("Oxi"));
        for (const char *nom : {"bord1", "bord2", "bord3", "bord4", "imgLogo2", "imgHelp2", "imgCarte2", "imgTransfert2"})
            QVERIFY2(!Montre(nom), nom);
        Capture(QStringLiteral("accueil"));

        Survole("imgHelp");
        Survole("imgFete");
        Capture(QStringLiteral("survol"));
        QVERIFY(Montre("bord3") && Montre("imgHelp2"));
        QCOMPARE(fen->windowTitle(), QStringLiteral("Oxi - Fêtes"));
        BougeSurFenetre();
        QVERIFY(!Montre("bord3"));
        QCOMPARE(fen->windowTitle(), QStringLiteral("Oxi"));

        Clic("imgNote");
        QVERIFY(Montre("fraNotes") && !Montre("fraAccueil"));
        QCOMPARE(fen->windowTitle(), QStringLiteral("Oxi - Notes"));
        Clic("imgANotes2");
        QVERIFY(SaisieEnCours());
        for (const char *icone : {"imgAnniv", "imgFete", "imgEphem"})
            Clic(QString::fromLatin1(icone));
        Clic("imgTransfert2");
        QVERIFY(Montre("fraNotes"));
        for (const char *autre : {"fraAnniv", "fraFetes", "fraEphem", "fraTransfert", "fraAccueil"})
            QVERIFY2(!Montre(autre), autre);
        // The hover still works, and the caption comes back to the panel shown.
        Survole("imgAnniv");
        QCOMPARE(fen->windowTitle(), QStringLiteral("Oxi - Anniversaires"));
        BougeSurFenetre();
        QCOMPARE(fen->windowTitle(), QStringLiteral("Oxi - Notes"));
        // Closing is refused while an entry is in progress.
        fen->close();
        QCOMPARE(messages->infos, QStringList{QStringLiteral("Vous devez valider ou annuler votre opération !")});
        QVERIFY(fen->isVisible());
        Clic("imgNAnnul2");
        QVERIFY(!SaisieEnCours());

        Survole("imgCarte");
        QVERIFY(Montre("imgCarte2"));
        QCOMPARE(fen->windowTitle(), QStringLiteral("Oxi - Envoyer une carte postale"));
        Survole("imgTransfert");
        QVERIFY(!Montre("imgCarte2") && Montre("imgTransfert2"));
        QCOMPARE(fen->windowTitle(), QStringLiteral("Oxi - Transfert des données"));
        Clic("imgTransfert2");
        QVERIFY(Montre("fraTransfert") && !Montre("fraNotes") && !Montre("imgTransfert2"));
        // Closing from the transfer panel leaves Home for the next showing.
        fen->close();
        QVERIFY(!fen->isVisible());
        fen->Montre();
        QVERIFY(Montre("fraAccueil") && !Montre("fraTransfert"));

        Clic("imgCarte2");
        Clic("imgHelp2");
        QCOMPARE(plateforme.documents.size(), 2);
        QCOMPARE(plateforme.documents.at(0), AdresseCarte);
        QVERIFY(plateforme.documents.at(1).endsWith(NomAide));
        QTest::keyClick(fen, Qt::Key_F1);
        QCOMPARE(plateforme.documents.size(), 3);
    }

    void birthdayEntryMessagesInTheirOrder()
    {
        Clic("imgAnniv");
        Clic("imgAAnniv2");
        QVERIFY(Montre("txtNomAnniv") && !Montre("ListView2"));
        QCOMPARE(W<QComboBox>("cboAnnivJ1")->count(), 32);
        QCOMPARE(W<QComboBox>("cboAnnivA")->itemText(1), QStringLiteral("1871"));
        QCOMPARE(W<QComboBox>("cboAnnivA")->itemText(W<QComboBox>("cboAnnivA")->count() - 1), QStringLiteral("2026"));
        Capture(QStringLiteral("anniv_saisie"));
        auto valide = [&] {
            messages->Vide();
            Clic("imgAVAlid2");
            return messages->infos.value(0);
        };
        W<QLineEdit>("txtNomAnniv")->setText(QStringLiteral("   "));
        QCOMPARE(valide(), QStringLiteral("Ecrivez le nom d'une personne ou annulez."));
        W<QLineEdit>("txtNomAnniv")->setText(QStringLiteral("O'Hara"));
        QCOMPARE(valide(), QStringLiteral("Date invalide !"));
        W<QComboBox>("cboAnnivM")->setEditText(QStringLiteral("AVRIL"));
        QCOMPARE(valide(), QStringLiteral("Choisissez la date de naissance ou annulez."));
        W<QComboBox>("cboAnnivJ")->setEditText(QStringLiteral("31"));
        W<QComboBox>("cboAnnivA")->setEditText(QStringLiteral("1870"));
        QCOMPARE(valide(), QStringLiteral("Date invalide !"));
        W<QComboBox>("cboAnnivA")->setEditText(QStringLiteral("1990"));
        W<QComboBox>("cboAnnivM")->setEditText(QStringLiteral("Avrul"));
        QCOMPARE(valide(), QStringLiteral("Date invalide !"));
        QCOMPARE(W<QComboBox>("cboAnnivM")->currentIndex(), 11);
        W<QComboBox>("cboAnnivM")->setEditText(QStringLiteral("AVRIL"));
        W<QComboBox>("cboAnnivJ1")->setEditText(QStringLiteral("zz"));
        QCOMPARE(valide(), QStringLiteral("Erreur lors de la lecture des valeurs saisies !"));
        QVERIFY(SaisieEnCours() && Montre("txtNomAnniv"));
        QCOMPARE(Compte(QStringLiteral("SELECT COUNT(*) FROM Rappel")), 0);

        // 31 April is 1 May; the birthday this year is past, so its dates are done.
        W<QComboBox>("cboAnnivJ1")->setCurrentIndex(7);
        QCOMPARE(valide(), QString());
        QVERIFY(!SaisieEnCours() && Montre("ListView2"));
        const Ligne l = LitLigne(1);
        QCOMPARE(l.libelle, QStringLiteral("O'Hara#"));
        QCOMPARE(l.date, QStringLiteral("1990-05-01"));
        QCOMPARE(l.ech1, QStringLiteral("2026-05-01"));
        QCOMPARE(l.ech2, QStringLiteral("2026-04-24"));
        QCOMPARE(l.ech3, DateNulle.toString(Qt::ISODate));
        QCOMPARE(QList<int>({l.etat1, l.etat2, l.etat3}), QList<int>({1, 1, 1}));
        QCOMPARE(Colonne("ListView2", 2), QStringList{QStringLiteral("1 mai (36 ans)")});
        // The entry is closed on the first items.
        QCOMPARE(W<QComboBox>("cboAnnivJ")->currentText(), QStringLiteral("1"));
        QCOMPARE(W<QComboBox>("cboAnnivA")->currentText(), QStringLiteral("?"));

        // Same label and date again: refused, apostrophe and all.
        Clic("imgAAnniv2");
        W<QLineEdit>("txtNomAnniv")->setText(QStringLiteral("O'Hara "));
        W<QComboBox>("cboAnnivJ")->setEditText(QStringLiteral("1"));
        W<QComboBox>("cboAnnivM")->setEditText(QStringLiteral("mai"));
        W<QComboBox>("cboAnnivA")->setEditText(QStringLiteral("1990"));
        QCOMPARE(valide(), QStringLiteral("Cet anniversaire existe déjà !"));
        // Today's birthday without a year: Ech1 today and not done.
        W<QComboBox>("cboAnnivJ")->setEditText(QStringLiteral("5"));
        W<QComboBox>("cboAnnivM")->setEditText(QStringLiteral("décembre"));
        W<QComboBox>("cboAnnivA")->setEditText(QStringLiteral("?"));
        QCOMPARE(valide(), QString());
        QCOMPARE(LitLigne(2).date, QStringLiteral("1850-12-05"));
        QCOMPARE(LitLigne(2).etat1, 0);
        QVERIFY(Colonne("ListView2", 2).contains(QStringLiteral("5 décembre")));
    }

    void birthdayChangeAndDeleteActOnTheSelectedRow()
    {
        const int a = Insere(QStringLiteral("A"), QStringLiteral("Dupont#Jean"), QDate(1980, 1, 5), QDate(2025, 12, 26), 1);
        const int b = Insere(QStringLiteral("A"), QStringLiteral("Dupont#Jean"), QDate(1970, 6, 20));
        const int c = Insere(QStringLiteral("A"), QStringLiteral("D_pont#Jean"), QDate(1960, 3, 3));
        Clic("imgAnniv");
        QCOMPARE(Colonne("ListView2", 1), (QStringList{"Dupont", "Dupont", "D_pont"}));
        Capture(QStringLiteral("anniv_liste"));

        Clic("imgMAnniv2");
        QCOMPARE(messages->infos.value(0), QStringLiteral("Pour modifier, sélectionnez une personne. "));
        QVERIFY(!SaisieEnCours());
        // The first Dupont: 5 January, 10 days before across New Year.
        Selectionne("ListView2", 2, QStringLiteral("5 janvier (46 ans)"));
        Clic("imgMAnniv2");
        QCOMPARE(ModeSaisie(), QStringLiteral("M"));
        QCOMPARE(W<QLineEdit>("txtNomAnniv")->text(), QStringLiteral("Dupont"));
        QCOMPARE(W<QComboBox>("cboAnnivJ1")->currentText(), QStringLiteral("10 jours av"));
        QCOMPARE(W<QComboBox>("cboAnnivJ2")->currentText(), QStringLiteral(" Aucune"));
        QVERIFY(!W<QCheckBox>("chkAJ1")->isChecked());
        QCOMPARE(W<QComboBox>("cboAnnivA")->currentText(), QStringLiteral("1980"));
        // Unchanged date keeps its flag.
        Clic("imgAVAlid2");
        QCOMPARE(LitLigne(a).ech2, QStringLiteral("2025-12-26"));
        QCOMPARE(LitLigne(a).etat2, 1);

        // The second Dupont moves to 24 December with "Le jour-même": due again.
        Selectionne("ListView2", 2, QStringLiteral("20 juin (56 ans)"));
        QTest::mouseDClick(W<ListeRappels>("ListView2")->viewport(), Qt::LeftButton, {},
                           W<ListeRappels>("ListView2")->visualItemRect(W<ListeRappels>("ListView2")->currentItem()).center());
        QCOMPARE(ModeSaisie(), QStringLiteral("M"));
        W<QComboBox>("cboAnnivJ")->setEditText(QStringLiteral("24"));
        W<QComboBox>("cboAnnivM")->setEditText(QStringLiteral("décembre"));
        W<QCheckBox>("chkAJ1")->setChecked(true);
        Clic("imgAVAlid2");
        QCOMPARE(LitLigne(b).date, QStringLiteral("1970-12-24"));
        QCOMPARE(LitLigne(b).ech1, QStringLiteral("2026-12-24"));
        QCOMPARE(LitLigne(b).etat1, 0);
        QCOMPARE(LitLigne(a).date, QStringLiteral("1980-01-05"));
        QCOMPARE(LitLigne(c).libelle, QStringLiteral("D_pont#Jean"));

        // Delete: no row, then No, then Yes on the look-alike.
        W<ListeRappels>("ListView2")->clearSelection();
        messages->Vide();
        Clic("imgSAnniv2");
        QCOMPARE(messages->infos, QStringList{QStringLiteral("Sélectionnez une personne à supprimer. ")});
        Selectionne("ListView2", 1, QStringLiteral("D_pont"));
        QTest::keyClick(W<ListeRappels>("ListView2"), Qt::Key_Delete);
        QCOMPARE(messages->questions, QStringList{QStringLiteral("Etes-vous sûr de vouloir supprimer ce rappel d'anniversaire ?")});
        QCOMPARE(Compte(QStringLiteral("SELECT COUNT(*) FROM Rappel")), 3);
        messages->reponses << true;
        Clic("imgSAnniv2");
        QCOMPARE(Compte(QStringLiteral("SELECT COUNT(*) FROM Rappel WHERE NumRappel IN (?, ?)"), {a, b}), 2);
        QCOMPARE(Compte(QStringLiteral("SELECT COUNT(*) FROM Rappel")), 2);

        // A row gone behind the list's back.
        Selectionne("ListView2", 2, QStringLiteral("5 janvier (46 ans)"));
        Base().Execute(QStringLiteral("DELETE FROM Rappel WHERE NumRappel=?"), {a});
        messages->Vide();
        Clic("imgMAnniv2");
        QCOMPARE(messages->infos, QStringList{QStringLiteral("Aucune donnée trouvée !")});
        QVERIFY(!SaisieEnCours() && Montre("ListView2"));
    }

    void birthdaySortButtons()
    {
        Insere(QStringLiteral("A"), QStringLiteral("Zola#Émile"), QDate(1840, 4, 2));
        Insere(QStringLiteral("A"), QStringLiteral("Hugo#Victor"), QDate(1802, 2, 26));
        Insere(QStringLiteral("A"), QStringLiteral("Sand#George"), QDate(1804, 7, 1));
        Clic("imgAnniv");
        QCOMPARE(Colonne("ListView2", 0), (QStringList{"George", "Victor", "Émile"}));
        Survole("TriAD");
        Clic("TriAD2");
        QVERIFY(Montre("TriAD2"));
        QCOMPARE(Colonne("ListView2", 1), (QStringList{"Hugo", "Zola", "Sand"}));
        Clic("TriAN2");
        QCOMPARE(Colonne("ListView2", 1), (QStringList{"Hugo", "Sand", "Zola"}));
        QMouseEvent mouvement(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(W<ListeRappels>("ListView2")->viewport(), &mouvement);
        QVERIFY(!Montre("TriAD2"));
        // A failing fill says so and keeps the rows shown.
        FermeBase();
        Clic("imgAnniv");
        QCOMPARE(messages->infos, QStringList{QStringLiteral("Erreur lors du remplissage de la liste des anniversaires !")});
        QCOMPARE(Colonne("ListView2", 1).size(), 3);
    }

    void nameDaysAddChangeDelete()
    {
        Clic("imgFete");
        Clic("imgAFetes2");
        auto *cbo = W<QComboBox>("cboFetes");
        QVERIFY(cbo->count() > 1000 && cbo->isEnabled());
        QVERIFY(cbo->findText(QStringLiteral("Charles le Bon - 2 mars")) >= 0);
        QCOMPARE(cbo->itemText(0).left(1), QStringLiteral("A"));
        Clic("imgFValid2");
        QCOMPARE(messages->infos.value(0), QStringLiteral("Choisissez un prénom ou annulez."));
        cbo->setEditText(QStringLiteral("Charles le Bon 2 mars"));
        Clic("imgFValid2");
        QCOMPARE(messages->infos.value(1), QStringLiteral("Erreur lors de la lecture des valeurs saisies !"));
        QVERIFY(SaisieEnCours());
        cbo->setCurrentIndex(cbo->findText(QStringLiteral("Charles le Bon - 2 mars")));
        W<QComboBox>("cboFeteJ1")->setCurrentIndex(3);
        Capture(QStringLiteral("fetes_saisie"));
        Clic("imgFValid2");
        QCOMPARE(LitLigne(1).libelle, QStringLiteral("Charles le Bon"));
        QCOMPARE(LitLigne(1).date, QStringLiteral("2026-03-02"));
        QCOMPARE(LitLigne(1).ech2, QStringLiteral("2026-02-27"));

        // Typed in the items' form, twice the same name, one with an apostrophe.
        for (const char *texte : {"Zébulon - 20 décembre", "Zébulon - 20 décembre", "N'Golo - 21 décembre"}) {
            Clic("imgAFetes2");
            cbo->setEditText(QString::fromUtf8(texte));
            W<QComboBox>("cboFeteJ1")->setCurrentIndex(10);
            Clic("imgFValid2");
        }
        QCOMPARE(Colonne("ListView1", 0), (QStringList{"Charles le Bon", "N'Golo", "Zébulon", "Zébulon"}));
        QCOMPARE(LitLigne(2).etat1, 0);
        QCOMPARE(LitLigne(2).ech2, QStringLiteral("2026-12-10"));
        Base().Execute(QStringLiteral("UPDATE Rappel SET EtatEch2=1 WHERE NumRappel IN (2, 3)"));
        Capture(QStringLiteral("fetes_liste"));

        // Change the second Zébulon only; its Ech2 moves ahead and is due again.
        Selectionne("ListView1", 0, QStringLiteral("Zébulon"), 1);
        const int num = W<ListeRappels>("ListView1")->NumSelectionne();
        const int autre = num == 2 ? 3 : 2;
        Clic("imgMFetes2");
        QVERIFY(!cbo->isEnabled() && cbo->count() == 0);
        QCOMPARE(cbo->currentText(), QStringLiteral("Zébulon - 20 décembre"));
        QCOMPARE(W<QComboBox>("cboFeteJ1")->currentText(), QStringLiteral("10 jours av"));
        W<QComboBox>("cboFeteJ1")->setCurrentIndex(5);
        Clic("imgFValid2");
        QCOMPARE(LitLigne(num).ech2, QStringLiteral("2026-12-15"));
        QCOMPARE(LitLigne(num).etat2, 0);
        QCOMPARE(LitLigne(autre).ech2, QStringLiteral("2026-12-10"));
        QCOMPARE(LitLigne(autre).etat2, 1);
        // The next Ajouter loads the names again.
        Clic("imgAFetes2");
        QVERIFY(cbo->count() > 1000 && cbo->isEnabled());
        Clic("imgFAnnul2");

        Clic("TriFD2");
        QCOMPARE(Colonne("ListView1", 1).first(), QStringLiteral("2 mars"));
        Selectionne("ListView1", 0, QStringLiteral("N'Golo"));
        messages->Vide();
        messages->reponses << true;
        Clic("imgSFetes2");
        QCOMPARE(messages->questions, QStringList{QStringLiteral("Etes-vous sûr de vouloir supprimer ce rappel de fête ?")});
        QCOMPARE(Compte(QStringLiteral("SELECT COUNT(*) FROM Rappel WHERE Libelle=?"), {QStringLiteral("N'Golo")}), 0);
        QCOMPARE(Compte(QStringLiteral("SELECT COUNT(*) FROM Rappel")), 3);
        W<ListeRappels>("ListView1")->clearSelection();
        Clic("imgMFetes2");
        QCOMPARE(messages->infos.last(), QStringLiteral("Pour modifier, sélectionnez un prénom. "));
        Clic("imgSFetes2");
        QCOMPARE(messages->infos.last(), QStringLiteral("Sélectionnez le prénom à supprimer. "));
    }

    void notesAddChangeDelete()
    {
        Clic("imgNote");
        Clic("imgANotes2");
        QCOMPARE(W<QDateEdit>("DTDateNote")->date(), QDate(2026, 12, 5));
        const QString t256 = QString(255, QLatin1Char('a')) + QLatin1Char('b');
        W<QPlainTextEdit>("txtNotes")->setPlainText(t256);
        W<QDateEdit>("DTDateNote")->setDate(QDate(2027, 1, 3));
        W<QComboBox>("cboNotesJ1")->setCurrentIndex(4);
        Capture(QStringLiteral("notes_saisie"));
        Clic("imgNValid2");
        QCOMPARE(LitLigne(1).libelle, QStringLiteral("Sans titre"));
        QCOMPARE(LitLigne(1).date, QStringLiteral("2027-01-03"));
        // The note's own year does not enter the due dates.
        QCOMPARE(LitLigne(1).ech1, QStringLiteral("2026-01-03"));
        QCOMPARE(LitLigne(1).ech2, QStringLiteral("2025-12-30"));
        QCOMPARE(Compte(QStringLiteral("SELECT COUNT(*) FROM Notes WHERE NumNote=1 AND length(Libelle1)=255 AND Libelle2='b'")), 1);

        // A second "Sans titre", blank text; then a text longer than the box allows.
        Clic("imgANotes2");
        W<QPlainTextEdit>("txtNotes")->setPlainText(QString(600, QLatin1Char('x')));
        QCOMPARE(W<QPlainTextEdit>("txtNotes")->toPlainText().size(), 500);
        W<QPlainTextEdit>("txtNotes")->setPlainText(QStringLiteral("   "));
        W<QDateEdit>("DTDateNote")->setDate(QDate(2026, 12, 20));
        Clic("imgNValid2");
        QCOMPARE(Compte(QStringLiteral("SELECT COUNT(*) FROM Notes WHERE NumNote=2 AND Libelle1 IS NULL")), 1);
        QCOMPARE(Colonne("ListView3", 0), (QStringList{"3 janvier 2027", "20 décembre 2026"}));

        // Change the first one: the lead time comes back, the text is whole.
        Selectionne("ListView3", 0, QStringLiteral("3 janvier 2027"));
        Clic("imgMNotes2");
        QCOMPARE(W<QComboBox>("cboNotesJ1")->currentText(), QStringLiteral("4 jours av"));
        QCOMPARE(W<QPlainTextEdit>("txtNotes")->toPlainText(), t256);
        W<QLineEdit>("txtTitreNote")->setText(QStringLiteral("L'été \"100%\" #1"));
        W<QPlainTextEdit>("txtNotes")->setPlainText(QStringLiteral("0123456789"));
        W<QComboBox>("cboNotesJ2")->setEditText(QStringLiteral("xx"));
        Clic("imgNValid2");
        QCOMPARE(messages->infos.value(0), QStringLiteral("Erreur lors de la lecture des valeurs saisies !"));
        QCOMPARE(LitLigne(1).libelle, QStringLiteral("Sans titre"));
        W<QComboBox>("cboNotesJ2")->setEditText(QStringLiteral("2"));
        Clic("imgNValid2");
        QVERIFY(!SaisieEnCours());
        QCOMPARE(LitLigne(1).libelle, QStringLiteral("L'été \"100%\" #1"));
        QCOMPARE(LitLigne(1).ech3, QStringLiteral("2026-01-01"));
        QCOMPARE(LitLigne(2).libelle, QStringLiteral("Sans titre"));
        QCOMPARE(Compte(QStringLiteral("SELECT COUNT(*) FROM Notes WHERE NumNote=1 AND Libelle1='0123456789' AND Libelle2 IS NULL")), 1);
        Capture(QStringLiteral("notes_liste"));

        // Delete: No keeps it, Yes removes both rows of that note only.
        Selectionne("ListView3", 1, QStringLiteral("L'été \"100%\" #1"));
        messages->Vide();
        Clic("imgSNotes2");
        QCOMPARE(messages->questions, QStringList{QStringLiteral("Etes-vous sûr de vouloir supprimer cette note ?")});
        QCOMPARE(Compte(QStringLiteral("SELECT COUNT(*) FROM Notes")), 2);
        messages->reponses << true;
        Clic("imgSNotes2");
        QCOMPARE(Compte(QStringLiteral("SELECT COUNT(*) FROM Rappel WHERE NumRappel=1")), 0);
        QCOMPARE(Compte(QStringLiteral("SELECT COUNT(*) FROM Notes")), 1);

        // A failing write: nothing stored, the panel reset.
        Base().Execute(QStringLiteral("CREATE TRIGGER refus BEFORE INSERT ON Notes BEGIN SELECT RAISE(ABORT, 'refus'); END"));
        Clic("imgANotes2");
        W<QLineEdit>("txtTitreNote")->setText(QStringLiteral("Perdue"));
        messages->Vide();
        Clic("imgNValid2");
        QCOMPARE(messages->infos, QStringList{QStringLiteral("Erreur lors de l'ajout en base !")});
        QCOMPARE(Compte(QStringLiteral("SELECT COUNT(*) FROM Rappel WHERE Libelle='Perdue'")), 0);
        QVERIFY(!SaisieEnCours() && Montre("ListView3") && W<QLineEdit>("txtTitreNote")->text().isEmpty());
        Base().Execute(QStringLiteral("DROP TRIGGER refus"));

        // A note gone behind the list's back.
        Selectionne("ListView3", 1, QStringLiteral("Sans titre"));
        Base().Execute(QStringLiteral("DELETE FROM Rappel WHERE NumRappel=2"));
        Clic("imgMNotes2");
        QCOMPARE(messages->infos.last(), QStringLiteral("Erreur: impossible de modifier !"));
        QVERIFY(!SaisieEnCours());
        messages->reponses << true;
        Clic("imgSNotes2");
        QCOMPARE(messages->infos.last(), QStringLiteral("Erreur lors de la suppression !"));
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
