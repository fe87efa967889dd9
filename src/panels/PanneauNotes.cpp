#include "PanneauNotes.h"

#include "Base.h"
#include "Horloge.h"
#include "ListeRappels.h"
#include "Twips.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace oxi {

namespace {

QStringList CellulesNote(const LigneTableau &ligne)
{
    return {ligne.Colonne(2), ligne.Colonne(1)};
}

} // namespace

PanneauNotes::PanneauNotes(QWidget *parent)
    : PanneauRappels({.cadre = QStringLiteral("fraNotes"),
                      .titre = QStringLiteral("lblTitre5"),
                      .texteTitre = QStringLiteral("Notes"),
                      .liste = QStringLiteral("ListView3"),
                      .entetes = {QStringLiteral("Date"), QStringLiteral("Titre")},
                      .boutons = QStringLiteral("Notes"),
                      .jumeauValider = {},
                      .echeances = QStringLiteral("lblEch3"),
                      .delai1 = QStringLiteral("cboNotesJ1"),
                      .delai2 = QStringLiteral("cboNotesJ2"),
                      .hautEcheances = 2010,
                      .type = TypeRappel::Note,
                      .litTable = &TableNotes,
                      .cellules = &CellulesNote,
                      .erreurListe = QStringLiteral("Erreur lors du remplissage de la liste des notes !"),
                      .choisirModif = QStringLiteral("Pour modifier, sélectionnez une note. "),
                      .choisirSuppr = QStringLiteral("Sélectionnez la note à supprimer. "),
                      .questionSuppr = QStringLiteral("Etes-vous sûr de vouloir supprimer cette note ?"),
                      .introuvable = QStringLiteral("Erreur: impossible de modifier !"),
                      .erreurAjout = QStringLiteral("Erreur: impossible d'ajouter une note à la liste !")},
                     parent)
{
    liste->setColumnWidth(0, Px(1800));
    AjouteTri(QStringLiteral("TriND"), QStringLiteral(":/panels/tridate.svg"), 1650, 3);
    AjouteTri(QStringLiteral("TriNT"), QStringLiteral(":/panels/tritexte.svg"), 4410, 1);

    DTDateNote = new QDateEdit(this);
    DTDateNote->setObjectName(QStringLiteral("DTDateNote"));
    DTDateNote->setCalendarPopup(true);
    DTDateNote->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    DTDateNote->setDateRange(QDate(1900, 1, 1), QDate(2999, 12, 31));
    DTDateNote->setDate(Aujourdhui());
    PlaceTwips(DTDateNote, 120, 510, 1500, 315);
    lblTitreNote = CreeEtiquette(this, QStringLiteral("lblTitreNote"), QStringLiteral("Titre :"), 1800, 540, 600);
    txtTitreNote = new QLineEdit(this);
    txtTitreNote->setObjectName(QStringLiteral("txtTitreNote"));
    txtTitreNote->setMaxLength(LongueurTitre);
    PlaceTwips(txtTitreNote, 2400, 510, 2280, 315);
    txtNotes = new QPlainTextEdit(this);
    txtNotes->setObjectName(QStringLiteral("txtNotes"));
    txtNotes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtNotes->setTabChangesFocus(true);
    PlaceTwips(txtNotes, 120, 900, 4560, 1005);
    connect(txtNotes, &QPlainTextEdit::textChanged, this, &PanneauNotes::LimiteTexte);
    AjouteSaisie({lblTitreNote, txtTitreNote, txtNotes, DTDateNote});
    GereAffiche(true);
}

// The text box holds at most 500 characters, typed or pasted.
void PanneauNotes::LimiteTexte()
{
    const QString texte = txtNotes->toPlainText();
    if (texte.size() <= LongueurTexte)
        return;
    QTextCursor curseur = txtNotes->textCursor();
    const int position = std::min<int>(curseur.position(), LongueurTexte);
    txtNotes->setPlainText(texte.left(LongueurTexte));
    curseur = txtNotes->textCursor();
    curseur.setPosition(position);
    txtNotes->setTextCursor(curseur);
}

void PanneauNotes::VideSaisie()
{
    txtNotes->clear();
    txtTitreNote->clear();
    DTDateNote->setDate(Aujourdhui());
}

void PanneauNotes::PrepareAjout()
{
    txtNotes->clear();
    DTDateNote->setDate(Aujourdhui());
    txtTitreNote->setFocus();
}

void PanneauNotes::MontreRappel(const RappelStocke &rappel, const QTreeWidgetItem &)
{
    txtTitreNote->setText(rappel.libelle);
    txtNotes->setPlainText(rappel.texte);
    DTDateNote->setDate(rappel.dateRappel);
}

bool PanneauNotes::Enregistre(bool ajout)
{
    const std::optional<ChoixEcheances> choix = LitEcheances();
    if (!choix)
        return false;
    const Note note = LitNote(txtTitreNote->text(), txtNotes->toPlainText(), DTDateNote->date(), *choix);
    const qint64 numero = m_numRappel;
    if (ajout)
        Ecrit([&] { AjouteNote(note); }, QStringLiteral("Erreur lors de l'ajout en base !"));
    else
        Ecrit([&] { ModifieNote(numero, note); }, QStringLiteral("Erreur lors de la modification en base !"));
    return true;
}

} // namespace oxi
