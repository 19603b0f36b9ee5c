#include "dialogues_avant_depart.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

template <class W> W* nomme(W* w, const char* nom) {
    w->setObjectName(QString::fromLatin1(nom));
    return w;
}

// The width the dialogs' texts wrap at: narrow enough for the dialog to stand beside the
// trip panel on the form.
constexpr int largeur_texte = 380;

QLabel* ligne(QWidget* parent, const char* nom, int lignes_reservees = 1) {
    auto* l = nomme(new QLabel(parent), nom);
    l->setWordWrap(true);
    l->setFixedWidth(largeur_texte);
    // Room kept for the longest text the line shows, so that nothing below it moves.
    l->setMinimumHeight(l->fontMetrics().lineSpacing() * lignes_reservees);
    return l;
}

} // namespace

Tdialogue_mesure::Tdialogue_mesure(QWidget* parent) : QDialog(parent) {
    setObjectName("dialogue_mesure");
    setWindowTitle("Mesurer l'étalonnage");
    auto* v = new QVBoxLayout(this);
    // The dialog is never smaller than what it shows: a longer text makes it grow.
    v->setSizeConstraint(QLayout::SetMinimumSize);
    auto* aide = ligne(this, "la_aide_mesure");
    aide->setText(
        "Choisissez dans ETAL l'étalonnage à remplacer. Arrêté au premier repère de la base, "
        "cliquez DÉPART (F5) ; roulez jusqu'au second et cliquez ARRIVÉE (F6). Les tours de "
        "roue sont comptés quel que soit l'étalonnage en service ; en marche arrière (MARCHE "
        "AR cochée), ils sont décomptés.");
    v->addWidget(aide);

    auto* marche = new QHBoxLayout;
    depart = nomme(new QPushButton("DÉPART  (F5)", this), "mesure_depart");
    arrivee = nomme(new QPushButton("ARRIVÉE  (F6)", this), "mesure_arrivee");
    tours = nomme(new QLabel(this), "la_tours_mesures");
    tours->setMinimumWidth(110);
    marche->addWidget(depart);
    marche->addWidget(arrivee);
    marche->addWidget(tours);
    v->addLayout(marche);
    etat = ligne(this, "la_etat_mesure", 2);
    v->addWidget(etat);

    auto* longueur = new QHBoxLayout;
    auto* libelle = new QLabel("Longueur de la base :", this);
    base = nomme(new QLineEdit(this), "ed_base_mesure");
    base->setMaximumWidth(110);
    libelle->setBuddy(base);
    longueur->addWidget(libelle);
    longueur->addWidget(base);
    longueur->addWidget(new QLabel("m", this));
    longueur->addStretch();
    v->addLayout(longueur);

    paire = ligne(this, "la_paire_mesuree", 2);
    QFont gras = paire->font();
    gras.setBold(true);
    paire->setFont(gras);
    ecart = ligne(this, "la_ecart_mesure", 2);
    resolution = ligne(this, "la_resolution_mesure", 2);
    verification = ligne(this, "la_verif_mesure", 2);
    for (QLabel* l : {paire, ecart, resolution, verification})
        v->addWidget(l);

    auto* boutons = new QHBoxLayout;
    appliquer = nomme(new QPushButton("APPLIQUER", this), "mesure_appliquer");
    appliquer->setToolTip("L'étalonnage mesuré sert dès maintenant, comme un choix dans ETAL");
    enregistrer = nomme(new QPushButton("ENREGISTRER", this), "mesure_enregistrer");
    enregistrer->setToolTip("Appliquer, et l'écrire dans etalonnage.txt à la place de "
                            "l'étalonnage choisi dans ETAL");
    auto* fermer = nomme(new QPushButton("FERMER", this), "mesure_fermer");
    connect(fermer, &QPushButton::clicked, this, &QDialog::hide);
    boutons->addWidget(appliquer);
    boutons->addWidget(enregistrer);
    boutons->addStretch();
    boutons->addWidget(fermer);
    v->addLayout(boutons);
    // Last, under the buttons: its message of several lines grows the dialog downwards.
    enregistrement = ligne(this, "la_enregistrement_mesure");
    v->addWidget(enregistrement);
    v->addStretch();
    // No button takes Enter from the length's field: a push must be the crew's choice.
    for (QPushButton* b : findChildren<QPushButton*>())
        b->setAutoDefault(false);
}

void Tdialogue_mesure::dit_enregistrement(const QString& texte) {
    enregistrement->setText(texte);
    // Grown to hold it; its top-left corner, and so every button, stays where it was.
    adjustSize();
}

Tdialogue_heure::Tdialogue_heure(QWidget* parent) : QDialog(parent) {
    setObjectName("dialogue_heure");
    setWindowTitle("Heure officielle");
    auto* v = new QVBoxLayout(this);
    auto* aide = new QLabel(
        "Tapez l'heure que montre l'horloge officielle à la prochaine minute ronde (10:15) et "
        "cliquez VALIDER au moment où elle la montre ; ou tapez le décalage en secondes et "
        "dixièmes (-2,3 : l'ordinateur avance de 2,3 s). L'horloge de l'ordinateur n'est pas "
        "changée, et ses réglages ne changent plus l'heure officielle donnée. Pendant une zone, "
        "l'heure officielle ne change pas.",
        this);
    aide->setWordWrap(true);
    aide->setFixedWidth(largeur_texte);
    v->addWidget(aide);
    auto* saisie = new QHBoxLayout;
    heure = nomme(new QLineEdit(this), "ed_heure_officielle");
    heure->setMaximumWidth(110);
    valider = nomme(new QPushButton("VALIDER", this), "valid_heure_officielle");
    raz = nomme(new QPushButton("RAZ", this), "raz_heure_officielle");
    saisie->addWidget(heure);
    saisie->addWidget(valider);
    saisie->addWidget(raz);
    saisie->addStretch();
    v->addLayout(saisie);
    decalage = ligne(this, "la_decalage_officiel", 2);
    v->addWidget(decalage);
    for (QPushButton* b : findChildren<QPushButton*>())
        b->setAutoDefault(false);
    // Enter in the field validates: the crew presses it as the official clock turns.
    connect(heure, &QLineEdit::returnPressed, valider, &QPushButton::click);
}
