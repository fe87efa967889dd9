#include "Base.h"
#include "Chemins.h"
#include "Constantes.h"
#include "Echanges.h"
#include "Ephemerides.h"
#include "Horloge.h"
#include "ListeRappels.h"
#include "OutilsRappels.h"
#include "OutilsTest.h"
#include "PanneauTransfert.h"
#include "Rangees.h"
#include "ReglagesSynchro.h"
#include "Sauvegarde.h"
#include "Schema.h"
#include "frmAccueil.h"
#include "frmSynchro.h"

#include <QTest>
#include <QtWidgets>

using namespace oxi;

namespace {

// Records whether the busy pointer was still shown when a message came.
class MessagerieSablier : public MessagerieScriptee
{
public:
    void Information(const QString &texte) override
    {
        sablierPendantMessage = sablierPendantMessage || QApplication::overrideCursor() != nullptr;
        MessagerieScriptee::Information(texte);
    }
    bool sablierPendantMessage = false;
};

// The controls of the panel of a kind of reminder.
struct Genre
{
    QString icone, liste, boutons, valider, delai;
};

Genre DuType(const QString &type)
{
    const Genre genres[] = {{"imgAnniv", "ListView2", "Anniv", "imgAVAlid2", "cboAnnivJ"},
                            {"imgFete", "ListView1", "Fetes", "imgFValid2", "cboFeteJ"},
                            {"imgNote", "ListView3", "Notes", "imgNValid2", "cboNotesJ"}};
    return genres[QStringLiteral("AFN").indexOf(type)];
}

// Label, event day, Ech2 and EtatEch1 of a stored reminder.
QString Rangee(qint64 n)
{
    return QStringList{Champ(n, "Libelle"), Champ(n, "DateRappel"), Champ(n, "Ech2"), Champ(n, "EtatEch1")}.join('|');
}

} // namespace

class TestPanneaux : public QObject
{
    Q_OBJECT
    EnvironnementTest *env = nullptr;
    MessagerieSablier *messages = nullptr;
    QList<QStringList> appels;
    QString reponse;
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
    // Selects the row of the reminder `num`.
    void Selectionne(const QString &liste, int num)
    {
        auto *vue = W<ListeRappels>(liste);
        vue->clearSelection();
        for (int i = 0; i < vue->topLevelItemCount(); ++i)
            if (vue->topLevelItem(i)->data(0, Qt::UserRole).toInt() == num)
                vue->setCurrentItem(vue->topLevelItem(i));
    }

    // The transfer panel as the main window opens it, beside one birthday; its chooser answers `reponse`
    // and records how it was called.
    PanneauTransfert *Transfert()
    {
        Base().Execute(
            "INSERT INTO Rappel VALUES (5,'1990-03-02','A','Martin#Paul','2026-03-02',1,'2026-02-23',0,'1800-01-01',0)");
        Clic("imgTransfert2");
        auto *panneau = W<PanneauTransfert>("fraTransfert");
        panneau->choisit = [this](const QString &depart, bool fichiers, bool centre, const QString &titre) {
            appels << QStringList{depart, fichiers ? "fichiers" : "dossiers", centre ? "centre" : "", titre};
            return reponse;
        };
        return panneau;
    }
    QString Fichier(const QByteArray &contenu)
    {
        QFile f(env->Dossier() + "/contacts.vcf");
        return f.open(QIODevice::WriteOnly) && f.write(contenu) == contenu.size() ? f.fileName() : QString();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        qunsetenv("DBUS_SESSION_BUS_ADDRESS"); // no keyring here: the file takes the password
    }
    void init()
    {
        messages = new MessagerieSablier;
        appels.clear();
        reponse.clear();
        env = new EnvironnementTest;
        FixeMaintenant(QDateTime(QDate(2026, 12, 5), QTime(10, 0)));
        fen = new frmAccueil;
        fen->show();
    }
    void cleanup()
    {
        fen->FermePourQuitter();
        delete fen;
        RetablitHorloge();
        delete env;
        delete messages;
    }

    // A window kept in the tray has no panels yet: whatever first shows it finds them built and usable.
    void panneauxAuPremierAffichageEtSaisieEnCours()
    {
        // The program has one main window: the one of init(), already shown, gives way.
        delete fen;
        fen = new frmAccueil;
        QVERIFY(!fen->findChild<QWidget *>("fraAnniv"));
        QMouseEvent mouvement(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(fen, &mouvement);
        AfficheAccueilDepuisEphemerides();
        QVERIFY(fen->isVisible() && !Montre("fraAnniv") && Montre("fraAccueil"));
        Clic("imgFete");
        QVERIFY(W("ListView1")->isVisible());
        QCOMPARE(fen->windowTitle(), "Oxi - Fêtes");

        // An entry under way locks the other panels and the window's closing.
        Clic("imgNote");
        Clic("imgANotes2");
        for (const char *icone : {"imgAnniv", "imgFete", "imgEphem", "imgTransfert2"})
            Clic(icone);
        for (const char *autre : {"fraAnniv", "fraFetes", "fraEphem", "fraTransfert", "fraAccueil"})
            QVERIFY2(!Montre(autre), autre);
        QVERIFY(fen->SaisieEnCours() && Montre("txtNotes"));
        fen->close();
        QCOMPARE(messages->infos, QStringList{"Vous devez valider ou annuler votre opération !"});
        QVERIFY(fen->isVisible());
        Clic("imgNAnnul2");
        Clic("imgAnniv");
        QVERIFY(!fen->SaisieEnCours() && Montre("fraAnniv") && !Montre("fraNotes"));
    }

    // name, day, month, year, lead time, then the message or DateRappel, Ech2, EtatEch1
    void saisieDAnniversaire_data()
    {
        Rangees("c",
                {"blank name|   |1|mai|1990||Ecrivez le nom d'une personne ou annulez.",
                 "no day|O'Hara||AVRIL|||Choisissez la date de naissance ou annulez.",
                 "year before 1871|O'Hara|3|avril|1870||Date invalide !",
                 "unreadable lead time|O'Hara|3|avril|1990|zz|Erreur lors de la lecture des valeurs saisies !",
                 "already there|O'Hara|1|mai|1990||Cet anniversaire existe déjà !",
                 // A birthday already past this year is done.
                 "31 April is 1 May|Zoé|31|AVRIL|1990|7 jours av|1990-05-01|2026-04-24|1",
                 "today, due|Zoé|5|décembre|?||1850-12-05|1800-01-01|0"});
    }
    void saisieDAnniversaire()
    {
        QFETCH(QStringList, c);
        const QStringList saisie = c.mid(0, 5), attendu = c.mid(5);
        Insere("A", "O'Hara#", QDate(1990, 5, 1));
        Clic("imgAnniv");
        Clic("imgAAnniv2");
        QCOMPARE(W<QComboBox>("cboAnnivA")->itemText(W<QComboBox>("cboAnnivA")->count() - 1), "2026");
        W<QLineEdit>("txtNomAnniv")->setText(saisie[0]);
        const QStringList boites{"cboAnnivJ", "cboAnnivM", "cboAnnivA", "cboAnnivJ1"};
        for (int i = 0; i < (saisie[4].isEmpty() ? 3 : 4); ++i)
            Ecrit(boites[i], saisie[i + 1]);
        Clic("imgAVAlid2");
        const bool refus = attendu.size() == 1;
        QCOMPARE(messages->infos, refus ? attendu : QStringList());
        QCOMPARE(fen->SaisieEnCours(), refus);
        QCOMPARE(Compte("SELECT COUNT(*) FROM Rappel"), refus ? 1 : 2);
        if (!refus) {
            QCOMPARE(Rangee(2), saisie[0] + "#|" + attendu.join('|'));
            QVERIFY(Montre("ListView2"));
        }
    }

    // type, year; the messages to modify and to delete with nothing chosen, the question, the row gone
    void modificationEtSuppressionDeLaRangeeChoisie_data()
    {
        Rangees("c",
                {"birthdays|A|1980|Pour modifier, sélectionnez une personne. |Sélectionnez une personne à supprimer. "
                 "|Etes-vous sûr de vouloir supprimer ce rappel d'anniversaire ?|Aucune donnée trouvée !",
                 "name days|F|2026|Pour modifier, sélectionnez un prénom. |Sélectionnez le prénom à supprimer. "
                 "|Etes-vous sûr de vouloir supprimer ce rappel de fête ?|Erreur: impossible de modifier !",
                 "notes|N|2026|Pour modifier, sélectionnez une note. |Sélectionnez la note à supprimer. "
                 "|Etes-vous sûr de vouloir supprimer cette note ?|Erreur: impossible de modifier !"});
    }
    void modificationEtSuppressionDeLaRangeeChoisie()
    {
        QFETCH(QStringList, c);
        const QString type = c[0];
        const QStringList textes = c.mid(2);
        const Genre g = DuType(type);
        const QString modifier = "imgM" + g.boutons + "2", supprimer = "imgS" + g.boutons + "2";
        // Two rows with the same label; the first 10 days ahead of 5 January, across New Year.
        const QString libelle = type == "A" ? "O'Hara#Jean" : "O'Hara";
        const int a = Insere(type, libelle, QDate(c[1].toInt(), 1, 5), QDate(2025, 12, 26));
        const int b = Insere(type, libelle, QDate(c[1].toInt(), 12, 20));
        Clic(g.icone);
        auto *vue = W<ListeRappels>(g.liste);
        Clic(modifier);
        Clic(supprimer);
        QCOMPARE(messages->infos, textes.mid(0, 2));
        QVERIFY(!fen->SaisieEnCours());

        // The lead time comes back; an unchanged date keeps its done flag.
        Selectionne(g.liste, a);
        Clic(modifier);
        QVERIFY(fen->SaisieEnCours());
        QCOMPARE(W<QComboBox>(g.delai + "1")->currentText() + '|' + W<QComboBox>(g.delai + "2")->currentText(),
                 "10 jours av| Aucune");
        QVERIFY(!W<QCheckBox>("chk" + type + "J1")->isChecked());
        Clic(g.valider);
        QCOMPARE(Champ(a, "Ech2") + Champ(a, "EtatEch2"), "2025-12-261");

        // The look-alike, by double click: its lead time moves ahead and is due again.
        Selectionne(g.liste, b);
        QTest::mouseDClick(vue->viewport(), Qt::LeftButton, {}, vue->visualItemRect(vue->currentItem()).center());
        W<QComboBox>(g.delai + "1")->setCurrentIndex(5);
        Clic(g.valider);
        QCOMPARE(Champ(b, "Ech2") + Champ(b, "EtatEch2"), "2026-12-150");
        QCOMPARE(Champ(a, "Ech2"), "2025-12-26");

        // Delete key: No keeps the row, Yes deletes the selected one only.
        Selectionne(g.liste, b);
        messages->Vide();
        QTest::keyClick(vue, Qt::Key_Delete);
        QCOMPARE(messages->questions, textes.mid(2, 1));
        messages->reponses << true;
        Clic(supprimer);
        QCOMPARE(Compte("SELECT COUNT(*) FROM Rappel"), 1);
        QCOMPARE(Champ(a, "Libelle"), libelle);
        QCOMPARE(Compte("SELECT COUNT(*) FROM Notes"), type == "N" ? 1 : 0);
        QCOMPARE(vue->topLevelItemCount(), 1);

        // A row gone behind the list's back.
        Selectionne(g.liste, a);
        Base().Execute("DELETE FROM Rappel");
        messages->Vide();
        Clic(modifier);
        messages->reponses << true;
        Clic(supprimer);
        QCOMPARE(messages->infos, (QStringList{textes.at(3), "Erreur lors de la suppression !"}));
        QVERIFY(!fen->SaisieEnCours() && vue->isVisible());
    }

    // Each button sorts its own panel: rows 1, 3, 5 first by name or date, 2, 4, 6 by first name or title.
    void boutonsDeTri()
    {
        for (const QString type : {"A", "F", "N"}) {
            Insere(type, type == "A" ? "Alpha#Zoé" : "Zoé", QDate(type == "A" ? 1990 : 2026, 3, 1));
            Insere(type, type == "A" ? "Zulu#Anne" : "Anne", QDate(type == "A" ? 1990 : 2026, 6, 1));
        }
        for (const QString tri :
             {"TriAN2 1", "TriAP2 2", "TriAD2 1", "TriFD2 3", "TriFP2 4", "TriFD2 3", "TriNT2 6", "TriND2 5"}) {
            const Genre g = DuType(tri.mid(3, 1));
            Clic(g.icone);
            Clic(tri.left(6));
            const int premier = W<ListeRappels>(g.liste)->topLevelItem(0)->data(0, Qt::UserRole).toInt();
            QVERIFY2(premier == tri.right(1).toInt(), qPrintable(tri));
        }
    }

    void saisieDeFete()
    {
        Clic("imgFete");
        Clic("imgAFetes2");
        auto *cbo = W<QComboBox>("cboFetes");
        Clic("imgFValid2"); // an unreadable typed text is the table of tst_regles
        QCOMPARE(messages->infos, QStringList{"Choisissez un prénom ou annulez."});
        cbo->setCurrentIndex(cbo->findText("Charles le Bon - 2 mars"));
        W<QComboBox>("cboFeteJ1")->setCurrentIndex(3);
        Clic("imgFValid2");
        QCOMPARE(Rangee(1), "Charles le Bon|2026-03-02|2026-02-27|1");
        // Modifier cannot change the first name; the next Ajouter loads the names again.
        Selectionne("ListView1", 1);
        Clic("imgMFetes2");
        QVERIFY(!cbo->isEnabled() && cbo->count() == 0);
        QCOMPARE(cbo->currentText(), "Charles le Bon - 2 mars");
        Clic("imgFAnnul2");
        Clic("imgAFetes2");
        QVERIFY(cbo->count() > 1000 && cbo->isEnabled());
    }

    void saisieDeNote()
    {
        Clic("imgNote");
        Clic("imgANotes2");
        QCOMPARE(W<QDateEdit>("DTDateNote")->date(), QDate(2026, 12, 5));
        auto *texte = W<QPlainTextEdit>("txtNotes");
        texte->setPlainText(QString(600, 'x'));
        QCOMPARE(texte->toPlainText().size(), 500);
        W<QDateEdit>("DTDateNote")->setDate(QDate(2027, 1, 3));
        W<QComboBox>("cboNotesJ1")->setCurrentIndex(4);
        Clic("imgNValid2");
        // The note's own year does not enter the due dates.
        QCOMPARE(Rangee(1), "Sans titre|2027-01-03|2025-12-30|1");

        // A change: quotes, "%", "#" and a short text.
        Selectionne("ListView3", 1);
        Clic("imgMNotes2");
        QCOMPARE(texte->toPlainText(), QString(500, 'x'));
        W<QLineEdit>("txtTitreNote")->setText("L'été \"100%\" #1");
        texte->setPlainText("0123456789");
        Ecrit("cboNotesJ2", "2");
        Clic("imgNValid2");
        QCOMPARE(Champ(1, "Libelle") + Champ(1, "Ech3"), "L'été \"100%\" #12026-01-01");
        QCOMPARE(Compte("SELECT COUNT(*) FROM Notes WHERE Libelle1='0123456789' AND Libelle2 IS NULL"), 1);

        // A failing write: nothing stored, the panel reset.
        Base().Execute("CREATE TRIGGER refus BEFORE INSERT ON Notes BEGIN SELECT RAISE(ABORT, 'refus'); END");
        Clic("imgANotes2");
        W<QLineEdit>("txtTitreNote")->setText("Perdue");
        Clic("imgNValid2");
        QCOMPARE(messages->infos, QStringList{"Erreur lors de l'ajout en base !"});
        QCOMPARE(Compte("SELECT COUNT(*) FROM Rappel"), 1);
        QVERIFY(!fen->SaisieEnCours() && Montre("ListView3") && W<QLineEdit>("txtTitreNote")->text().isEmpty());
    }

    // The transfer panel: backups, contacts in, and the exchange settings, with the real windows -------------
    // Today's name in the program's folder or a chosen one; refusals leave the panel open and as typed.
    // The database's own name and the compaction's are refused by the backup itself (tst_base).
    // name (empty: today's), folder (empty: the program's; "-": chooser cancelled), message (empty: saved)
    void sauvegarde_data()
    {
        Rangees("c",
                {"defaults|||", "chosen folder||sauvegardes|", "blank name|   ||Saisissez un nom de sauvegarde !",
                 "folder chooser cancelled|a.bak|-|Sélectionnez un répertoire de destination !",
                 "slash in the name|../x||Le nom de sauvegarde ne peut pas contenir le caractère « / » !"});
    }
    void sauvegarde()
    {
        PanneauTransfert *panneau = Transfert();
        QFETCH(QStringList, c);
        const QString nom = c[0], dossier = c[1], message = c[2];
        QCOMPARE(panneau->txtSauvName->text() + '|' + panneau->TxtSauvDir->text(), "Oxi_Sauv_05_12|" + CheminAppli());
        QString chemin = CheminAppli() + "Oxi_Sauv_05_12.dtb";
        if (!nom.isEmpty())
            panneau->txtSauvName->setText(nom);
        if (!dossier.isEmpty()) {
            QVERIFY(dossier == "-" || QDir(env->Dossier()).mkdir(dossier));
            reponse = dossier == "-" ? QString() : env->Dossier() + '/' + dossier;
            panneau->ChoisitDossierSauvegarde();
            QCOMPARE(appels, (QList<QStringList>{{CheminAppli(), "dossiers", "centre", "Sélectionnez un répertoire"}}));
            chemin = reponse + "/Oxi_Sauv_05_12.dtb";
        }
        panneau->ValideSauvegarde();
        QVERIFY(!messages->sablierPendantMessage && !QApplication::overrideCursor());
        if (message.isEmpty()) {
            QCOMPARE(messages->infos, QStringList{"Sauvegarde effectuée avec succès dans : \r\n" + chemin});
            QVERIFY(QFileInfo(chemin).isFile());
            QVERIFY(panneau->isHidden() && panneau->txtSauvName->text().isEmpty() && panneau->TxtSauvDir->text().isEmpty());
            return;
        }
        QVERIFY(messages->infos.size() == 1 && messages->infos.at(0).startsWith(message) && panneau->isVisible());
        QCOMPARE(panneau->txtSauvName->text(), nom);
    }

    // the backup chosen, the rows after, the messages
    void restauration_data()
    {
        Rangees("c",
                {"good backup|bonne.dtb|1|Restauration effectuée avec succès ",
                 "empty backup|vide.dtb|2|La sauvegarde est vide.|Restauration annulée."});
    }
    void restauration()
    {
        PanneauTransfert *panneau = Transfert();
        QFETCH(QStringList, c);
        const QString fichier = c[0];
        const int rappels = c[1].toInt();
        reponse = env->Dossier() + '/' + fichier;
        Connexion vide;
        QVERIFY(rappels == 1 ? SauvegardeBase(reponse) : vide.Cree(reponse, CleBase));
        for (const QString &schema : {SchemaRappel, SchemaNotes})
            if (vide.EstOuverte()) // the empty backup: the tables alone
                vide.Execute(schema);
        vide.Ferme();
        Base().Execute("INSERT INTO Rappel SELECT 6,DateRappel,Type,Libelle,Ech1,0,Ech2,0,Ech3,0 FROM Rappel");
        panneau->ChoisitSauvegardeARestaurer();
        QCOMPARE(appels, (QList<QStringList>{{CheminAppli(), "fichiers", "centre", "Sélectionnez un répertoire"}}));
        QCOMPARE(panneau->txtRestauName->text(), reponse);
        panneau->ValideRestauration();
        QCOMPARE(messages->infos, c.mid(2));
        QCOMPARE(OuvreRecordset("SELECT count(*) FROM Rappel").Valeur(0, 0).toInt(), rappels);
        QVERIFY(!messages->sablierPendantMessage && !QApplication::overrideCursor());
        // Once the panel was reset, the chosen file is forgotten: nothing chosen, nothing restored.
        QVERIFY(panneau->isHidden() && panneau->txtRestauName->text().isEmpty());
        messages->Vide();
        panneau->Initialise();
        panneau->ValideRestauration();
        QCOMPARE(messages->infos, QStringList{"Sélectionnez une sauvegarde !"});
        QCOMPARE(OuvreRecordset("SELECT count(*) FROM Rappel").Valeur(0, 0).toInt(), rappels);
    }

    void importe()
    {
        PanneauTransfert *panneau = Transfert();
        const QString chemin = Fichier("BEGIN:VCARD\nVERSION:3.0\nN:Martin;Alain\nBDAY:1970-09-09\nEND:VCARD\n"
                                       "BEGIN:VCARD\nVERSION:3.0\nN:Sans;Date\nEND:VCARD\n");
        panneau->choisitContacts = [&](const QString &) { return chemin; };
        bool annule = true;
        QString bilan;
        panneau->confirmeImport = [&](const PlanImport &plan) -> std::optional<ChoixImport> {
            frmImportContacts f(plan);
            f.show();
            bilan = f.lblBilan->text();
            f.cboImportJ1->setCurrentIndex(7);
            f.chkImportFetes->setChecked(true);
            return annule ? std::nullopt : std::optional(f.Choix());
        };
        panneau->ImporteFichierContacts();
        QCOMPARE(bilan, "1 anniversaire ajouté,\n0 déjà présent,\n1 contact sans date de naissance,\n0 fiche illisible.");
        QCOMPARE(LitRappelsEchange().size(), 1); // cancelled: nothing written

        annule = false;
        panneau->ImporteFichierContacts();
        QCOMPARE(LitRappelsEchange().at(1).echeances[2].date, QDate(2026, 9, 2)); // the chosen lead time
        QVERIFY(messages->infos.last().startsWith("Import terminé :"));

        // A file that is not an address book: a message, nothing asked.
        QCOMPARE(Fichier("\x89PNG"), chemin); // the same file chosen, now a picture
        bilan.clear();
        panneau->ImporteFichierContacts();
        QVERIFY(bilan.isEmpty());
        QVERIFY(messages->infos.last().startsWith("Ce fichier ne contient aucune fiche de contact"));
    }

    // A remote http address is refused and nothing is kept;
    // a good one is kept, its password in an owner-only file and nowhere in oxi.conf.
    void reglages()
    {
        frmSynchro fenetre(nullptr);
        fenetre.show();
        QVERIFY(QTest::qWaitForWindowExposed(&fenetre));
        fenetre.txtAdresse->setText("http://192.0.2.1/dav/");
        fenetre.txtUtilisateur->setText("alice");
        fenetre.txtMotDePasse->setText("Motdepasse-7");
        fenetre.SynchroniseMaintenant();
        QVERIFY(messages->infos.size() == 1 && messages->infos.first().contains("https"));
        QVERIFY(LitReglage(ReglageAdresse).isEmpty());

        fenetre.txtAdresse->setText("https://dav.exemple.org/");
        fenetre.SynchroniseMaintenant();
        QTRY_VERIFY(QFile::exists(CheminSecret()));
        QCOMPARE(LitReglage(ReglageAdresse), "https://dav.exemple.org/");
        QString erreur;
        QCOMPARE(LitSecret(&erreur), "Motdepasse-7");
        QCOMPARE(QFile::permissions(CheminSecret()) & 0x0077, 0); // nothing for the group or others
        QVERIFY(messages->infos.last().contains(CheminSecret()));
        QFile conf(env->Dossier() + QString("/config/%1/%1.conf").arg(NomAppli()));
        QVERIFY(conf.open(QIODevice::ReadOnly) && !conf.readAll().contains("Motdepasse-7"));
    }
};

OXI_TEST_MAIN(TestPanneaux)
#include "tst_panneaux.moc"
