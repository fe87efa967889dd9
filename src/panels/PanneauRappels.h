#pragma once
#include "EcritureRappels.h"
#include "ImageBouton.h"
#include "TablesRappels.h"

#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QTreeWidgetItem;

namespace oxi {

class ListeRappels;

// The names, texts and tables that tell the three reminder panels apart.
struct NomsPanneau
{
    QString cadre, titre, texteTitre;
    QString liste;
    QStringList entetes;
    QString boutons;       // "Anniv": imgAAnniv, imgMAnniv, imgSAnniv
    QString jumeauValider; // the twin of Valider when not named after it
    QString echeances, delai1, delai2;
    int hautEcheances = 0;              // twips
    TypeRappel type = TypeRappel::Note; // its letter names controls too: imgAValid, imgAAnnul, chkAJ1
    Tableau (*litTable)() = nullptr;
    QStringList (*cellules)(const LigneTableau &) = nullptr;
    QString erreurListe, choisirModif, choisirSuppr, questionSuppr;
    QString introuvable; // Modifier finds no stored row
    QString erreurAjout; // an unexpected failure while saving a new entry
};

// What the birthday, name-day and note panels share: the list view with
// Ajouter, Modifier, Supprimer and the sort buttons, the entry view with the
// lead-time boxes, Valider and Annuler, and the flows between them.
// What a reminder panel's entry view is doing.
enum class ModeSaisie { Aucune, Ajout, Modification };

class PanneauRappels : public Cadre
{
    Q_OBJECT
public:
    // While an entry is in progress no other panel opens and the main window
    // refuses to be hidden.
    ModeSaisie Saisie() const { return m_mode; }

    // Opening from the icon bar: list view, list re-read.
    void Ouvre();
    // List view when true, entry view when false; nothing else changes.
    virtual void GereAffiche(bool val);
    void RemplitListe();
    void TrieListe(int colonne);

    void Ajoute();
    void Modifie();
    void Supprime();
    void Valide();
    void Annule();

    QLabel *lblTitre = nullptr;
    ListeRappels *liste = nullptr;
    PaireImages ajouter, modifier, supprimer, valider, annuler;
    QList<PaireImages> tris;
    QLabel *lblEch = nullptr;
    QCheckBox *chkJour = nullptr;
    QComboBox *cboDelai1 = nullptr;
    QComboBox *cboDelai2 = nullptr;

protected:
    PanneauRappels(NomsPanneau noms, QWidget *parent);
    void AjouteTri(const QString &nom, const QString &ressource, int gauche, int colonne);
    // The panel's own entry controls, shown and hidden with the entry view.
    void AjouteSaisie(std::initializer_list<QWidget *> controles) { m_saisie.append(controles); }

    // The panel's part of Ajouter, after the lead-time boxes are ready.
    virtual void PrepareAjout() = 0;
    // Shows the stored reminder chosen for Modifier (lead times aside).
    virtual void MontreRappel(const RappelStocke &rappel, const QTreeWidgetItem &ligne) = 0;
    // Saves the entry; false keeps the entry view open (a message said why).
    virtual bool Enregistre(bool ajout) = 0;
    // Clears the panel's own entry controls.
    virtual void VideSaisie() = 0;

    // The lead-time choices; nothing (reported) when `valide` is false or a box cannot be read.
    std::optional<ChoixEcheances> LitEcheances(bool valide = true);
    // Runs a write, reports its failure with `erreur`, then re-reads the list.
    void Ecrit(const std::function<void()> &ecriture, const QString &erreur);
    void RemplitEcheances();
    void FermeSaisie();

    qint64 m_numRappel = 0;
    ModeSaisie m_mode = ModeSaisie::Aucune;
    Tableau m_table;

private:
    void AfficheListe();

    const NomsPanneau m_noms;
    QList<QWidget *> m_saisie;
};

} // namespace oxi
