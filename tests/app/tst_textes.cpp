#include "Base.h"
#include "Dialogues.h"
#include "Ephemerides.h"
#include "Fenetres.h"
#include "Horloge.h"
#include "ImageBouton.h"
#include "OutilsRappels.h"
#include "OutilsTest.h"
#include "Polices.h"
#include "RechercheRappels.h"
#include "Reglages.h"
#include "TypesEchanges.h"
#include "frmAccueil.h"
#include "frmImportContacts.h"
#include "frmMessage.h"
#include "frmSynchro.h"

#include <QTest>
#include <QtWidgets>

using namespace oxi;

namespace {

bool EstControle(QWidget *w)
{
    return qobject_cast<QAbstractButton *>(w) || qobject_cast<QLineEdit *>(w) || qobject_cast<QComboBox *>(w)
        || qobject_cast<QAbstractSpinBox *>(w) || qobject_cast<QAbstractScrollArea *>(w) || qobject_cast<LienTexte *>(w);
}

// A text drawn at `zone` (parent's coordinates) that runs into a control beside it.
bool Touche(QWidget *w, const QRect &zone)
{
    if (!w->parentWidget())
        return false;
    const QRect marge = zone.adjusted(0, 0, 3, 0);
    for (QWidget *voisin : w->parentWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (voisin != w && voisin->isVisible() && EstControle(voisin) && voisin->geometry().intersects(marge))
            return true;
    return false;
}

QString SansEsperluette(QString texte)
{
    return texte.remove(QRegularExpression(QStringLiteral("&(?!&)")));
}

// Each visible label, box, button, group title and list cell of `fenetre` whose text is cut or touches.
QStringList TextesCoupes(QWidget *fenetre)
{
    QStringList fautes;
    QList<QWidget *> tous = fenetre->findChildren<QWidget *>();
    tous.prepend(fenetre);
    for (QWidget *w : std::as_const(tous)) {
        if (!w->isVisible())
            continue;
        const auto faute = [&](const QString &quoi, const QString &texte) {
            fautes << w->window()->objectName() + '/' + w->objectName() + " (" + quoi + ") : " + texte;
        };
        if (auto *l = qobject_cast<QLabel *>(w)) {
            if (l->text().isEmpty() || l->textFormat() == Qt::RichText || Qt::mightBeRichText(l->text()))
                continue;
            const QRect zone = l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
            if (l->wordWrap()) {
                if (l->heightForWidth(l->width()) > l->height())
                    faute("lignes", l->text());
                continue;
            }
            const QFontMetrics fm = l->fontMetrics();
            const QRect texte = fm.boundingRect(zone, int(l->alignment()), l->text());
            if (texte.width() > zone.width() || fm.height() > zone.height() + 2)
                faute("coupé", l->text());
            else if (Touche(w, texte.translated(l->pos())))
                faute("touche", l->text());
            else if (w->parentWidget() && !w->parentWidget()->rect().contains(texte.translated(l->pos())))
                faute("hors du cadre", l->text());
        } else if (qobject_cast<QCheckBox *>(w) || qobject_cast<QRadioButton *>(w)) {
            auto *b = static_cast<QAbstractButton *>(w);
            const int largeur = b->sizeHint().width();
            if (largeur > b->width())
                faute("coupé", b->text());
            else if (Touche(w, QRect(b->pos(), QSize(largeur, b->height()))))
                faute("touche", b->text());
        } else if (auto *b = qobject_cast<QPushButton *>(w)) {
            if (b->fontMetrics().horizontalAdvance(SansEsperluette(b->text())) + 8 > b->width())
                faute("coupé", b->text());
        } else if (auto *g = qobject_cast<QGroupBox *>(w)) {
            if (g->fontMetrics().horizontalAdvance(SansEsperluette(g->title())) + 12 > g->width())
                faute("coupé", g->title());
        } else if (auto *vue = qobject_cast<QTreeWidget *>(w)) {
            const int marge = vue->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, vue);
            const QFontMetrics fmEntete = vue->header()->fontMetrics();
            QStyleOptionViewItem option;
            option.initFrom(vue);
            for (int c = 0; c < vue->columnCount(); ++c) {
                // What the column shows: its width, ended by the visible part of the list.
                const int largeur =
                    std::min(vue->columnWidth(c), vue->viewport()->width() - vue->header()->sectionViewportPosition(c));
                const QString entete = vue->headerItem()->text(c);
                if (fmEntete.horizontalAdvance(entete) + 2 * marge > largeur)
                    faute("en-tête", entete);
                for (int i = 0; i < vue->topLevelItemCount(); ++i) {
                    const int voulu = vue->itemDelegate()->sizeHint(option, vue->model()->index(i, c)).width();
                    if (voulu > largeur && vue->topLevelItem(i)->toolTip(c) != vue->topLevelItem(i)->text(c))
                        faute(QStringLiteral("colonne %1").arg(c), vue->topLevelItem(i)->text(c));
                }
            }
        } else if (auto *e = qobject_cast<QLineEdit *>(w)) {
            if (!e->text().isEmpty() && e->echoMode() == QLineEdit::Normal
                && e->fontMetrics().horizontalAdvance(e->text()) + 8 > e->width())
                faute(QStringLiteral("boîte %1/%2").arg(e->fontMetrics().horizontalAdvance(e->text())).arg(e->width()),
                      e->text());
        }
    }
    return fautes;
}

} // namespace

class TestTextes : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        InstallePolices();
    }
    // Every window and panel, filled with long but ordinary entries, in the program's fonts.
    void chaqueTexteEntier()
    {
        EnvironnementTest env;
        MessagerieScriptee messages;
        EcritReglage(ReglageAnnee, "2026");
        FixeMaintenant(QDateTime(QDate(2026, 12, 5), QTime(10, 0)));
        Ajoute("A", "Durand#Léa", QDate(1984, 12, 20), Slots(QDate(2026, 12, 20), false));
        Ajoute("A", "de La Rochefoucauld-Montmorency#Marie-Geneviève", QDate(1850, 9, 30), Slots(QDate(2026, 9, 30), false));
        Ajoute("A", "Roy#Ana", QDate(1926, 12, 5), Slots(QDate(2026, 12, 5), false));
        Ajoute("F", "Marie-Madeleine", QDate(2026, 7, 22), Slots(QDate(2026, 7, 22), false));
        // Shown ahead: the longest date lines of the month.
        Ajoute("F", "Roger", QDate(2026, 12, 30), Slots(QDate(2026, 12, 30), false, QDate(2026, 12, 5), false));
        const qint64 note =
            Ajoute("N", "Rendez-vous au garage pour la révision annuelle", QDate(2026, 12, 5), Slots(QDate(2026, 12, 5), false));
        Base().Execute("INSERT INTO Notes (NumNote, Libelle1) VALUES (?, 'Apporter le carnet')", {note});

        QStringList fautes;
        const auto verifie = [&fautes](QWidget *fenetre, const QString &vue) {
            QVERIFY2(fenetre, qPrintable(vue));
            for (const QString &faute : TextesCoupes(fenetre))
                fautes << vue + " – " + faute;
        };

        frmAccueil accueil;
        accueil.show();
        accueil.ConstruitPanneaux();
        verifie(&accueil, "accueil");
        const QList<std::pair<const char *, QString>> panneaux{
            {"imgEphem", {}}, {"imgTransfert2", {}}, {"imgAnniv", "Anniv"}, {"imgFete", "Fetes"}, {"imgNote", "Notes"}};
        for (const auto &[icone, boutons] : panneaux) {
            Q_EMIT accueil.findChild<Image *>(QLatin1String(icone))->clic();
            verifie(&accueil, QLatin1String(icone));
            if (boutons.isEmpty())
                continue;
            Q_EMIT accueil.findChild<Image *>("imgA" + boutons + QLatin1Char('2'))->clic();
            if (auto *titre = accueil.findChild<QLineEdit *>("txtTitreNote"))
                titre->setText("Anniversaire de mariage de Françoise et Grégoire");
            verifie(&accueil, QLatin1String(icone) + " saisie");
            Q_EMIT accueil.findChild<Image *>("img" + boutons.left(1) + "Annul2")->clic();
        }

        frmSynchro synchro(nullptr);
        synchro.show();
        verifie(&synchro, "synchronisation");
        // The widest counts: 1234 to add, 567 already there, 89 without a date, 10 unreadable.
        frmImportContacts import(PlanImport{QVector<FicheContact>(1234), {"Jean Marie"}, {QDate(2026, 9, 9)}, 567, 89, 10});
        import.show();
        verifie(&import, "import de contacts");
        Dialogues dialogues;
        dialogues.AfficheAPropos();
        verifie(Visibles("frmAbout").value(0), "à propos");
        dialogues.AffichePremiereFois();
        verifie(Visibles("frmPremiereFois").value(0), "première fois");
        dialogues.AfficheRegistre();
        verifie(Visibles("frmRegistre").value(0), "registre");
        for (void (*affiche)() : {AfficheFetes, AfficheDictons, AfficheMois})
            affiche();
        verifie(reinterpret_cast<QWidget *>(FenetreFetes()), "fêtes du jour");
        verifie(reinterpret_cast<QWidget *>(FenetreDictons()), "dicton");
        verifie(reinterpret_cast<QWidget *>(FenetreMois()), "mois");
        AffichageRappels rappels;
        rappels.RechercheRappels();
        frmMessage *popup = rappels.Message();
        verifie(popup, "rappel");
        for (int i = 2; popup && i <= popup->TotalMessages; ++i) {
            popup->AfficheRappelSuivant();
            verifie(popup, QStringLiteral("rappel %1").arg(i));
        }

        FermeEphemerides();
        delete rappels.Message();
        dialogues.Ferme();
        accueil.FermePourQuitter();
        RetablitHorloge();
        QVERIFY2(fautes.isEmpty(), qPrintable(QLatin1Char('\n') + fautes.join(QLatin1Char('\n'))));
    }
};

OXI_TEST_MAIN(TestTextes)
#include "tst_textes.moc"
