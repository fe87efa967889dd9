#include "Base.h"
#include "Chemins.h"
#include "Constantes.h"
#include "Horloge.h"
#include "OutilsTest.h"
#include "PanneauTransfert.h"
#include "Sauvegarde.h"
#include "Schema.h"

#include <QApplication>
#include <QFileDialog>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>

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

int NombreRappels()
{
    return OuvreRecordset(QStringLiteral("SELECT count(*) FROM Rappel")).Valeur(0, 0).toInt();
}

} // namespace

class TestTransfert : public QObject
{
    Q_OBJECT
    EnvironnementTest *env = nullptr;
    MessagerieSablier *messages = nullptr;
    QWidget *fenetre = nullptr;
    PanneauTransfert *panneau = nullptr;
    QList<QStringList> appels;
    QString reponse;

    // The chooser answers `reponse` and records how it was called.
    void Branche()
    {
        panneau->choisit = [this](const QString &depart, bool fichiers, bool centre, const QString &titre) {
            appels << QStringList{depart, fichiers ? "fichiers" : "dossiers", centre ? "centre" : "", titre};
            return reponse;
        };
    }
    void Ouvre()
    {
        panneau->show();
        panneau->Initialise();
    }

private Q_SLOTS:
    void init()
    {
        messages = new MessagerieSablier;
        env = new EnvironnementTest;
        FixeMaintenant(QDateTime(QDate(2026, 12, 5), QTime(10, 0)));
        fenetre = new QWidget;
        fenetre->resize(450, 250);
        panneau = new PanneauTransfert(fenetre);
        fenetre->show();
        appels.clear();
        reponse.clear();
        Branche();
        Base().Execute(QStringLiteral("INSERT INTO Rappel VALUES (5,'1990-03-02','A','Martin#Paul','2026-03-02',1,"
                                      "'2026-02-23',0,'1800-01-01',0)"));
    }
    void cleanup()
    {
        delete fenetre;
        RetablitHorloge();
        delete env;
        delete messages;
    }

    void defaultsAndBackupMessage()
    {
        Ouvre();
        QCOMPARE(panneau->txtSauvName->text(), QStringLiteral("Oxi_Sauv_05_12"));
        QCOMPARE(panneau->TxtSauvDir->text(), CheminAppli());
        QVERIFY(panneau->TxtSauvDir->text().endsWith(QLatin1Char('/')));
        QVERIFY(panneau->TxtSauvDir->isReadOnly() && panneau->txtRestauName->isReadOnly());
        QVERIFY(!panneau->txtSauvName->isReadOnly());
        QVERIFY(panneau->txtRestauName->text().isEmpty());

        panneau->imgTSValid2_Click();
        const QString chemin = CheminAppli() + QStringLiteral("Oxi_Sauv_05_12.dtb");
        QCOMPARE(messages->infos, QStringList{QStringLiteral("Sauvegarde effectuée avec succès dans : \r\n") + chemin});
        QVERIFY(!chemin.contains(QStringLiteral("//")));
        QVERIFY(QFileInfo(chemin).isFile());
        QVERIFY(!messages->sablierPendantMessage);
        QVERIFY(QApplication::overrideCursor() == nullptr);
        // The panel is reset and closed.
        QVERIFY(panneau->isHidden());
        QVERIFY(panneau->txtSauvName->text().isEmpty());
        QVERIFY(panneau->TxtSauvDir->text().isEmpty());
    }

    void backupInputMessages()
    {
        Ouvre();
        panneau->txtSauvName->setText(QStringLiteral("   "));
        panneau->imgTSValid2_Click();
        QCOMPARE(messages->infos, QStringList{QStringLiteral("Saisissez un nom de sauvegarde !")});
        QVERIFY(panneau->isVisible());
        QCOMPARE(panneau->TxtSauvDir->text(), CheminAppli());

        // Cancelling the folder chooser empties the destination.
        messages->Vide();
        panneau->txtSauvName->setText(QStringLiteral("archive.bak"));
        panneau->imgSauvDir2_Click();
        QCOMPARE(appels.size(), 1);
        QCOMPARE(appels.at(0), (QStringList{CheminAppli(), "dossiers", "centre", "Sélectionnez un répertoire"}));
        QVERIFY(panneau->TxtSauvDir->text().isEmpty());
        panneau->imgTSValid2_Click();
        QCOMPARE(messages->infos, QStringList{QStringLiteral("Sélectionnez un répertoire de destination !")});
        QCOMPARE(panneau->txtSauvName->text(), QStringLiteral("archive.bak"));

        // A chosen folder without a trailing slash still gives a single one.
        messages->Vide();
        QDir(env->Dossier()).mkdir(QStringLiteral("sauvegardes"));
        reponse = env->Dossier() + QStringLiteral("/sauvegardes");
        panneau->imgSauvDir2_Click();
        QCOMPARE(panneau->TxtSauvDir->text(), reponse);
        panneau->imgTSValid2_Click();
        QCOMPARE(messages->infos.size(), 1);
        QVERIFY(messages->infos.at(0).endsWith(QStringLiteral("\r\n") + reponse + QStringLiteral("/archive.bak")));
        QVERIFY(QFileInfo(reponse + QStringLiteral("/archive.bak")).isFile());
    }

    void backupOverTheDatabaseIsRefused()
    {
        Ouvre();
        panneau->txtSauvName->setText(QStringLiteral("DBOxi"));
        panneau->imgTSValid2_Click();
        QCOMPARE(messages->infos.size(), 1);
        QVERIFY(messages->infos.at(0).startsWith(QStringLiteral("La sauvegarde ne peut pas remplacer la base de données d'Oxi.")));
        // Nothing touched: the reference tables are still there and the panel is unchanged.
        QCOMPARE(OuvreRecordset(QStringLiteral("SELECT count(*) FROM Mois")).Valeur(0, 0).toInt(), 6);
        QVERIFY(panneau->isVisible());
        QCOMPARE(panneau->txtSauvName->text(), QStringLiteral("DBOxi"));

        messages->Vide();
        panneau->txtSauvName->setText(QStringLiteral("../x"));
        panneau->imgTSValid2_Click();
        QCOMPARE(messages->infos, QStringList{QStringLiteral("Le nom de sauvegarde ne peut pas contenir le caractère « / » !")});
    }

    void restoreMessages()
    {
        Ouvre();
        panneau->imgTValid2_Click();
        QCOMPARE(messages->infos, QStringList{QStringLiteral("Sélectionnez une sauvegarde !")});
        QVERIFY(panneau->isVisible());

        // A good backup, chosen through the file chooser.
        messages->Vide();
        const QString sauvegarde = env->Dossier() + QStringLiteral("/bonne.dtb");
        QVERIFY(SauvegardeBase(sauvegarde));
        Base().Execute(QStringLiteral("DELETE FROM Rappel"));
        reponse = sauvegarde;
        panneau->imgRestauDir2_Click();
        QCOMPARE(appels.last(), (QStringList{CheminAppli(), "fichiers", "centre", "Sélectionnez un répertoire"}));
        QCOMPARE(panneau->txtRestauName->text(), sauvegarde);
        panneau->imgTValid2_Click();
        QCOMPARE(messages->infos, QStringList{QStringLiteral("Restauration effectuée avec succès ")});
        QCOMPARE(NombreRappels(), 1);
        QVERIFY(panneau->isHidden());
        QVERIFY(panneau->txtRestauName->text().isEmpty());

        // The chosen file is forgotten once the panel was reset.
        messages->Vide();
        Ouvre();
        panneau->imgTValid2_Click();
        QCOMPARE(messages->infos, QStringList{QStringLiteral("Sélectionnez une sauvegarde !")});

        // An empty backup: two messages, nothing changed.
        messages->Vide();
        const QString vide = env->Dossier() + QStringLiteral("/vide.dtb");
        {
            Connexion connexion;
            QVERIFY(connexion.Cree(vide, CleBase));
            connexion.Execute(SchemaRappel);
            connexion.Execute(SchemaNotes);
        }
        reponse = vide;
        panneau->imgRestauDir2_Click();
        panneau->imgTValid2_Click();
        QCOMPARE(messages->infos, (QStringList{"La sauvegarde est vide.", "Restauration annulée."}));
        QCOMPARE(NombreRappels(), 1);

        // Any other file.
        messages->Vide();
        Ouvre();
        reponse = env->Dossier() + QStringLiteral("/config");
        QFile texte(env->Dossier() + QStringLiteral("/lisezmoi.txt"));
        QVERIFY(texte.open(QIODevice::WriteOnly));
        texte.write("Ceci n'est pas une sauvegarde.\n");
        texte.close();
        reponse = texte.fileName();
        panneau->imgRestauDir2_Click();
        panneau->imgTValid2_Click();
        QCOMPARE(messages->infos, QStringList{QStringLiteral("Restauration annulée.")});
        QCOMPARE(NombreRappels(), 1);
        QVERIFY(!messages->sablierPendantMessage);
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void hoverShowsAndHidesTwins()
    {
        Ouvre();
        QVERIFY(panneau->imgTSValid.jumeau->isHidden());
        QCOMPARE(panneau->imgTSValid.jumeau->toolTip(), QStringLiteral("Sauvegarder"));
        QCOMPARE(panneau->imgTValid.jumeau->toolTip(), QStringLiteral("Restaurer"));
        QCOMPARE(panneau->imgSauvDir.jumeau->toolTip(), QStringLiteral("Rechercher un répertoire"));
        QCOMPARE(panneau->imgRestauDir.jumeau->toolTip(), QStringLiteral("Rechercher une sauvegarde"));
        Q_EMIT panneau->imgTSValid.image->survol();
        Q_EMIT panneau->imgRestauDir.image->survol();
        QVERIFY(panneau->imgTSValid.jumeau->isVisible());
        QVERIFY(panneau->imgRestauDir.jumeau->isVisible());
        // OXI_CAPTURES=<folder> keeps a picture of the panel to look at.
        if (qEnvironmentVariableIsSet("OXI_CAPTURES"))
            panneau->grab().save(qEnvironmentVariable("OXI_CAPTURES") + QStringLiteral("/fraTransfert.png"));
        {
            QMouseEvent mouvement(QEvent::MouseMove, QPointF(3, 3), panneau->imgTSValid.jumeau->mapToGlobal(QPointF(3, 3)),
                                  Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(panneau->imgTSValid.jumeau, &mouvement);
        }
        QVERIFY(panneau->imgTSValid.jumeau->isVisible());
        Q_EMIT panneau->survol();
        QVERIFY(panneau->imgTSValid.jumeau->isHidden());
        QVERIFY(panneau->imgRestauDir.jumeau->isHidden());
        QCOMPARE(panneau->findChild<QLabel *>(QStringLiteral("Label2"))->text(), QStringLiteral("Transfert des données"));
        QCOMPARE(panneau->size(), QSize(361, 185));
    }

    void chooserSettings()
    {
        QScopedPointer<QFileDialog> dossiers(PrepareNavigateur(env->Dossier(), false, true, QStringLiteral("Titre")));
        QCOMPARE(dossiers->windowTitle(), QStringLiteral("Titre"));
        QCOMPARE(QFileInfo(dossiers->directory().absolutePath()).canonicalFilePath(),
                 QFileInfo(env->Dossier()).canonicalFilePath());
        QCOMPARE(dossiers->fileMode(), QFileDialog::Directory);
        QVERIFY(dossiers->testOption(QFileDialog::ShowDirsOnly));
        const QRect ecran = QGuiApplication::primaryScreen()->geometry();
        QVERIFY(qAbs(dossiers->geometry().center().x() - ecran.center().x()) <= 1);
        QVERIFY(qAbs(dossiers->geometry().center().y() - ecran.center().y()) <= 1);

        QScopedPointer<QFileDialog> fichiers(PrepareNavigateur(env->Dossier(), true, false, QStringLiteral("T")));
        QCOMPARE(fichiers->fileMode(), QFileDialog::ExistingFile);
        QVERIFY(!fichiers->testOption(QFileDialog::ShowDirsOnly));
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TestTransfert test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_transfert.moc"
