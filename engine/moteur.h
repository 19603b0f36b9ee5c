#pragma once
// The regularity engine: the state record, the models of the window's controls
// by their names, and every procedure and handler of the trip computer. It has
// no window of its own: the window binds its widgets to these models and sends
// every event through `distribue`.

#include "avant_depart.h"
#include "controles.h"
#include "erreurs.h"
#include "etat_regularite.h"
#include "format_moyenne.h"
#include "services.h"

#include <cstdint>
#include <exception>
#include <map>
#include <new>
#include <optional>
#include <string>

class Tmoteur {
public:
    explicit Tmoteur(Iservices& services);
    Tmoteur(const Tmoteur&) = delete;
    Tmoteur& operator=(const Tmoteur&) = delete;

    Iservices& services;
    Tetat_regularite etat;

    // ---- Controls, by the window's names --------------------------------------------------
    // Panel_trip: the three registers, lowest digit first in each group below.
    Tmodele_label la_par_m{"0"}, la_par_dixm{"0"}, la_par_centm{"0"}, la_par_kilom{"0"},
        la_par_dixkilom{"0"}, la_par_centkilom{"0"};
    Tmodele_label la_tot_m{"0"}, la_tot_dixm{"0"}, la_tot_centm{"0"}, la_tot_kilom{"0"},
        la_tot_dixkilom{"0"}, la_tot_centkilom{"0"};
    Tmodele_label la_cad_m{"0"}, la_cad_dixm{"0"}, la_cad_centm{"0"}, la_cad_kilom{"0"},
        la_cad_dixkilom{"0"}, la_cad_centkilom{"0"};
    Tmodele_case cb_marche_ar;
    Tmodele_label la_maj_trip{"............"};
    Tmodele_case cad_on;
    Tmodele_label la_ecart_maj{"0"};
    Tmodele_label la_pourcent{"0"};
    Tmodele_label La_moy_en_cours{moyenne_nulle};
    Tmodele_case format1{true}, format2, format3, format4;

    // Panel5: the gap.
    Tmodele_label seuil_bas{"- 20"};
    Tmodele_barre retard;
    Tmodele_barre avance;
    Tmodele_label seuil_haut{"+ 20"};
    Tmodele_label la_ecart{".0000."};
    Tmodele_champ ed_seuil_conf;
    Tmodele_label Panel_sonde{"", Tcouleur::face_bouton};
    Tmodele_label Panel1{"", Tcouleur::face_bouton};

    // Panel2: calibration.
    Tmodele_champ cb_num_etal{"1", {"1", "2", "3"}};
    Tmodele_label lb_dist_etal{"0000 m", Tcouleur::degrade_legende_inactive};
    Tmodele_label lb_tours_roue{"0000 Trs"};
    Tmodele_label lb_correction{"0"};

    // Panel6: clock, ZR start time, chronometer.
    Tmodele_label Panel6{"", Tcouleur::degrade_legende_inactive};
    Tmodele_label Labelheure{" 00:00:00 "};
    Tmodele_champ cb_heure_zr;
    Tmodele_champ cb_min_zr;
    Tmodele_champ cb_sec_zr;
    Tmodele_label Labelchrono{" 0:00:00 "};

    // Panel7: rally file and zone.
    Tmodele_champ ZONE;
    Tmodele_champ ed_fichier_rallye;

    // Panel_decalage: cadence offset.
    Tmodele_case cb_offcet_cad;
    Tmodele_champ ed_offcet_cad;
    Tmodele_label la_offcet_cad{"0000 m"};

    // Panel3: the zone's rows.
    Tmodele_memo memo_kms{{"10.00"}};
    Tmodele_memo memo_moy{{"45.00"}};
    Tmodele_label lb_nbr_changem{"0"};

    // Panel4: simulation strip and LED viewer.
    Tmodele_case CheckBox1;
    Tmodele_defilement ScrollBar1;
    Tmodele_minuterie Timer2;
    Tmodele_label pa_m30, pa_m20, pa_m10, pa_vert, pa_10, pa_20, pa_30;

    // The calibration measured on a base (its own dialog) and the official time's dialog.
    Tmodele_champ ed_base_mesure;
    Tmodele_label la_tours_mesures{"0 tour"};
    Tmodele_label la_etat_mesure{"Arrêté au premier repère, cliquez DÉPART."};
    Tmodele_label la_paire_mesuree, la_ecart_mesure, la_resolution_mesure, la_verif_mesure;
    Tmodele_champ ed_heure_officielle;
    Tmodele_label la_decalage_officiel{"Heure de l'ordinateur, sans décalage."};
    // What the computer's clock did, shown over the gap panel until the crew clicks it; red
    // while a zone keeps its time against it.
    Tmodele_label la_horloge{"", Tcouleur::degrade_legende_inactive};
    // The calibration file as last read, where a measured pair is saved.
    std::string chemin_etalonnage;
    // Set by ENREGISTRER once the pair is in service: the window saves it, then clears it.
    struct Tpaire_a_enregistrer {
        int emplacement = 0;
        Tpaire_etalonnage paire;
    };
    std::optional<Tpaire_a_enregistrer> paire_a_enregistrer;

    // The hidden line buffer shared by the calibration store and the zone schedule.
    Tmodele_memo Memo_copie{{"Memo_copie"}};

    // The digit labels of each register, lowest digit first.
    const Tlabels_compteur labels_total;
    const Tlabels_compteur labels_partiel;
    const Tlabels_compteur labels_cadenceur;

    // ---- The one entrance -----------------------------------------------------------------
    // Runs one event. An error the handler does not catch ends it where it stands and is
    // shown in the default error box; the program goes on.
    template <class F> void distribue(F&& gestionnaire) {
        try {
            gestionnaire();
        } catch (const Terreur_defaut& e) {
            services.message(e.texte());
        } catch (const std::bad_alloc&) {
            services.memoire_insuffisante();
        } catch (const std::length_error&) { // a text longer than memory can hold
            services.memoire_insuffisante();
        } catch (const std::exception& e) {
            services.message(e.what());
        }
    }

    // ---- Start-up (the engine's steps of the window's creation) ---------------------------
    // Resets the engine state and the displays, sets the default ZR start time and loads
    // calibration 1, in the order of the window's start-up.
    void demarrage();
    // The calibration load that ends the start-up.
    void lecture_etalonnage_demarrage();
    // The zone start two minutes after the official minute, seconds 0, wrapping at midnight.
    void heure_depart_par_defaut();

    // ---- Trip odometer --------------------------------------------------------------------
    void un_tour_de_roue();
    void calcule_kilometres_total();
    void calcule_kilometres_partiel();
    void ajoute_2_metres();
    void enleve_2_metres();
    void raz_partiel();
    void raz_affichage_trip();
    void RAZClick();
    void raz_tripClick();

    // ---- Calibration store ----------------------------------------------------------------
    void lire_donnee_etalonnage();
    void plus_etalClick();
    void moins_etalClick();

    // ---- Zone schedule --------------------------------------------------------------------
    void choisir_rallyeClick();
    void choisir_la_zr();
    void valid_heure_zrClick();
    void transforme_virgule_point();
    void panel_rouge();

    // ---- Cadenceur and chronometer --------------------------------------------------------
    void Timer1Timer();
    void calcul_kilometre_cadenceur();
    void calcule_temps_chrono();
    void valid_offcet_cadClick();
    void raz_offcet_cadClick();

    // ---- A calibration measured on a base, the official time ----------------------------
    void mesure_departClick();
    void mesure_arriveeClick();
    // The pair, its change and resolution shown again (the base's length typed, the stop).
    void calcule_mesure();
    void mesure_appliquerClick();
    void mesure_enregistrerClick();
    void valid_heure_officielleClick();
    void raz_heure_officielleClick();
    // The rally clock read: the official time every time the engine runs on.
    Theure_du_jour heure_officielle();
    // The official time as last read, without reading the clocks again.
    Theure_du_jour heure_officielle_lue() const;
    // A zone's cadence runs on the rally clock: ON ticked and its start passed.
    bool zone_en_cours() const;
    // The notice of the computer's clock put away.
    void la_horlogeClick();

    // ---- Gap and indicators ---------------------------------------------------------------
    void calcule_et_affiche_ecart();
    void mise_a_jour_aff_deporte();
    void valid_seuilClick();

    // ---- Keypad and trip update -----------------------------------------------------------
    void mise_a_jour_trip_clavier();
    void mise_a_jour_totaliseur();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void Button7Click();
    void Button8Click();
    void Button9Click();
    void Button10Click();
    void Button11Click();
    void Button12Click();
    void Button13Click();
    void Button14Click();
    void Button15Click();
    void Button16Click();
    void Panel8Click();

    // ---- Simulation strip and display formats ---------------------------------------------
    // Interval in ms of the revolution timer for a speed position: 207 - 23p/15, rounded down.
    static std::int32_t intervalle_revolution(std::int32_t position);
    void ScrollBar1Change();
    void CheckBox1Click();
    void Timer2Timer();
    void format1Click();
    void format2Click();
    void format3Click();
    void format4Click();

private:
    // Both clocks read into the rally clock; its steps told and shown.
    Thorloge_rallye::Tlecture lit_horloges();
    void signale_saut(const Tsaut_horloge& s);
    // The official time's offset shown in its dialog, as the rally clock stands.
    void montre_decalage_officiel();
    // The proposed start time follows the official time while the crew has not touched it.
    void propose_depart();
    void propose_depart_si_libre();
    // Reads etalonnage.txt into Memo_copie; false (after the missing-file box) when it
    // cannot be opened.
    bool lit_fichier_etalonnage();
    // What a choice in ETAL does once the pair is loaded: corrections to zero, the step, the
    // panel's colour, and the wheel's plausibility (its box unless `avertit` is false).
    void etalonnage_en_service(bool avertit = true);
    // A revolution counted into the base's measure while it runs.
    void compte_tour_mesure();
    // The measured pair put in service as a choice in ETAL would.
    void applique_paire_mesuree(const Tpaire_a_enregistrer& p, bool avertit);
    // The pair measured on the base, with its slot; nothing (after a box saying why) when
    // there is none to put in service.
    std::optional<Tpaire_a_enregistrer> paire_mesuree_valide();
    // One calibration correction step, +1 up or -1 down (plus_etal, moins_etal, keys 14, 15).
    void pas_etalonnage(int sens);
    // Key codes of the on-screen remote.
    void touche_ecran(std::int32_t code);
    // Shows the metre and hundreds-of-km columns of the three registers.
    void montre_colonnes(bool metres, bool centaines_km);

    // What La_moy_en_cours was last written from by the cadenceur: its row, and the revisions
    // of memo_moy and of the label then. Written again only when one changed, so that a long
    // average costs a copy a change, not a copy a tick.
    struct Tmoyenne_ecrite {
        std::int32_t rangee = -1;
        std::uint64_t revision_memo = 0, revision_label = 0;
        bool operator==(const Tmoyenne_ecrite&) const = default;
    };
    Tmoyenne_ecrite moyenne_ecrite_;

    // The rally file's lines prepared with this separator, each once, as zones take them, and
    // the zones extracted from them: a zone chosen again, whichever was chosen between, gets
    // its lines back as pointers. What is kept is bounded by the file's 201 lines, however
    // many zones share them.
    struct Tzone_gardee {
        Tmodele_memo::Tlignes distances, moyennes;
        bool trouvee = false;
        // A zone not found: the fields as the message leaves them, its defaults added.
        Tmodele_memo::Tlignes distances_defaut, moyennes_defaut;
    };
    struct Tzones_extraites {
        std::uint64_t revision_source = 0;
        std::string separateur;
        std::vector<Tmodele_memo::Tligne> preparees;
        std::map<int, Tzone_gardee> zones;
    };
    std::optional<Tzones_extraites> zones_extraites_;
    Tzone_gardee& zone_gardee(int zone, const std::string& separateur);
    Tmodele_memo::Tlignes section_gardee(const std::string& cle);

    // The fields last converted into the table, and how many of their rows did not convert: a
    // schedule validated again unchanged keeps the table it gave and shows the same messages,
    // without a pass over lines that may be long.
    struct Tconversion {
        std::uint64_t revision_kms = 0, revision_moy = 0;
        std::string separateur;
        std::int32_t rangees = 0;
        bool operator==(const Tconversion&) const = default;
    };
    std::int32_t echecs_conversion_ = 0;
    std::optional<Tconversion> conversion_;
};
