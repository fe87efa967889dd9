#pragma once
#include "ImageBouton.h"
#include "TablesRappels.h"

#include <QTreeWidget>
#include <functional>

class QComboBox;
class QLabel;

namespace oxi {

// A report list of reminders: headers, whole-row selection, rows in the order
// of their table. Each row keeps the number of its stored reminder.
class ListeRappels : public QTreeWidget
{
    Q_OBJECT
public:
    ListeRappels(const QString &nom, const QStringList &entetes, QWidget *parent);

    // Removes every row, then one row per line of the table, its cells from `cellules`.
    void Remplit(const Tableau &tableau, const std::function<QStringList(const LigneTableau &)> &cellules);
    // The width the columns can use, a vertical scroll bar counted as shown.
    int LargeurUtile() const;
    // Number of the reminder of the selected row; 0 when no row is selected.
    qint64 NumSelectionne() const;
    bool Vide() const { return topLevelItemCount() == 0; }

Q_SIGNALS:
    void toucheSuppr();
    void doubleClic();
    void survol();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
};

// The common pieces of the reminder panels.
QLabel *CreeTitre(QWidget *parent, const QString &nom, const QString &texte);
// An editable drop-down list that adds nothing of what is typed.
QComboBox *CreeListe(QWidget *parent, const QString &nom, int gauche, int haut, int largeur);
QLabel *CreeEtiquette(QWidget *parent, const QString &nom, const QString &texte, int gauche, int haut, int largeur);
// An image button with its twin and tooltip; the twin runs `action`.
PaireImages CreeBouton(QWidget *parent, const QString &nom, const QString &ressource, const QString &bulle, int gauche, int haut,
                       const std::function<void()> &action, const QString &nomJumeau = {});
// A sort button (smaller); its click leaves the twin shown.
PaireImages CreeBoutonTri(QWidget *parent, const QString &nom, const QString &ressource, int gauche, int haut,
                          const std::function<void()> &action);

} // namespace oxi
