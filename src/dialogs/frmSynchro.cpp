#include "frmSynchro.h"

#include "Messagerie.h"
#include "ModuleEchanges.h"
#include "Polices.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace oxi {

namespace {

QLineEdit *Zone(QWidget *parent, const QString &nom, const QString &texte)
{
    auto *zone = new QLineEdit(texte, parent);
    zone->setObjectName(nom);
    zone->setMinimumWidth(zone->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 42);
    return zone;
}

} // namespace

frmSynchro::frmSynchro(SynchroAuto *synchro, QWidget *parent) : QWidget(parent, Qt::Window), m_synchro(synchro)
{
    setObjectName(QStringLiteral("frmSynchro"));
    setWindowTitle(QStringLiteral("Synchronisation avec un agenda"));
    setFont(Police(QStringLiteral("Tahoma"), 9));

    auto *explication =
        new QLabel(QStringLiteral("Oxi échange ses rappels avec un calendrier de votre serveur CalDAV (Nextcloud, Radicale, "
                                  "Baïkal…), que lisent aussi votre téléphone et vos autres ordinateurs."),
                   this);
    explication->setObjectName(QStringLiteral("lblExplication"));
    explication->setWordWrap(true);
    QString calendrier = LitReglage(ReglageCalendrier);
    txtAdresse = Zone(this, QStringLiteral("txtAdresse"), LitReglage(ReglageAdresse));
    txtAdresse->setPlaceholderText(QStringLiteral("https://serveur.exemple/dav/"));
    txtUtilisateur = Zone(this, QStringLiteral("txtUtilisateur"), LitReglage(ReglageUtilisateur));
    txtCalendrier = Zone(this, QStringLiteral("txtCalendrier"), calendrier.isEmpty() ? QStringLiteral("Calendrier") : calendrier);
    txtMotDePasse = Zone(this, QStringLiteral("txtMotDePasse"), QString());
    txtMotDePasse->setEchoMode(QLineEdit::Password);
    txtMotDePasse->setPlaceholderText(QStringLiteral("inchangé s'il est laissé vide"));

    auto *formulaire = new QFormLayout;
    formulaire->addRow(QStringLiteral("Adresse du serveur :"), txtAdresse);
    formulaire->addRow(QStringLiteral("Utilisateur :"), txtUtilisateur);
    formulaire->addRow(QStringLiteral("Calendrier :"), txtCalendrier);
    formulaire->addRow(QStringLiteral("Mot de passe :"), txtMotDePasse);

    lblDerniere = new QLabel(this);
    lblDerniere->setObjectName(QStringLiteral("lblDerniere"));
    lblBilan = new QLabel(this);
    lblBilan->setObjectName(QStringLiteral("lblBilan"));
    lblBilan->setWordWrap(true);
    cmdSynchroniser = new QPushButton(QStringLiteral("Synchroniser maintenant"), this);
    cmdSynchroniser->setObjectName(QStringLiteral("cmdSynchroniser"));
    cmdFermer = new QPushButton(QStringLiteral("Fermer"), this);
    cmdFermer->setObjectName(QStringLiteral("cmdFermer"));
    auto *boutons = new QHBoxLayout;
    boutons->addStretch();
    boutons->addWidget(cmdSynchroniser);
    boutons->addWidget(cmdFermer);

    auto *colonne = new QVBoxLayout(this);
    colonne->addWidget(explication);
    colonne->addLayout(formulaire);
    colonne->addWidget(lblDerniere);
    colonne->addWidget(lblBilan);
    colonne->addLayout(boutons);

    connect(cmdSynchroniser, &QPushButton::clicked, this, &frmSynchro::SynchroniseMaintenant);
    connect(cmdFermer, &QPushButton::clicked, this, &QWidget::close);
    if (m_synchro)
        connect(m_synchro, &SynchroAuto::Fini, this, [this] {
            AfficheBilan();
            cmdSynchroniser->setEnabled(true);
        });
    AfficheBilan();
}

void frmSynchro::AfficheBilan()
{
    const QString derniere = LitReglage(ReglageDerniere);
    lblDerniere->setText(derniere.isEmpty() ? QStringLiteral("Aucune synchronisation pour l'instant.")
                                            : QStringLiteral("Dernière synchronisation : ") + derniere);
    lblBilan->setText(LitReglage(ReglageBilan));
}

void frmSynchro::SynchroniseMaintenant()
{
    ModuleEchanges *module = ModuleEchangesOuMessage();
    if (!module)
        return;
    const QString adresse = txtAdresse->text().trimmed();
    if (const QString refus = module->RefusAdresse(QUrl(adresse)); !refus.isEmpty()) {
        MsgInfo(refus);
        return;
    }
    if (txtCalendrier->text().trimmed().isEmpty())
        txtCalendrier->setText(QStringLiteral("Calendrier"));
    EcritReglage(ReglageAdresse, adresse);
    EcritReglage(ReglageUtilisateur, txtUtilisateur->text().trimmed());
    EcritReglage(ReglageCalendrier, txtCalendrier->text().trimmed());
    cmdSynchroniser->setEnabled(false);
    if (txtMotDePasse->text().isEmpty())
        return Enchaine();
    module->EcritMotDePasse(txtMotDePasse->text(), [this](bool ecrit, const QString &message) {
        txtMotDePasse->clear();
        if (!ecrit || message.contains(QStringLiteral("Aucun trousseau")))
            MsgInfo(message); // where it went, when it is not the keyring
        if (ecrit)
            Enchaine();
        else
            cmdSynchroniser->setEnabled(true);
    });
}

void frmSynchro::Enchaine()
{
    if (!m_synchro) {
        cmdSynchroniser->setEnabled(true);
        return;
    }
    lblBilan->setText(QStringLiteral("Synchronisation en cours…"));
    m_synchro->Lance();
}

} // namespace oxi
