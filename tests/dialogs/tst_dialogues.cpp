#include "Chemins.h"
#include "Constantes.h"
#include "Dialogues.h"
#include "OutilsTest.h"
#include "PlateformeTest.h"
#include "Polices.h"
#include "Reglages.h"
#include "frmAbout.h"
#include "frmPremiereFois.h"
#include "frmRegistre.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QTest>
#include <memory>

using namespace oxi;

namespace {

// Stands in for the main window: records the keys it receives.
class FenetrePrincipale : public QWidget
{
public:
    FenetrePrincipale() { setObjectName("frmAccueil"); }
    QList<int> touches;

protected:
    void keyPressEvent(QKeyEvent *event) override { touches << event->key(); }
};

} // namespace

class TestDialogues : public QObject
{
    Q_OBJECT
    MessagerieScriptee messages;
    std::unique_ptr<EnvironnementTest> env;
    std::unique_ptr<PlateformeTest> plateforme;
    Dialogues dialogues;

private Q_SLOTS:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        InstallePolices();
    }
    void init()
    {
        env = std::make_unique<EnvironnementTest>();
        plateforme = std::make_unique<PlateformeTest>();
        InstallePlateforme(plateforme.get());
    }
    void cleanup()
    {
        dialogues.Ferme();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        InstallePlateforme(nullptr);
        plateforme.reset();
        env.reset();
        messages.Vide();
    }

    // The setting is written only when the box is clear at closing, however the window closes.
    void reglageDePremiereUtilisation_data()
    {
        QTest::addColumn<QList<bool>>("clics");
        QTest::addColumn<bool>("parQuitter");
        QTest::addColumn<QString>("apres");
        QTest::newRow("closed untouched") << QList<bool>{} << false << QString();
        QTest::newRow("box cleared") << QList<bool>{false} << false << "1";
        QTest::newRow("cleared then ticked again") << QList<bool>{false, true} << false << QString();
        QTest::newRow("box cleared, program quit") << QList<bool>{false} << true << "1";
    }
    void reglageDePremiereUtilisation()
    {
        QFETCH(QList<bool>, clics);
        QFETCH(bool, parQuitter);
        QFETCH(QString, apres);
        dialogues.AffichePremiereFois();
        dialogues.AffichePremiereFois();
        QList<QPointer<frmPremiereFois>> fenetres;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *f = qobject_cast<frmPremiereFois *>(w); f && f->isVisible())
                fenetres << f;
        QCOMPARE(fenetres.size(), 1);
        QPointer<frmPremiereFois> fenetre = fenetres.at(0);
        QVERIFY(fenetre->chkRappel->isChecked());
        for (bool coche : clics) {
            QTest::mouseClick(fenetre->chkRappel, Qt::LeftButton, {}, QPoint(8, fenetre->chkRappel->height() / 2));
            QCOMPARE(fenetre->chkRappel->isChecked(), coche);
        }
        if (parQuitter)
            dialogues.Ferme();
        else
            QVERIFY(fenetre->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!fenetre);
        QCOMPARE(LitReglage(ReglagePremiereFois), apres);
    }

    void imageDAideAmeneLaFenetreEtSonAide()
    {
        frmPremiereFois fenetre;
        fenetre.show();
        FenetrePrincipale principale;
        fenetre.MontreAide();
        QVERIFY(principale.isVisible());
        QCoreApplication::sendPostedEvents(&principale);
        QCOMPARE(principale.touches, QList<int>{Qt::Key_F1});
        QVERIFY(fenetre.isVisible());
    }

    void motDePasseDesReglages_data()
    {
        QTest::addColumn<QString>("essai");
        QTest::addColumn<bool>("accepte");
        QTest::newRow("other letter case") << "KZWQ7351" << false;
        QTest::newRow("trailing blank") << "kzwq7351 " << false;
        QTest::newRow("exact") << "kzwq7351" << true;
    }
    void motDePasseDesReglages()
    {
        QFETCH(QString, essai);
        QFETCH(bool, accepte);
        frmRegistre fenetre;
        fenetre.show();
        QTest::keyClicks(fenetre.txtPass, essai);
        // Enter in the box works like the button.
        QTest::keyClick(fenetre.txtPass, Qt::Key_Return);
        QCOMPARE(fenetre.lblReg->isVisible(), accepte);
        QCOMPARE(fenetre.fraAut->isVisible(), !accepte);
        QCOMPARE(messages.infos, accepte ? QStringList() : QStringList{"Mot de pass incorrect !"});
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

        // An entry naming an existing program, then the same entry once that program is gone.
        const QString programme = env->Dossier() + "/oxi-copie";
        QVERIFY(QFile(programme).open(QIODevice::WriteOnly));
        plateforme->AjouteDemarrage(NomAppli(), programme);
        QCOMPARE(Lignes().at(1), "Lancement automatique: Oui");
        QVERIFY(QFile::remove(programme));
        QCOMPARE(Lignes().at(1), "Lancement automatique: Non");
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
        QCOMPARE(messages.infos, QStringList(2, "Les informations système ne sont pas disponibles actuellement"));
        QVERIFY(fenetre.isVisible());
    }
};

OXI_TEST_MAIN(TestDialogues)
#include "tst_dialogues.moc"
