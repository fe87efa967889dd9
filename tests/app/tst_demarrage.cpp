// The program's start, its keys and its menu, and the small windows they open.
#include "Base.h"
#include "Chemins.h"
#include "Demarrage.h"
#include "Dialogues.h"
#include "Fenetres.h"
#include "OutilsTest.h"
#include "PlateformeTest.h"
#include "Polices.h"
#include "Rangees.h"
#include "Region.h"
#include "Reglages.h"
#include "TraductionDifferee.h"
#include "VerrouInstance.h"
#include "frmAbout.h"
#include "frmAccueil.h"
#include "frmPremiereFois.h"
#include "frmRegistre.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPointer>
#include <QTest>

using namespace oxi;

class TestDemarrage : public QObject
{
    Q_OBJECT
    EnvironnementTest *env = nullptr;
    MessagerieScriptee *messages = nullptr;
    std::unique_ptr<PlateformeTest> plateforme;
    std::unique_ptr<Programme> programme;
    Dialogues dialogues;

private Q_SLOTS:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        InstallePolices();
    }
    void init()
    {
        messages = new MessagerieScriptee;
        env = new EnvironnementTest;
        FermeBase();
        plateforme = std::make_unique<PlateformeTest>();
        InstallePlateforme(plateforme.get());
        programme = std::make_unique<Programme>();
    }
    void cleanup()
    {
        programme->Quitte();
        programme.reset();
        dialogues.Ferme();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        InstallePlateforme(nullptr);
        delete env;
        delete messages;
    }

    // The second instance's refusal; that it leaves the files alone is the end-to-end run's.
    void secondeInstanceRefusee()
    {
        plateforme->verrouLibre = false;
        QVERIFY(!programme->Demarre());
        QCOMPARE(messages->infos,
                 QStringList{"Oxi est déjà en cours d'exécution.\r\nPour accéder au menu, cliquez sur l'icône "
                             "dans la zone de notification"});
        QVERIFY(!Base().EstOuverte() && !programme->Fenetre());

        // The lock's place without a runtime folder, and a folder that cannot be written; the runtime folder's
        // place and two starts racing for it are the end-to-end run's (another user's Oxi starts beside it).
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        qunsetenv("XDG_RUNTIME_DIR");
        const QString repli = CheminVerrouInstance("oxi");
        QVERIFY(repli.endsWith("/oxi.lock") && VerrouInstance(repli).Prend());
        // Not a lock held by someone.
        VerrouInstance ailleurs("/proc/oxi.lock");
        QVERIFY(!ailleurs.Prend() && ailleurs.Impossible());
        if (!runtime.isEmpty())
            qputenv("XDG_RUNTIME_DIR", runtime);
    }

    // French of four countries starts (Canada's weeks begin on Sunday); Swiss French and others say why not.
    void parametresRegionaux_data()
    {
        Rangees("c",
                {"France|fr_FR.UTF-8|2", "Belgique|fr_BE|2", "Canada|fr_CA.UTF-8|1", "Luxembourg|fr_LU|2",
                 "Suisse|fr_CH|Oxi ne fonctionne pas si vos paramètres régionaux sont de type Français Suisse.",
                 "anglais|en_US|Oxi ne fonctionne pas si vos paramètres régionaux ne sont pas de type Français."});
    }
    void parametresRegionaux()
    {
        QFETCH(QStringList, c);
        plateforme->langue = IdentifiantPourLocale(c[0]);
        const bool demarre = c[1].size() == 1;
        QCOMPARE(programme->Demarre(), demarre);
        if (demarre)
            QCOMPARE(PremierJourSemaine(), c[1].toInt());
        const QString standard =
            "\r\nPour utiliser Oxi, vous devez les modifier en Français Standard (cf. paramètres régionaux du système).";
        QCOMPARE(messages->infos, demarre ? QStringList() : QStringList{c[1] + standard});
    }

    void baseAbimeeSignaleeAvantLaRegion()
    {
        QFile fichier(env->CheminBase());
        QVERIFY(fichier.open(QIODevice::WriteOnly | QIODevice::Truncate) && fichier.write(QByteArray(4096, '\x11'))
                && fichier.flush());
        plateforme->langue.clear();
        QVERIFY(!programme->Demarre());
        QCOMPARE(messages->critiques, QStringList{"Echec de la connection ! "});
        QVERIFY(messages->infos.isEmpty());
    }

    // Only the exact text "1" marks a later start; otherwise the program registers itself again
    // (the entry's text is the end-to-end run's). Then the function keys of the last start's window.
    void demarrageAutomatiqueEtTouchesDeFonction()
    {
        for (const QString valeur : {"", "1 ", "1"}) {
            programme->Quitte();
            plateforme->SupprimeDemarrage(NomAppli());
            EcritReglage(ReglagePremiereFois, valeur);
            QVERIFY(programme->Demarre() && programme->Fenetre());
            QCOMPARE(plateforme->TestDemarrage(NomAppli()), valeur != QLatin1String("1"));
        }
        frmAccueil *fenetre = programme->Fenetre();
        QTest::keyClick(fenetre, Qt::Key_F9);
        QVERIFY(plateforme->TestDemarrage(NomAppli()));
        QTest::keyClick(fenetre, Qt::Key_F10);
        QVERIFY(!plateforme->TestDemarrage(NomAppli()));
        QTest::keyClick(fenetre, Qt::Key_F11);
        QCOMPARE(LitReglage(ReglagePremiereFois), "0");
        // F8 opens the stored-settings window; the exit closes it with the rest.
        QTest::keyClick(fenetre, Qt::Key_F8);
        QCOMPARE(Visibles("frmRegistre").size(), 1);
        programme->Quitte();
        QVERIFY(Visibles("frmRegistre").isEmpty());
        QCOMPARE(messages->infos,
                 (QStringList{
                     "Oxi se lancera automatiquement au démarrage.\r\nAppuyez sur F10 pour empêcher ce démarrage automatique.",
                     "Oxi ne se lancera plus automatiquement au démarrage.\r\nAppuyez sur F9 pour relancer automatiquement.",
                     "La fenêtre 'Première utilisation' sera affichée au prochain démarrage de Oxi."}));
    }

    // The started program's window, with no database file (it starts all the same): the first-use window's help
    // picture brings it forward, whose help key opens the help; its icon's menu; its close box.
    void fenetreDuProgramme()
    {
        QFile::remove(env->CheminBase());
        EcritReglage(ReglagePremiereFois, "1");
        QVERIFY(programme->Demarre() && NomBase().isEmpty());
        messages->Vide(); // the reminder scan's word on the missing base is tst_rappels'
        frmAccueil *fenetre = programme->Fenetre();
        // Offscreen has no notification area: the window opened.
        QVERIFY(fenetre->isVisible());
        fenetre->hide();
        frmPremiereFois premiere;
        premiere.show();
        premiere.MontreAide();
        QCoreApplication::sendPostedEvents();
        QVERIFY(fenetre->isVisible() && premiere.isVisible());
        QVERIFY(plateforme->documents.size() == 1 && plateforme->documents.first().endsWith("/HelpOxi.html"));

        auto *menu = fenetre->findChild<QMenu *>("mnuFichiers");
        QVERIFY(menu);
        QStringList textes;
        for (QAction *action : menu->actions())
            textes << (action->isSeparator() ? "-" : action->text());
        QCOMPARE(textes, (QStringList{"&Paramétrer", "-", "&Ephémérides", "&Aide", "A propo&s", "&Quitter"}));
        // "&Aide" with no browser: the message gives the help file's path.
        plateforme->documentOuvrable = false;
        menu->actions().at(3)->trigger();
        QCOMPARE(messages->infos,
                 QStringList{"Oxi n'a pas pu ouvrir l'aide dans votre navigateur.\r\nVous la trouverez dans le fichier : "
                             + CheminAide()});

        // Without a notification area the close box minimises; with one it hides.
        fenetre->close();
        QVERIFY(fenetre->isMinimized() || fenetre->isVisible());
        fenetre->FixeSansZoneNotification(false);
        fenetre->showNormal();
        fenetre->close();
        QVERIFY(!fenetre->isVisible());
    }

    // Through characters a desktop entry must escape; an entry naming a program not there (moved) reads as off.
    void demarrageAutoNommantLeProgramme()
    {
        PlateformeLinux linux_;
        const QString exe = env->Dossier() + "/100% \"à moi\" $HOME `x` \\ é/oxi";
        QDir().mkpath(QFileInfo(exe).absolutePath());
        linux_.AjouteDemarrage("oxi", exe);
        QVERIFY(!linux_.TestDemarrage("oxi"));
        QFile(exe).open(QIODevice::WriteOnly);
        QVERIFY(linux_.TestDemarrage("oxi"));
        linux_.SupprimeDemarrage("oxi");
        QVERIFY(!QFile::exists(CheminDemarrage("oxi")));
    }

    // The small windows ------------------------------------------------------------------------------
    // The setting is written only when the box is clear at closing, however the window closes.
    void reglageDePremiereUtilisation_data()
    {
        // the box's states after each click, closed by quitting the program, the setting after
        Rangees("c", {"closed untouched|||", "box cleared|0||1", "cleared, ticked again|01||", "cleared, then quit|0|quit|1"});
    }
    void reglageDePremiereUtilisation()
    {
        QFETCH(QStringList, c);
        dialogues.AffichePremiereFois();
        dialogues.AffichePremiereFois();
        const QWidgetList fenetres = Visibles("frmPremiereFois");
        QCOMPARE(fenetres.size(), 1);
        QPointer<frmPremiereFois> fenetre = qobject_cast<frmPremiereFois *>(fenetres.at(0));
        QVERIFY(fenetre->chkRappel->isChecked());
        for (const QChar coche : c[0]) {
            QTest::mouseClick(fenetre->chkRappel, Qt::LeftButton, {}, QPoint(8, fenetre->chkRappel->height() / 2));
            QCOMPARE(fenetre->chkRappel->isChecked(), coche == '1');
        }
        if (c[1] == "quit")
            dialogues.Ferme();
        else
            QVERIFY(fenetre->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!fenetre);
        QCOMPARE(LitReglage(ReglagePremiereFois), c[2]);
    }

    void motDePasseDesReglages_data()
    {
        Rangees("c", {"other letter case|KZWQ7351|", "trailing blank|kzwq7351 |", "exact|kzwq7351|1"});
    }
    void motDePasseDesReglages()
    {
        QFETCH(QStringList, c);
        const bool accepte = !c[1].isEmpty();
        frmRegistre fenetre;
        fenetre.show();
        QTest::keyClicks(fenetre.txtPass, c[0]);
        // Enter in the box works like the button.
        QTest::keyClick(fenetre.txtPass, Qt::Key_Return);
        QCOMPARE(fenetre.lblReg->isVisible(), accepte);
        QCOMPARE(fenetre.fraAut->isVisible(), !accepte);
        QCOMPARE(messages->infos, accepte ? QStringList() : QStringList{"Mot de pass incorrect !"});
        QVERIFY(fenetre.txtPass->text().isEmpty() || accepte);
    }

    void lignesDesReglages()
    {
        const auto Lignes = [] { return frmRegistre::TexteRegistre().split("\r\n"); };
        // An empty store and no autostart entry.
        QCOMPARE(Lignes(),
                 (QStringList{"Base de donnée: " + CheminAppli() + "DBOxi.dtb", "Lancement automatique: Non",
                              "Affichage de la fenêtre 1ère fois: Oui", "Affichage des éphémérides: Non",
                              "Affichage des fêtes: Non", "Affichage des dictons: Non", "Affichage des infos mois: Non"}));

        // An entry naming this program; one naming a program gone reads as off (demarrageAutoNommantLeProgramme).
        plateforme->AjouteDemarrage(NomAppli(), CheminExecutable());
        QCOMPARE(Lignes().at(1), "Lancement automatique: Oui");
    }

    void liensDeLaBoiteAPropos()
    {
        frmAbout fenetre;
        fenetre.show();
        QTest::mouseClick(fenetre.lblWeb, Qt::LeftButton);
        QTest::mouseClick(fenetre.lblWeb2, Qt::LeftButton);
        // No site yet: the home page is the help; the card is a blank e-mail.
        QVERIFY(AdresseSite().startsWith("file:///") && AdresseSite().endsWith("/HelpOxi.html"));
        QCOMPARE(plateforme->documents, (QStringList{AdresseSite(), "mailto:"}));

        // No system-information tool: the message, the box stays open.
        QTest::mouseClick(fenetre.cmdSysInfo, Qt::LeftButton);
        QTest::mouseClick(fenetre.lblInfos, Qt::LeftButton);
        QCOMPARE(plateforme->lancements, 2);
        QCOMPARE(messages->infos, QStringList(2, "Les informations système ne sont pas disponibles actuellement"));
        QVERIFY(fenetre.isVisible());
    }

    // Qt's own buttons in French, from the file read at the first text asked for.
    void boutonsDeQtEnFrancais()
    {
        TraductionDifferee traduction;
        qApp->installTranslator(&traduction);
        const QDialogButtonBox boutons(QDialogButtonBox::Yes | QDialogButtonBox::Cancel);
        QCOMPARE(boutons.button(QDialogButtonBox::Yes)->text() + '|' + boutons.button(QDialogButtonBox::Cancel)->text(),
                 "&Oui|Annuler");
        QCOMPARE(qApp->layoutDirection(), Qt::LeftToRight);
    }
};

OXI_TEST_MAIN(TestDemarrage)
#include "tst_demarrage.moc"
