// Each control model bound to its widget, both ways. The model is the truth:
// the widget shows it the moment it changes, and the crew's edits are written
// back into it. A widget being brought in line with its model does not write
// back, so the program's writes never bounce.
#include "ajustement_texte.h"
#include "barre_ecart.h"
#include "couleurs.h"
#include "echelle_fiche.h"
#include "fiche_mere.h"
#include "ui_fiche_mere.h"

#include <QTimer>

#include <algorithm>
#include <memory>

namespace {

QString qt(const std::string& s) {
    return QString::fromStdString(s);
}

void fond(QWidget* w, const QColor& c) {
    if (w->palette().color(QPalette::Window) == c && w->autoFillBackground()) return;
    QPalette p = w->palette();
    p.setColor(QPalette::Window, c);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

} // namespace

void Tfiche_mere::lie(Tmodele_label& m, QLabel* w, bool couleur_pilotee) {
    // A label the form marks "ajuste_texte" fits any text the crew can give it, at the
    // character height and legible floor of the scale the form is drawn at.
    const int hauteur =
        w->property("ajuste_texte").toBool() ? w->property("hauteur_px").toInt() : 0;
    const Techelle_fiche* echelle = echelle_.get();
    // The engine's texts are shown as written, never read as markup: a line of a rally file
    // reaches MOYENNE, and rich text would load the pictures it names.
    w->setTextFormat(Qt::PlainText);
    const QString bulle_de_la_fiche = w->toolTip();
    m.miroir = [&m, w, couleur_pilotee, hauteur, echelle, bulle_de_la_fiche] {
        const QString t = qt(m.texte());
        if (hauteur > 0)
            montre_ajuste(w, t, echelle->hauteur_a_l_echelle(hauteur),
                          echelle->hauteur_a_l_echelle(hauteur_lisible_px));
        else if (w->text() != t)
            w->setText(t);
        if (w->isHidden() == m.visible()) w->setVisible(m.visible());
        if (couleur_pilotee) fond(w, couleur_systeme(m.couleur()));
        const QString bulle = m.bulle().empty() ? bulle_de_la_fiche : qt(m.bulle());
        if (w->toolTip() != bulle) w->setToolTip(bulle);
    };
    if (hauteur > 0) reajustements_.push_back([&m] { m.miroir(); });
    m.miroir();
}

void Tfiche_mere::lie(Tmodele_case& m, QAbstractButton* w) {
    m.miroir = [&m, w] {
        if (w->isChecked() != m.coche()) w->setChecked(m.coche());
    };
    m.miroir();
    // Written back whatever the cause: an exclusive group unchecks its other buttons too.
    connect(w, &QAbstractButton::toggled, this,
            [this, nom = w->objectName().toStdString()](bool c) {
                evenement(Tevenement::coche(nom, c));
            });
}

template <class Modele, class Widget, class Signal, class Lit, class Montre>
void Tfiche_mere::lie_texte(Modele& m, Widget* w, Signal signal, Lit lit, Montre montre) {
    auto en_miroir = std::make_shared<bool>(false);
    m.miroir = [&m, w, en_miroir, lit, montre] {
        const QString t = qt(m.texte());
        if (lit(w) == t) return;
        *en_miroir = true;
        montre(w, m, t);
        *en_miroir = false;
    };
    m.miroir();
    connect(w, signal, this, [this, w, en_miroir, lit, nom = w->objectName().toStdString()] {
        if (!*en_miroir) evenement(Tevenement::texte_tape(nom, lit(w).toStdString()));
    });
}

void Tfiche_mere::lie(Tmodele_champ& m, QLineEdit* w) {
    lie_texte(
        m, w, &QLineEdit::textChanged, [](QLineEdit* e) { return e->text(); },
        [](QLineEdit* e, Tmodele_champ&, const QString& t) { e->setText(t); });
}

void Tfiche_mere::lie(Tmodele_champ& m, QComboBox* w) {
    lie_texte(
        m, w, &QComboBox::currentTextChanged, [](QComboBox* c) { return c->currentText(); },
        [](QComboBox* c, Tmodele_champ& champ, const QString& t) {
            const bool dans_la_liste = champ.index() >= 0 && champ.index() < c->count();
            c->setCurrentIndex(dans_la_liste ? champ.index() : -1);
            if (c->currentText() != t) c->setEditText(t);
        });
}

void Tfiche_mere::lie(Tmodele_memo& m, QPlainTextEdit* w) {
    lie_texte(
        m, w, &QPlainTextEdit::textChanged, [](QPlainTextEdit* e) { return e->toPlainText(); },
        [](QPlainTextEdit* e, Tmodele_memo&, const QString& t) { e->setPlainText(t); });
}

void Tfiche_mere::lie(Tmodele_barre& m, Tbarre_ecart* w) {
    m.miroir = [&m, w] {
        w->ecrit_maximum(m.maximum());
        w->ecrit_position(m.position());
    };
    m.miroir();
}

void Tfiche_mere::lie(Tmodele_minuterie& m, QTimer* t) {
    m.miroir = [&m, t] {
        // A new interval restarts the period, as the crew's speed change expects.
        if (t->interval() != m.intervalle()) t->setInterval(std::max(0, m.intervalle()));
        if (t->isActive() != m.actif()) {
            if (m.actif())
                t->start();
            else
                t->stop();
        }
    };
    m.miroir();
}

void Tfiche_mere::lie_controles() {
    Tmoteur& m = moteur_;
    Ui::fiche_mere& u = *ui_;
    const std::pair<Tmodele_label*, QLabel*> labels[] = {
        {&m.la_par_m, u.la_par_m},
        {&m.la_par_dixm, u.la_par_dixm},
        {&m.la_par_centm, u.la_par_centm},
        {&m.la_par_kilom, u.la_par_kilom},
        {&m.la_par_dixkilom, u.la_par_dixkilom},
        {&m.la_par_centkilom, u.la_par_centkilom},
        {&m.la_tot_m, u.la_tot_m},
        {&m.la_tot_dixm, u.la_tot_dixm},
        {&m.la_tot_centm, u.la_tot_centm},
        {&m.la_tot_kilom, u.la_tot_kilom},
        {&m.la_tot_dixkilom, u.la_tot_dixkilom},
        {&m.la_tot_centkilom, u.la_tot_centkilom},
        {&m.la_cad_m, u.la_cad_m},
        {&m.la_cad_dixm, u.la_cad_dixm},
        {&m.la_cad_centm, u.la_cad_centm},
        {&m.la_cad_kilom, u.la_cad_kilom},
        {&m.la_cad_dixkilom, u.la_cad_dixkilom},
        {&m.la_cad_centkilom, u.la_cad_centkilom},
        {&m.la_maj_trip, u.la_maj_trip},
        {&m.la_ecart_maj, u.la_ecart_maj},
        {&m.la_pourcent, u.la_pourcent},
        {&m.La_moy_en_cours, u.La_moy_en_cours},
        {&m.seuil_bas, u.seuil_bas},
        {&m.seuil_haut, u.seuil_haut},
        {&m.la_ecart, u.la_ecart},
        {&m.lb_tours_roue, u.lb_tours_roue},
        {&m.lb_correction, u.lb_correction},
        {&m.Labelheure, u.Labelheure},
        {&m.Labelchrono, u.Labelchrono},
        {&m.la_offcet_cad, u.la_offcet_cad},
        {&m.lb_nbr_changem, u.lb_nbr_changem},
    };
    for (const auto& [modele, widget] : labels)
        lie(*modele, widget);

    // The controls whose colour the engine drives.
    const std::pair<Tmodele_label*, QLabel*> colores[] = {
        {&m.Panel1, u.Panel1},
        {&m.Panel6, u.Panel6},
        {&m.Panel_sonde, u.Panel_sonde},
        {&m.lb_dist_etal, u.lb_dist_etal},
        {&m.la_horloge, u.la_horloge},
        {&m.pa_m30, u.pa_m30},
        {&m.pa_m20, u.pa_m20},
        {&m.pa_m10, u.pa_m10},
        {&m.pa_vert, u.pa_vert},
        {&m.pa_10, u.pa_10},
        {&m.pa_20, u.pa_20},
        {&m.pa_30, u.pa_30},
    };
    for (const auto& [modele, widget] : colores)
        lie(*modele, widget, true);

    const std::pair<Tmodele_case*, QAbstractButton*> cases[] = {
        {&m.cb_marche_ar, u.cb_marche_ar},
        {&m.cad_on, u.cad_on},
        {&m.format1, u.format1},
        {&m.format2, u.format2},
        {&m.format3, u.format3},
        {&m.format4, u.format4},
        {&m.cb_offcet_cad, u.cb_offcet_cad},
        {&m.CheckBox1, u.CheckBox1},
    };
    for (const auto& [modele, widget] : cases)
        lie(*modele, widget);

    lie(m.ed_seuil_conf, u.ed_seuil_conf);
    lie(m.ed_fichier_rallye, u.ed_fichier_rallye);
    lie(m.ed_offcet_cad, u.ed_offcet_cad);
    lie(m.cb_num_etal, u.cb_num_etal);
    lie(m.cb_heure_zr, u.cb_heure_zr);
    lie(m.cb_min_zr, u.cb_min_zr);
    lie(m.cb_sec_zr, u.cb_sec_zr);
    lie(m.ZONE, u.ZONE);
    lie(m.memo_kms, u.memo_kms);
    lie(m.memo_moy, u.memo_moy);
    lie(m.retard, u.retard);
    lie(m.avance, u.avance);
    lie(m.Timer2, Timer2_);

    m.ScrollBar1.miroir = [&m, &u] {
        if (u.ScrollBar1->value() != m.ScrollBar1.position())
            u.ScrollBar1->setValue(m.ScrollBar1.position());
    };
    m.ScrollBar1.miroir();
}
