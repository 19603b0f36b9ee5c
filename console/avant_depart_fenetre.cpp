// The window's side of the tasks before a start: the MESURER button in the calibration panel,
// the two dialogs bound to the engine's models, their keys, and the save of a measured pair.
#include "dialogues_avant_depart.h"
#include "ecriture_etalonnage.h"
#include "fiche_mere.h"
#include "place_dialogue.h"
#include "ui_fiche_mere.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>

#include <utility>

void Tfiche_mere::cree_avant_depart() {
    // In the free corner of the calibration panel, right of ETAL: no control of the form moves.
    auto* mesurer = new QPushButton("MESURER", ui_->Panel2);
    mesurer->setObjectName("mesurer_etalonnage");
    // Bold like VALIDER; its height comes from the window, as the form's buttons' do.
    QFont gras;
    gras.setBold(true);
    mesurer->setFont(gras);
    mesurer->setGeometry(122, 8, 88, 26);
    mesurer->setToolTip("Mesurer l'étalonnage sur la base de l'organisation (F7)");
    mesurer->setFocusPolicy(Qt::TabFocus);
    connect(mesurer, &QPushButton::clicked, this, &Tfiche_mere::ouvre_mesure);
    QWidget::setTabOrder(ui_->cb_num_etal, mesurer);

    ui_->Labelheure->setToolTip("Cliquez pour donner l'heure officielle (F8)");
    ui_->Labelheure->installEventFilter(this);

    mesure_ = new Tdialogue_mesure(this);
    heure_officielle_ = new Tdialogue_heure(this);
    const auto raccourci = [this](int touche, auto action) {
        auto* r = new QShortcut(QKeySequence(touche), this);
        r->setContext(Qt::ApplicationShortcut);
        connect(r, &QShortcut::activated, this, action);
    };
    raccourci(Qt::Key_F7, [this] { ouvre_mesure(); });
    raccourci(Qt::Key_F8, [this] { ouvre_heure_officielle(); });
    raccourci(Qt::Key_F5, [this] {
        ouvre_mesure();
        mesure_->depart->click();
    });
    raccourci(Qt::Key_F6, [this] {
        ouvre_mesure();
        mesure_->arrivee->click();
    });
}

void Tfiche_mere::ouvre_mesure() {
    if (!mesure_->isVisible()) place_a_cote(mesure_);
    mesure_->show();
    mesure_->raise();
    mesure_->activateWindow();
}

void Tfiche_mere::ouvre_heure_officielle() {
    heure_officielle_->show();
    heure_officielle_->raise();
    heure_officielle_->activateWindow();
    // The field takes the keys, its last text selected to be typed over, whatever had the focus
    // in the dialog the last time (a button clicked).
    QLineEdit* champ = heure_officielle_->heure;
    champ->setFocus(Qt::OtherFocusReason);
    champ->selectAll();
    // Activating is a request: until the window system gives the dialog the keyboard, or if it
    // never does (Qt may then hold the field as focused while the keys still come to this
    // window), what the crew types reaches another widget. Those keys go to the field.
    if (!champ_heure_au_clavier() && !clavier_vers_l_heure_) {
        clavier_vers_l_heure_ = true;
        QCoreApplication::instance()->installEventFilter(this);
    }
}

bool Tfiche_mere::champ_heure_au_clavier() const {
    return heure_officielle_->heure->hasFocus() &&
           QGuiApplication::focusWindow() == heure_officielle_->windowHandle();
}

void Tfiche_mere::fin_clavier_vers_l_heure() {
    if (!std::exchange(clavier_vers_l_heure_, false)) return;
    QCoreApplication::instance()->removeEventFilter(this);
}

void Tfiche_mere::place_a_cote(QWidget* dialogue) {
    // Where the crew keeps reading the gap and CADEN while the dialog is open: right of the
    // trip panel, under the calibration panel; else right of the window, else below it.
    dialogue->adjustSize();
    const auto global = [](const QWidget* w) { return QRect(w->mapToGlobal(QPoint()), w->size()); };
    const QRect fenetre = frameGeometry();
    dialogue->move(place_dialogue(dialogue->frameGeometry().size().expandedTo(dialogue->sizeHint()),
                                  screen()->availableGeometry(),
                                  global(ui_->la_ecart) | global(ui_->Panel_trip),
                                  {{global(ui_->Panel_trip).right() + 8, global(ui_->Panel6).top()},
                                   {fenetre.right() + 1, fenetre.top()},
                                   {fenetre.left(), fenetre.bottom() + 1}}));
}

bool Tfiche_mere::eventFilter(QObject* objet, QEvent* e) {
    if (clavier_vers_l_heure_) {
        QLineEdit* champ = heure_officielle_->heure;
        const auto* w = qobject_cast<const QWidget*>(objet);
        const bool a_nous =
            w != nullptr && (w->window() == this || w->window() == heure_officielle_);
        switch (e->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            if (a_nous && objet != champ && heure_officielle_->isVisible()) {
                QCoreApplication::sendEvent(champ, e);
                return true;
            }
            break;
        case QEvent::FocusIn:
        case QEvent::WindowActivate:
            // The field has the keyboard itself.
            if (champ_heure_au_clavier()) fin_clavier_vers_l_heure();
            break;
        case QEvent::MouseButtonPress:
            // The crew chose where to type.
            if (a_nous) fin_clavier_vers_l_heure();
            break;
        case QEvent::Hide:
            if (objet == heure_officielle_) fin_clavier_vers_l_heure();
            break;
        default:
            break;
        }
    }
    if (objet == ui_->Labelheure && e->type() == QEvent::MouseButtonRelease) {
        ouvre_heure_officielle();
        return true;
    }
    return QMainWindow::eventFilter(objet, e);
}

void Tfiche_mere::branche_avant_depart() {
    Tmoteur& m = moteur_;
    const std::pair<Tmodele_label*, QLabel*> labels[] = {
        {&m.la_tours_mesures, mesure_->tours},
        {&m.la_etat_mesure, mesure_->etat},
        {&m.la_paire_mesuree, mesure_->paire},
        {&m.la_ecart_mesure, mesure_->ecart},
        {&m.la_resolution_mesure, mesure_->resolution},
        {&m.la_verif_mesure, mesure_->verification},
        {&m.la_decalage_officiel, heure_officielle_->decalage},
    };
    for (const auto& [modele, widget] : labels)
        lie(*modele, widget);
    lie(m.ed_heure_officielle, heure_officielle_->heure);
    // A new pair (or none) is not the one saved: the line about the save goes.
    m.la_paire_mesuree.miroir = [this, montre = m.la_paire_mesuree.miroir] {
        montre();
        mesure_->dit_enregistrement({});
    };

    // The base's length runs its handler at each keystroke, like ETAL's own field.
    QLineEdit* base = mesure_->base;
    m.ed_base_mesure.miroir = [&m, base] {
        const QString t = QString::fromStdString(m.ed_base_mesure.texte());
        if (base->text() != t) base->setText(t);
    };
    m.ed_base_mesure.miroir();
    connect(base, &QLineEdit::textEdited, this, [this](const QString& t) {
        evenement(Tevenement::choix("ed_base_mesure", t.toStdString()));
    });

    connect(mesure_->enregistrer, &QPushButton::clicked, this, [this] {
        evenement(Tevenement::clic("mesure_enregistrer"));
        if (!rejeu_) enregistre_paire_mesuree();
    });
}

void Tfiche_mere::enregistre_paire_mesuree() {
    const auto p = std::exchange(moteur_.paire_a_enregistrer, std::nullopt);
    if (!p) return;
    const QString chemin = QString::fromStdString(moteur_.chemin_etalonnage);
    if (const auto erreur = enregistre_etalonnage(chemin, p->emplacement, p->paire)) {
        mesure_->dit_enregistrement(*erreur);
        // Not an engine event: the box is the window's, and the run's journal is unchanged.
        services_.message(erreur->toStdString());
        return;
    }
    mesure_->dit_enregistrement(
        QString("Étalonnage %1 enregistré dans %2").arg(p->emplacement).arg(chemin));
}
