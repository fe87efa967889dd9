#include "BancTransfert.h"
#include "Base.h"
#include "Echanges.h"

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
    std::unique_ptr<BancTransfert<>> banc;
    PanneauTransfert *panneau = nullptr;

    QString Fichier(const QByteArray &contenu)
    {
        const QString chemin = banc->env.Dossier() + "/contacts.vcf";
        QFile f(chemin);
        f.open(QIODevice::WriteOnly);
        f.write(contenu);
        return chemin;
    }

private Q_SLOTS:
    void init()
    {
        banc = std::make_unique<BancTransfert<>>();
        panneau = banc->panneau;
        banc->Ouvre();
    }
    void cleanup() { banc.reset(); }

    // The links show their whole text inside the panel, side by side.
    void liensEntiers()
    {
        for (LienTexte *lien : {panneau->lblImportContacts, panneau->lblExportAgenda, panneau->lblSynchro}) {
            QVERIFY(lien->isVisible());
            QVERIFY(lien->width() >= lien->fontMetrics().horizontalAdvance(lien->text()));
            QVERIFY(panneau->rect().contains(lien->geometry()));
        }
        QVERIFY(!panneau->lblImportContacts->geometry().intersects(panneau->lblExportAgenda->geometry()));
        QVERIFY(!panneau->lblSynchro->geometry().intersects(panneau->lblEchanges->geometry()));
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
        QVERIFY(LitRappelsEchange().isEmpty()); // cancelled: nothing written

        annule = false;
        panneau->ImporteFichierContacts();
        QCOMPARE(LitRappelsEchange().at(0).echeances[2].date, QDate(2026, 9, 2)); // the chosen lead time
        QVERIFY(banc->messages.infos.last().startsWith(QStringLiteral("Import terminé :")));

        // A file that is not an address book: a message, nothing asked.
        const QString image = Fichier("\x89PNG");
        panneau->choisitContacts = [&](const QString &) { return image; };
        bilan.clear();
        panneau->ImporteFichierContacts();
        QVERIFY(bilan.isEmpty());
        QVERIFY(banc->messages.infos.last().startsWith(QStringLiteral("Ce fichier ne contient aucune fiche de contact")));
    }
};

QTEST_MAIN(TestEchangesPanneau)
#include "tst_echanges_panneau.moc"
