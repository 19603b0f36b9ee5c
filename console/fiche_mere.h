#pragma once
// The one window of the program. It owns the engine and the link with the box,
// shows every control model in the widget of the same name, writes the crew's
// edits back, and sends every event through the engine's dispatcher.

#include "cible_hid.h"
#include "enregistreur.h"
#include "entree.h"
#include "hid_enregistre.h"
#include "liaison_boitier.h"
#include "moteur.h"
#include "services_enregistres.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAbstractButton;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTimer;
class Tbarre_ecart;
class Tdialogue_heure;
class Tdialogue_mesure;
class Techelle_fiche;
class QScreen;
class QShortcut;
namespace Ui {
class fiche_mere;
}

// How the window runs: recording its run into a journal, or showing a replay.
struct Tmode_fiche {
    // The journal's file; none: the run is not recorded.
    std::unique_ptr<Tfichier_journal> journal;
    std::string date_journal;
    // The events come from a replay through entree(); the crew's own are ignored, and
    // the window does not start up by itself (the journal holds its start-up).
    bool rejeu = false;
};

class Tfiche_mere : public QMainWindow {
    Q_OBJECT
public:
    // Runs the whole start-up while the window is still hidden: a box it raises
    // shows before the window.
    Tfiche_mere(Iservices& services, cUSBInterface& hid, Tmode_fiche mode = {},
                QWidget* parent = nullptr);
    ~Tfiche_mere() override;

    Tmoteur& moteur() { return moteur_; }
    Tentree& entree() { return entree_; }
    // The recorder, while the run is recorded.
    const Tenregistreur* enregistreur() const { return enregistreur_.get(); }
    // The sink given to the HID library. It outlives every window, so a
    // notification posted from the library's thread during shutdown is harmless.
    static Tcible_hid& cible_hid();

    // The dialogs of the tasks before a start (MESURER and F7; a click on the clock and F8).
    void ouvre_mesure();
    void ouvre_heure_officielle();

    // Shows the window in the middle of the main screen, the form scaled down where the screen
    // is too small for it, as the program opens it.
    void montre_au_centre();
    // The instrument alone on the whole screen, as large as it goes (F11, Alt+Entrée), and back
    // (the same keys, Échap).
    void bascule_plein_ecran();
    // The scale the form is drawn at: 1 where the screen holds it.
    qreal echelle() const;

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* objet, QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    std::unique_ptr<Ui::fiche_mere> ui_;
    // What the engine is given passes through these, to be recorded while a journal is kept.
    Tservices_enregistres services_;
    Thid_enregistre hid_;
    Tmoteur moteur_;
    Tliaison_boitier liaison_;
    Tentree entree_;
    std::unique_ptr<Tenregistreur> enregistreur_;
    const bool rejeu_;
    Tcrochet_hid crochet_;
    QTimer* Timer1_ = nullptr;
    QTimer* Timer2_ = nullptr;
    Tdialogue_mesure* mesure_ = nullptr;
    Tdialogue_heure* heure_officielle_ = nullptr;
    std::unique_ptr<Techelle_fiche> echelle_;
    // Run again after a new scale: the labels that fit their text to their box.
    std::vector<std::function<void()>> reajustements_;
    // The scale for the screen the window is on, outside full screen.
    qreal echelle_fenetre_ = 1;
    // The window's place and size as full screen was entered.
    std::optional<QRect> avant_plein_ecran_;
    QShortcut* sortie_plein_ecran_ = nullptr;
    std::vector<QMetaObject::Connection> suivi_ecran_;
    bool ecran_suivi_ = false;

    // One event into the engine; during a replay the crew's are dropped.
    bool evenement(const Tevenement& e) { return rejeu_ ? false : entree_.distribue(e); }

    void montre_volant();
    void lie_controles();
    void branche_evenements();
    // The MESURER button, the two dialogs and their keys; the save of a measured pair.
    void cree_avant_depart();
    void branche_avant_depart();
    void enregistre_paire_mesuree();
    // A dialog placed where it hides neither the gap nor the registers.
    void place_a_cote(QWidget* dialogue);
    // While the official time's field waits for the keyboard, the keys typed in this window or
    // its dialog go to that field.
    bool clavier_vers_l_heure_ = false;
    bool champ_heure_au_clavier() const;
    void fin_clavier_vers_l_heure();
    // The window on its screen: the scale that fits it, and full screen.
    void cree_echelle();
    void met_a_l_echelle(qreal echelle, QPoint decalage = {});
    void ajuste_a_l_ecran(QScreen* ecran, bool au_centre);
    void suit_l_ecran(QScreen* ecran);

    void lie(Tmodele_label& m, QLabel* w, bool couleur_pilotee = false);
    void lie(Tmodele_case& m, QAbstractButton* w);
    void lie(Tmodele_champ& m, QLineEdit* w);
    void lie(Tmodele_champ& m, QComboBox* w);
    void lie(Tmodele_memo& m, QPlainTextEdit* w);
    // A text model mirrored into its widget, and the crew's edits written back, without
    // the widget's change signal echoing the program's own writes.
    template <class Modele, class Widget, class Signal, class Lit, class Montre>
    void lie_texte(Modele& m, Widget* w, Signal signal, Lit lit, Montre montre);
    void lie(Tmodele_barre& m, Tbarre_ecart* w);
    void lie(Tmodele_minuterie& m, QTimer* t);
    // A combo box whose handler runs on the crew's own changes only.
    void sur_choix(QComboBox* w);
};
