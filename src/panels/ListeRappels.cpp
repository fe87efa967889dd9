#include "ListeRappels.h"

#include "Polices.h"
#include "Twips.h"

#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QStyle>

#include <algorithm>

namespace oxi {

ListeRappels::ListeRappels(const QString &nom, const QStringList &entetes, QWidget *parent) : QTreeWidget(parent)
{
    setObjectName(nom);
    setColumnCount(int(entetes.size()));
    setHeaderLabels(entetes);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSortingEnabled(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAllColumnsShowFocus(true);
    header()->setSectionsMovable(false);
    header()->setSectionsClickable(false);
    header()->setStretchLastSection(true);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
}

void ListeRappels::Remplit(const Tableau &tableau, const std::function<QStringList(const LigneTableau &)> &cellules)
{
    clear();
    QList<QTreeWidgetItem *> lignes;
    for (const LigneTableau &ligne : tableau.lignes) {
        auto *item = new QTreeWidgetItem(cellules(ligne));
        item->setData(0, Qt::UserRole, ligne.numRappel);
        lignes << item;
    }
    addTopLevelItems(lignes);
    // A cell too long for its column shows its whole text as a tooltip.
    QStyleOptionViewItem option;
    option.initFrom(this);
    for (int c = 0; c < columnCount(); ++c) {
        const int largeur = std::min(columnWidth(c), LargeurUtile() - header()->sectionPosition(c));
        for (int i = 0; i < lignes.size(); ++i)
            if (itemDelegate()->sizeHint(option, model()->index(i, c)).width() > largeur)
                lignes[i]->setToolTip(c, lignes[i]->text(c));
    }
}

int ListeRappels::LargeurUtile() const
{
    // The vertical scroll bar may come with the rows: counted as there.
    return width() - 2 * frameWidth() - style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
}

qint64 ListeRappels::NumSelectionne() const
{
    const QList<QTreeWidgetItem *> choisis = selectedItems();
    return choisis.isEmpty() ? 0 : choisis.first()->data(0, Qt::UserRole).toLongLong();
}

void ListeRappels::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete) {
        Q_EMIT toucheSuppr();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void ListeRappels::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTreeWidget::mouseDoubleClickEvent(event);
    Q_EMIT doubleClic();
}

void ListeRappels::mouseMoveEvent(QMouseEvent *event)
{
    Q_EMIT survol();
    QTreeWidget::mouseMoveEvent(event);
}

QLabel *CreeTitre(QWidget *parent, const QString &nom, const QString &texte)
{
    auto *titre = new QLabel(texte, parent);
    titre->setObjectName(nom);
    titre->setFont(Police(QStringLiteral("Arial"), 12, true));
    titre->setStyleSheet(QStringLiteral("color: #1b2f7a;"));
    PlaceTwips(titre, 120, 30, 3600, 360);
    return titre;
}

QComboBox *CreeListe(QWidget *parent, const QString &nom, int gauche, int haut, int largeur)
{
    auto *liste = new QComboBox(parent);
    liste->setObjectName(nom);
    liste->setEditable(true);
    liste->setInsertPolicy(QComboBox::NoInsert);
    PlaceTwips(liste, gauche, haut, largeur, 315);
    return liste;
}

QLabel *CreeEtiquette(QWidget *parent, const QString &nom, const QString &texte, int gauche, int haut, int largeur)
{
    auto *etiquette = new QLabel(texte, parent);
    etiquette->setObjectName(nom);
    PlaceTwips(etiquette, gauche, haut, largeur, 315);
    return etiquette;
}

PaireImages CreeBouton(QWidget *parent, const QString &nom, const QString &ressource, const QString &bulle, int gauche, int haut,
                       const std::function<void()> &action, const QString &nomJumeau)
{
    PaireImages paire = CreePaire(parent, nom, ressource, gauche, haut, 384, 384, nomJumeau);
    paire.image->setToolTip(bulle);
    paire.jumeau->setToolTip(bulle);
    paire.jumeau->setCursor(Qt::PointingHandCursor);
    Image *jumeau = paire.jumeau;
    QObject::connect(jumeau, &Image::clic, jumeau, [jumeau, action] {
        jumeau->hide();
        action();
    });
    return paire;
}

PaireImages CreeBoutonTri(QWidget *parent, const QString &nom, const QString &ressource, int gauche, int haut,
                          const std::function<void()> &action)
{
    PaireImages paire = CreePaire(parent, nom, ressource, gauche, haut, 240, 240);
    paire.jumeau->setToolTip(QStringLiteral("Trier"));
    paire.jumeau->setCursor(Qt::PointingHandCursor);
    QObject::connect(paire.jumeau, &Image::clic, paire.jumeau, action);
    return paire;
}

} // namespace oxi
