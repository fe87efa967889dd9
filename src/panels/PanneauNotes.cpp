#include "PanneauNotes.h"

#include "Base.h"
#include "Constantes.h"
#include "Horloge.h"
#include "ListeRappels.h"
#include "Messagerie.h"
#include "Polices.h"
#include "Saisie.h"
#include "Twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace oxi {

namespace {

QComboBox *CreeListe(QWidget *parent, const QString &nom, int gauche, int haut, int largeur)
{
    auto *liste = new QComboBox(parent);
    liste->setObjectName(nom);
    liste->setEditable(true);
    liste->setInsertPolicy(QComboBox::NoInsert);
    PlaceTwips(liste, gauche, haut, largeur, 315);
    return liste;
}

} // namespace

PanneauNotes::PanneauNotes(QWidget *parent) : Cadre(QStringLiteral("fraNotes"), parent)
{
    PlaceTwips(this, 1080, 360, 5412, 2772);
    setFont(Police(QStringLiteral("Tahoma"), 8));
    lblTitre5 = CreeTitre(this, QStringLiteral("lblTitre5"), QStringLiteral("Notes"));

    ListView3 = new ListeRappels(QStringLiteral("ListView3"), {QStringLiteral("Date"), QStringLiteral("Titre")}, this);
    PlaceTwips(ListView3, 120, 690, 4560, 1980);
    ListView3->setColumnWidth(0, Px(1800));
    TriND = CreeBoutonTri(this, QStringLiteral("TriND"), QStringLiteral(":/panels/tridate.svg"), 1650, 420,
                          [this] { TrieListeNotes(3); });
    TriNT = CreeBoutonTri(this, QStringLiteral("TriNT"), QStringLiteral(":/panels/tritexte.svg"), 4410, 420,
                          [this] { TrieListeNotes(1); });
    imgANotes = CreeBouton(this, QStringLiteral("imgANotes"), QStringLiteral(":/panels/ajouter.svg"),
                           QStringLiteral("Ajouter"), 4860, 690, [this] { imgANotes2_Click(); });
    imgMNotes = CreeBouton(this, QStringLiteral("imgMNotes"), QStringLiteral(":/panels/modifier.svg"),
                           QStringLiteral("Modifier"), 4860, 1230, [this] { imgMNotes2_Click(); });
    imgSNotes = CreeBouton(this, QStringLiteral("imgSNotes"), QStringLiteral(":/panels/supprimer.svg"),
                           QStringLiteral("Supprimer"), 4860, 1770, [this] { imgSNotes2_Click(); });

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
    lblEch3 = CreeEtiquette(this, QStringLiteral("lblEch3"), QStringLiteral("Echéances de rappel :"), 120, 2010, 1860);
    chkNJ1 = new QCheckBox(QStringLiteral("Le jour-même"), this);
    chkNJ1->setObjectName(QStringLiteral("chkNJ1"));
    chkNJ1->setChecked(true);
    PlaceTwips(chkNJ1, 1980, 1980, 1800, 315);
    cboNotesJ1 = CreeListe(this, QStringLiteral("cboNotesJ1"), 1980, 2355, 1260);
    cboNotesJ2 = CreeListe(this, QStringLiteral("cboNotesJ2"), 3360, 2355, 1260);
    imgNValid = CreeBouton(this, QStringLiteral("imgNValid"), QStringLiteral(":/panels/valider.svg"),
                           QStringLiteral("Valider"), 4860, 690, [this] { imgNValid2_Click(); });
    imgNAnnul = CreeBouton(this, QStringLiteral("imgNAnnul"), QStringLiteral(":/panels/annuler.svg"),
                           QStringLiteral("Annuler"), 4860, 1230, [this] { imgNAnnul2_Click(); });

    connect(ListView3, &ListeRappels::toucheSuppr, this, &PanneauNotes::imgSNotes2_Click);
    connect(ListView3, &ListeRappels::doubleClic, this, &PanneauNotes::imgMNotes2_Click);
    connect(ListView3, &ListeRappels::survol, this, [this] {
        TriND.jumeau->hide();
        TriNT.jumeau->hide();
    });
    connect(this, &Cadre::survol, this, [this] {
        for (const PaireImages &paire : {imgANotes, imgMNotes, imgSNotes, imgNAnnul, imgNValid, TriND, TriNT})
            paire.jumeau->hide();
    });
    GereAfficheNote(true);
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

void PanneauNotes::Ouvre()
{
    GereAfficheNote(true);
    RemplitListeNotes();
}

void PanneauNotes::GereAfficheNote(bool val)
{
    for (QWidget *w : std::initializer_list<QWidget *>{ListView3, imgANotes.image, imgSNotes.image, imgMNotes.image,
                                                       TriND.image, TriNT.image})
        w->setVisible(val);
    for (QWidget *w : std::initializer_list<QWidget *>{lblEch3, lblTitreNote, txtTitreNote, txtNotes, DTDateNote,
                                                       cboNotesJ1, cboNotesJ2, chkNJ1, imgNAnnul.image,
                                                       imgNValid.image})
        w->setVisible(!val);
}

void PanneauNotes::AfficheListe()
{
    ListView3->Remplit(TabNotes(), [](const LigneTableau &ligne) {
        return QStringList{ligne.Colonne(2), ligne.Colonne(1)};
    });
}

void PanneauNotes::RemplitListeNotes()
{
    try {
        RemplitTabNotes();
    } catch (const ErreurBase &) {
        MsgInfo(QStringLiteral("Erreur lors du remplissage de la liste des notes !"));
        return;
    }
    AfficheListe();
}

void PanneauNotes::TrieListeNotes(int colonne)
{
    TrieTableau(TabNotes(), colonne);
    AfficheListe();
}

void PanneauNotes::RemplitEcheancesNote()
{
    for (QComboBox *liste : {cboNotesJ1, cboNotesJ2})
        if (liste->count() == 0)
            liste->addItems(ItemsDelai());
}

std::optional<Note> PanneauNotes::LitSaisieNote()
{
    const std::optional<int> delai1 = LitDelaiSaisi(cboNotesJ1->currentText());
    const std::optional<int> delai2 = LitDelaiSaisi(cboNotesJ2->currentText());
    if (!delai1 || !delai2) {
        MsgInfo(QStringLiteral("Erreur lors de la lecture des valeurs saisies !"));
        return std::nullopt;
    }
    return LitNote(txtTitreNote->text(), txtNotes->toPlainText(), DTDateNote->date(),
                   {chkNJ1->isChecked(), *delai1, *delai2});
}

void PanneauNotes::FermeSaisie()
{
    chkNJ1->setChecked(true);
    for (QComboBox *liste : {cboNotesJ1, cboNotesJ2})
        if (liste->count() > 0)
            liste->setCurrentIndex(0);
    txtNotes->clear();
    txtTitreNote->clear();
    DTDateNote->setDate(Aujourdhui());
    FinitSaisie();
    GereAfficheNote(true);
}

void PanneauNotes::imgANotes2_Click()
{
    imgANotes.jumeau->hide();
    try {
        DebuteSaisie(QStringLiteral("A"));
        GereAfficheNote(false);
        txtNotes->clear();
        DTDateNote->setDate(Aujourdhui());
        RemplitEcheancesNote();
        cboNotesJ1->setCurrentIndex(0);
        cboNotesJ2->setCurrentIndex(0);
        txtTitreNote->setFocus();
    } catch (const std::exception &) {
        MsgInfo(QStringLiteral("Erreur: impossible d'ajouter !"));
        FinitSaisie();
        GereAfficheNote(true);
    }
}

void PanneauNotes::imgNValid2_Click()
{
    imgNValid.jumeau->hide();
    const QString mode = ModeSaisie();
    if (mode == QLatin1String("A") || mode == QLatin1String("M")) {
        const std::optional<Note> note = LitSaisieNote();
        if (!note)
            return;
        if (mode == QLatin1String("A")) {
            try {
                AjouteNote(*note);
            } catch (const ErreurBase &) {
                MsgInfo(QStringLiteral("Erreur lors de l'ajout en base !"));
            } catch (const std::exception &) {
                MsgInfo(QStringLiteral("Erreur: impossible d'ajouter une note à la liste !"));
            }
        } else {
            try {
                ModifieNote(m_numRappel, *note);
            } catch (const ErreurBase &) {
                MsgInfo(QStringLiteral("Erreur lors de la modification en base !"));
            }
        }
        RemplitListeNotes();
    }
    FermeSaisie();
}

void PanneauNotes::imgNAnnul2_Click()
{
    imgNAnnul.jumeau->hide();
    FermeSaisie();
}

void PanneauNotes::imgMNotes2_Click()
{
    imgMNotes.jumeau->hide();
    if (ListView3->Vide())
        return;
    const int numero = ListView3->NumSelectionne();
    if (numero == 0) {
        MsgInfo(QStringLiteral("Pour modifier, sélectionnez une note. "));
        return;
    }
    DebuteSaisie(QStringLiteral("M"));
    GereAfficheNote(false);
    RemplitEcheancesNote();
    cboNotesJ1->setCurrentIndex(0);
    cboNotesJ2->setCurrentIndex(0);
    try {
        const std::optional<RappelStocke> note = LitRappel(numero, QStringLiteral("N"));
        if (!note)
            throw ErreurBase(QStringLiteral("note introuvable"));
        m_numRappel = note->numRappel;
        txtTitreNote->setText(note->libelle);
        txtNotes->setPlainText(note->texte);
        DTDateNote->setDate(note->dateRappel);
        chkNJ1->setChecked(note->echeances[1].date != DateNulle);
        cboNotesJ1->setCurrentIndex(RetrouveDelai(note->dateRappel, note->echeances[2].date));
        cboNotesJ2->setCurrentIndex(RetrouveDelai(note->dateRappel, note->echeances[3].date));
    } catch (const std::exception &) {
        FinitSaisie();
        GereAfficheNote(true);
        MsgInfo(QStringLiteral("Erreur: impossible de modifier !"));
    }
}

void PanneauNotes::imgSNotes2_Click()
{
    imgSNotes.jumeau->hide();
    if (ListView3->Vide())
        return;
    const int numero = ListView3->NumSelectionne();
    if (numero == 0) {
        MsgInfo(QStringLiteral("Sélectionnez la note à supprimer. "));
        return;
    }
    if (!MsgQuestion(QStringLiteral("Etes-vous sûr de vouloir supprimer cette note ?")))
        return;
    try {
        if (!SupprimeRappel(numero, QStringLiteral("N"))) {
            MsgInfo(QStringLiteral("Erreur lors de la suppression !"));
            return;
        }
    } catch (const ErreurBase &) {
        MsgInfo(QStringLiteral("Erreur lors de la suppression !"));
        return;
    }
    RemplitListeNotes();
}

} // namespace oxi
