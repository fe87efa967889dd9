#include "Base.h"
#include "Echanges.h"
#include "Horloge.h"
#include "OutilsTest.h"
#include "PanneauTransfert.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace oxi;

// Contacts in and calendars out from the transfer panel, with the real import window.
class TestEchangesPanneau : public QObject
{
    Q_OBJECT
    std::unique_ptr<MessagerieScriptee> messages;
    std::unique_ptr<EnvironnementTest> env;
    std::unique_ptr<QWidget> fenetre;
    PanneauTransfert *panneau = nullptr;

    int Compte(const QString &type)
    {
        return Base().Requete("SELECT COUNT(*) FROM Rappel WHERE Type=?", {type}).Valeur(0, 0).toInt();
    }

    QString Fichier(const QByteArray &contenu)
    {
        const QString chemin = env->Dossier() + "/contacts.vcf";
        QFile f(chemin);
        f.open(QIODevice::WriteOnly);
        f.write(contenu);
        return chemin;
    }

private Q_SLOTS:
    void init()
    {
        messages = std::make_unique<MessagerieScriptee>();
        env = std::make_unique<EnvironnementTest>();
        FixeMaintenant(QDateTime(QDate(2026, 12, 5), QTime(10, 0)));
        fenetre = std::make_unique<QWidget>();
        fenetre->resize(450, 250);
        panneau = new PanneauTransfert(fenetre.get());
        fenetre->show();
        panneau->show();
        panneau->Initialise();
    }
    void cleanup()
    {
        fenetre.reset();
        RetablitHorloge();
        env.reset();
        messages.reset();
    }

    // Both links show their whole text inside the panel, side by side.
    void liensEntiers()
    {
        for (LienTexte *lien : {panneau->lblImportContacts, panneau->lblExportAgenda}) {
            QVERIFY(lien->isVisible());
            QVERIFY(lien->width() >= lien->fontMetrics().horizontalAdvance(lien->text()));
            QVERIFY(panneau->rect().contains(lien->geometry()));
        }
        QVERIFY(!panneau->lblImportContacts->geometry().intersects(panneau->lblExportAgenda->geometry()));
        QVERIFY(panneau->lblEchanges->width()
                >= panneau->lblEchanges->fontMetrics().horizontalAdvance(panneau->lblEchanges->text()));
    }

    void importe()
    {
        const QString chemin = Fichier("BEGIN:VCARD\nVERSION:3.0\nN:Martin;Alain\nBDAY:1970-09-09\nEND:VCARD\n"
                                       "BEGIN:VCARD\nVERSION:3.0\nN:Sans;Date\nEND:VCARD\n");
        panneau->choisitContacts = [&](const QString &) { return chemin; };
        bool annule = true;
        QString bilan;
        panneau->confirmeImport = [&](const PlanImport &plan) -> std::optional<ChoixImport> {
            frmImportContacts f(plan);
            f.show();
            bilan = f.lblBilan->text();
            for (QWidget *w : f.findChildren<QWidget *>())
                if (w->isVisible() && w->width() < w->sizeHint().width())
                    qFatal("texte coupé : %s", qPrintable(w->objectName()));
            f.cboImportJ1->setCurrentIndex(7);
            f.chkImportFetes->setChecked(true);
            if (annule)
                return std::nullopt;
            return f.Choix();
        };
        panneau->ImporteFichierContacts();
        QCOMPARE(
            bilan,
            QStringLiteral("1 anniversaire ajouté,\n0 déjà présent,\n1 contact sans date de naissance,\n0 fiche illisible."));
        QCOMPARE(Compte("A"), 0); // cancelled: nothing written

        annule = false;
        panneau->ImporteFichierContacts();
        QCOMPARE(Compte("A"), 1);
        QCOMPARE(Compte("F"), 1);
        QCOMPARE(LitRappelsEchange().at(0).echeances[2].date, QDate(2026, 9, 2));
        QVERIFY(messages->infos.last().startsWith(QStringLiteral("Import terminé :")));

        // A file that is not an address book: a message, nothing asked.
        const QString image = Fichier("\x89PNG");
        panneau->choisitContacts = [&](const QString &) { return image; };
        bilan.clear();
        panneau->ImporteFichierContacts();
        QVERIFY(bilan.isEmpty());
        QVERIFY(messages->infos.last().startsWith(QStringLiteral("Ce fichier ne contient aucune fiche de contact")));
    }
};

QTEST_MAIN(TestEchangesPanneau)
#include "tst_echanges_panneau.moc"
