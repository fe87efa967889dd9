#include "BancTransfert.h"
#include "Base.h"
#include "Chemins.h"
#include "Echanges.h"
#include "ReglagesSynchro.h"
#include "frmSynchro.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace oxi;

// Contacts in, calendars out and the exchange settings from the transfer panel, with the real windows.
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
    void initTestCase() { qunsetenv("DBUS_SESSION_BUS_ADDRESS"); } // no keyring here: the file takes the password
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

    // The settings show whole; a remote http address is refused and nothing is kept;
    // a good one is kept, its password in an owner-only file and nowhere in oxi.conf.
    void reglages()
    {
        frmSynchro fenetre(nullptr);
        fenetre.show();
        QVERIFY(QTest::qWaitForWindowExposed(&fenetre));
        for (QPushButton *b : {fenetre.cmdSynchroniser, fenetre.cmdFermer})
            QVERIFY(b->width() >= b->fontMetrics().horizontalAdvance(b->text()));
        for (QLabel *l : fenetre.findChildren<QLabel *>())
            if (!l->wordWrap() && !l->text().isEmpty())
                QVERIFY2(l->width() >= l->sizeHint().width(), qPrintable(l->text()));
        fenetre.txtAdresse->setText(QStringLiteral("http://192.0.2.1/dav/"));
        fenetre.txtUtilisateur->setText(QStringLiteral("alice"));
        fenetre.txtMotDePasse->setText(QStringLiteral("Motdepasse-7"));
        fenetre.SynchroniseMaintenant();
        QCOMPARE(banc->messages.infos.size(), 1);
        QVERIFY(banc->messages.infos.first().contains(QStringLiteral("https")));
        QVERIFY(LitReglage(ReglageAdresse).isEmpty());

        fenetre.txtAdresse->setText(QStringLiteral("https://dav.exemple.org/"));
        fenetre.SynchroniseMaintenant();
        QTRY_VERIFY(QFile::exists(CheminSecret()));
        QCOMPARE(LitReglage(ReglageAdresse), QStringLiteral("https://dav.exemple.org/"));
        QString erreur;
        QCOMPARE(LitSecret(&erreur), QStringLiteral("Motdepasse-7"));
        QCOMPARE(QFile::permissions(CheminSecret())
                     & ~(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser),
                 QFileDevice::Permissions());
        QVERIFY(banc->messages.infos.last().contains(CheminSecret()));
        QFile conf(banc->env.Dossier() + QStringLiteral("/config/%1/%1.conf").arg(NomAppli()));
        QVERIFY(conf.open(QIODevice::ReadOnly));
        QVERIFY(!conf.readAll().contains("Motdepasse-7"));
    }
};

QTEST_MAIN(TestEchangesPanneau)
#include "tst_echanges_panneau.moc"
