#include "Base.h"
#include "Chemins.h"
#include "Constantes.h"
#include "Dialogues.h"
#include "OutilsTest.h"
#include "Polices.h"
#include "Plateforme.h"
#include "Reglages.h"
#include "frmAbout.h"
#include "frmPremiereFois.h"
#include "frmRegistre.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>

using namespace oxi;

namespace {

// The real autostart entry, with the browser and the system-information tool recorded.
class PlateformeTest : public PlateformeLinux
{
public:
    void OuvreDocument(const QString &adresse) override { documents << adresse; }
    bool LanceInfosSysteme() override
    {
        ++lancements;
        return infosDisponibles;
    }
    QStringList documents;
    int lancements = 0;
    bool infosDisponibles = false;
};

// Stands in for the main window: records the keys it receives.
class FenetrePrincipale : public QWidget
{
public:
    FenetrePrincipale() { setObjectName(QStringLiteral("frmAccueil")); }
    QList<int> touches;

protected:
    void keyPressEvent(QKeyEvent *event) override { touches << event->key(); }
};

QStringList Lignes(const QString &texte)
{
    return texte.split(QStringLiteral("\r\n"));
}

void BougeSur(QWidget *widget)
{
    QMouseEvent mouvement(QEvent::MouseMove, QPointF(2, 2), widget->mapToGlobal(QPointF(2, 2)), Qt::NoButton,
                          Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &mouvement);
}

} // namespace

class TestDialogues : public QObject
{
    Q_OBJECT
    EnvironnementTest *env = nullptr;
    MessagerieScriptee *messages = nullptr;
    PlateformeTest *plateforme = nullptr;

private Q_SLOTS:
    void initTestCase() { InstallePolices(); }
    void init()
    {
        messages = new MessagerieScriptee;
        env = new EnvironnementTest;
        plateforme = new PlateformeTest;
        InstallePlateforme(plateforme);
    }
    void cleanup()
    {
        FermeDialogues();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        InstallePlateforme(nullptr);
        delete plateforme;
        delete env;
        delete messages;
    }

    void firstUseWindowLooksAsDesigned()
    {
        frmPremiereFois fenetre;
        QCOMPARE(fenetre.windowTitle(), QStringLiteral("Oxi Free - Première utilisation"));
        QCOMPARE(fenetre.size(), QSize(363, 219));
        QCOMPARE(Lignes(fenetre.lblTexteAccueil->text()),
                 (QStringList{"Merci d'avoir choisi Oxi Free.", "",
                              "Pour une première utilisation, il est conseillé d'utiliser l'aide Oxi.", "",
                              "Cependant, vous avez accès aux différentes fonctions par un clic-droit sur l'icône "
                              "situé dans la barre de démarrage, près de l'horloge...",
                              "Dans le menu A Propos, vous retrouverez l'adresse du site Web.", "", "Bonne journée."}));
        QCOMPARE(fenetre.chkRappel->text(), QStringLiteral("Afficher au prochain démarrage"));
        QVERIFY(fenetre.chkRappel->isChecked());
        QVERIFY(fenetre.imgAide.jumeau->isHidden());
        QCOMPARE(fenetre.imgAide.image->objectName(), QStringLiteral("imgAide1"));
        QCOMPARE(fenetre.imgAide.jumeau->objectName(), QStringLiteral("imgAide2"));
        QCOMPARE(fenetre.y(), 67);
        // The whole text fits its label, above the box.
        QVERIFY(fenetre.lblTexteAccueil->heightForWidth(fenetre.lblTexteAccueil->width())
                <= fenetre.lblTexteAccueil->height());
        QVERIFY(fenetre.lblTexteAccueil->geometry().bottom() < fenetre.chkRappel->geometry().top());
        if (qEnvironmentVariableIsSet("OXI_CAPTURES")) {
            fenetre.show();
            Q_EMIT fenetre.imgAide.image->survol();
            fenetre.grab().save(qEnvironmentVariable("OXI_CAPTURES") + QStringLiteral("/frmPremiereFois.png"));
        }
    }

    // The setting is written only when the box is clear at closing.
    void firstUseSettingCases_data()
    {
        QTest::addColumn<QString>("avant");
        QTest::addColumn<QList<bool>>("clics");
        QTest::addColumn<QString>("apres");
        QTest::newRow("closed untouched") << QString() << QList<bool>{} << QString();
        QTest::newRow("box cleared") << QString() << QList<bool>{false} << QStringLiteral("1");
        QTest::newRow("cleared then ticked again") << QString() << QList<bool>{false, true} << QString();
        QTest::newRow("shown again after F11") << QStringLiteral("0") << QList<bool>{} << QStringLiteral("0");
    }
    void firstUseSettingCases()
    {
        QFETCH(QString, avant);
        QFETCH(QList<bool>, clics);
        QFETCH(QString, apres);
        if (!avant.isNull())
            EcritReglage(ReglagePremiereFois, avant);
        AffichePremiereFois();
        QPointer<frmPremiereFois> fenetre;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *f = qobject_cast<frmPremiereFois *>(w))
                fenetre = f;
        QVERIFY(fenetre);
        QVERIFY(fenetre->isVisible());
        QVERIFY(fenetre->chkRappel->isChecked());
        for (bool coche : clics) {
            QTest::mouseClick(fenetre->chkRappel, Qt::LeftButton, {}, QPoint(8, fenetre->chkRappel->height() / 2));
            QCOMPARE(fenetre->chkRappel->isChecked(), coche);
        }
        QVERIFY(fenetre->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!fenetre);
        QCOMPARE(LitReglage(ReglagePremiereFois), apres.isNull() ? QString() : apres);
    }

    void quitClosesTheFirstUseWindowAndKeepsItsChoice()
    {
        AffichePremiereFois();
        AffichePremiereFois();
        QList<frmPremiereFois *> fenetres;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *f = qobject_cast<frmPremiereFois *>(w); f && f->isVisible())
                fenetres << f;
        QCOMPARE(fenetres.size(), 1);
        fenetres.at(0)->chkRappel->setChecked(false);
        FermeDialogues();
        QCOMPARE(LitReglage(ReglagePremiereFois), QStringLiteral("1"));
    }

    void helpPictureBringsTheMainWindowAndItsHelp()
    {
        frmPremiereFois fenetre;
        fenetre.show();
        Q_EMIT fenetre.imgAide.image->survol();
        QVERIFY(fenetre.imgAide.jumeau->isVisible());
        BougeSur(&fenetre);
        QVERIFY(fenetre.imgAide.jumeau->isHidden());

        // Without a main window the help opens directly.
        fenetre.imgAide2_Click();
        QCOMPARE(plateforme->documents.size(), 1);
        QVERIFY(plateforme->documents.at(0).endsWith(QStringLiteral("/HelpOxi.html")));

        FenetrePrincipale principale;
        principale.hide();
        fenetre.imgAide2_Click();
        QVERIFY(principale.isVisible());
        QCoreApplication::sendPostedEvents(&principale);
        QCOMPARE(principale.touches, QList<int>{Qt::Key_F1});
        QVERIFY(fenetre.isVisible());
    }

    void settingsWindowNeedsTheExactPassword()
    {
        frmRegistre fenetre;
        fenetre.show();
        QCOMPARE(fenetre.windowTitle(), QStringLiteral("Valeurs du registre"));
        QCOMPARE(fenetre.txtPass->echoMode(), QLineEdit::Password);
        QVERIFY(fenetre.Label1->width() >= fenetre.Label1->sizeHint().width());
        if (qEnvironmentVariableIsSet("OXI_CAPTURES"))
            fenetre.grab().save(qEnvironmentVariable("OXI_CAPTURES") + QStringLiteral("/frmRegistreVerrou.png"));
        for (const QString &essai : {QStringLiteral("KZWQ7351"), QStringLiteral("kzwq735"), QStringLiteral("kzwq7351 ")}) {
            QTest::keyClicks(fenetre.txtPass, essai);
            QTest::mouseClick(fenetre.cmdOK, Qt::LeftButton);
            QVERIFY(fenetre.txtPass->text().isEmpty());
            QVERIFY(fenetre.fraAut->isVisible());
            QVERIFY(fenetre.lblReg->isHidden());
        }
        QCOMPARE(messages->infos, QStringList(3, QStringLiteral("Mot de pass incorrect !")));

        // Enter in the box works like the button.
        messages->Vide();
        QTest::keyClicks(fenetre.txtPass, QStringLiteral("kzwq7351"));
        QTest::keyClick(fenetre.txtPass, Qt::Key_Return);
        QVERIFY(messages->tous.isEmpty());
        QVERIFY(fenetre.fraAut->isHidden());
        QVERIFY(fenetre.lblReg->isVisible());
        QCOMPARE(fenetre.lblReg->text().split(QLatin1Char('\n')).size(), 7);
        if (qEnvironmentVariableIsSet("OXI_CAPTURES"))
            fenetre.grab().save(qEnvironmentVariable("OXI_CAPTURES") + QStringLiteral("/frmRegistre.png"));
    }

    void settingsLines()
    {
        // An empty store and no autostart entry.
        QCOMPARE(Lignes(frmRegistre::TexteRegistre()),
                 (QStringList{QStringLiteral("Base de donnée: ") + CheminAppli() + QStringLiteral("DBOxi.dtb"),
                              "Lancement automatique: Non", "Affichage de la fenêtre 1ère fois: Oui",
                              "Affichage des éphémérides: Non", "Affichage des fêtes: Non",
                              "Affichage des dictons: Non", "Affichage des infos mois: Non"}));

        // An entry naming an existing file, then the same entry once that file is gone.
        const QString programme = env->Dossier() + QStringLiteral("/oxi-copie");
        QFile fichier(programme);
        QVERIFY(fichier.open(QIODevice::WriteOnly));
        fichier.close();
        plateforme->AjouteDemarrage(NomAppli(), programme);
        QCOMPARE(Lignes(frmRegistre::TexteRegistre()).at(1), QStringLiteral("Lancement automatique: Oui"));
        QVERIFY(QFile::remove(programme));
        QCOMPARE(Lignes(frmRegistre::TexteRegistre()).at(1), QStringLiteral("Lancement automatique: Non"));

        // Only the exact "1" means yes; the first-use line reads the other way round.
        EcritReglage(ReglagePremiereFois, QStringLiteral("1"));
        EcritReglage(ReglageEphemerides, QStringLiteral("1"));
        EcritReglage(ReglageFetes, QStringLiteral("2"));
        EcritReglage(ReglageDictons, QStringLiteral("1"));
        EcritReglage(ReglageMois, QStringLiteral(" 1"));
        const QStringList lignes = Lignes(frmRegistre::TexteRegistre());
        QCOMPARE(lignes.mid(2), (QStringList{"Affichage de la fenêtre 1ère fois: Non", "Affichage des éphémérides: Oui",
                                            "Affichage des fêtes: Non", "Affichage des dictons: Oui",
                                            "Affichage des infos mois: Non"}));

        // A database missing at start leaves the folder alone on the first line.
        NomBase().clear();
        QCOMPARE(Lignes(frmRegistre::TexteRegistre()).at(0), QStringLiteral("Base de donnée: ") + CheminAppli());
    }

    void aboutBox()
    {
        frmAbout fenetre;
        fenetre.show();
        QCOMPARE(fenetre.windowTitle(), QStringLiteral("À propos d'Oxi Free"));
        QCOMPARE(fenetre.lblVersion->text(), QStringLiteral("Version 1.5"));
        QCOMPARE(fenetre.lblLibelle->text().split(QLatin1Char('\n')).value(1), QStringLiteral("- Conception et Réalisation -"));
        QCOMPARE(fenetre.lblWeb->text(), AdresseSite);
        QCOMPARE(fenetre.lblWeb2->text(), AdresseCarte);

        QTest::mouseClick(fenetre.lblWeb, Qt::LeftButton);
        QTest::mouseClick(fenetre.lblWeb2, Qt::LeftButton);
        QCOMPARE(plateforme->documents, (QStringList{AdresseSite, AdresseCarte}));

        // No system-information tool: the message, the box stays open.
        QTest::mouseClick(fenetre.cmdSysInfo, Qt::LeftButton);
        QTest::mouseClick(fenetre.lblInfos, Qt::LeftButton);
        QCOMPARE(plateforme->lancements, 2);
        QCOMPARE(messages->infos, QStringList(2, QStringLiteral("Les informations système ne sont pas disponibles actuellement")));
        QVERIFY(fenetre.isVisible());
        messages->Vide();
        plateforme->infosDisponibles = true;
        QTest::mouseClick(fenetre.cmdSysInfo, Qt::LeftButton);
        QVERIFY(messages->tous.isEmpty());

        // The link lights while the pointer is on it, and goes out over the background.
        BougeSur(fenetre.lblInfos);
        QVERIFY(fenetre.lblInfos->property("eclaire").toBool());
        QVERIFY(fenetre.lblInfos->styleSheet().contains(QStringLiteral("color: rgb(255, 255, 255)")));
        if (qEnvironmentVariableIsSet("OXI_CAPTURES"))
            fenetre.grab().save(qEnvironmentVariable("OXI_CAPTURES") + QStringLiteral("/frmAbout.png"));
        BougeSur(&fenetre);
        QVERIFY(!fenetre.lblInfos->property("eclaire").toBool());
        QVERIFY(fenetre.lblInfos->styleSheet().contains(QStringLiteral("color: rgb(0, 0, 128)")));
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    TestDialogues test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_dialogues.moc"
