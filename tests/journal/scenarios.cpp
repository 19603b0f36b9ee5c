#include "scenarios.h"

void session_complete(Tparcours_enregistre& p, const std::string& rallye) {
    p.branche_boitier();
    // Bytes a journal line cannot hold raw (control bytes, DEL, broken UTF-8), typed and
    // then replaced: the journal escapes them and reads them back.
    p.tape("ed_offcet_cad", std::string("\x7f\x1b\x01\xff\xc3(\r\n\t\"\\é"));
    p.roule(2, 0);
    p.services.reponses_dialogue.push_back(std::nullopt);
    p.clic("choisir_rallye"); // cancelled
    p.services.reponses_dialogue.push_back(rallye);
    p.clic("choisir_rallye");
    p.choisit("ZONE", "ZR1");
    p.tape("ed_seuil_conf", "30");
    p.clic("valid_seuil");
    p.tape("cb_heure_zr", "10");
    p.tape("cb_min_zr", "00");
    p.tape("cb_sec_zr", "15");
    p.clic("valid_heure_zr");
    p.choisit("cb_num_etal", "2");
    p.clic("plus_etal");
    p.roule(12, 0);
    p.roule(20, 38);
    p.roule(15, 55);
    // 1 , 2 5 0 then the red button, from the remote, and +2 from the screen.
    p.touches({1, 10, 2, 5, 0, 16});
    p.clic("Button3");
    p.roule(10, 47);
    p.debranche_boitier();
    p.roule(3, 47); // revolutions lost while the box is out
    p.branche_boitier();
    p.roule(10, 50);
    p.coche("cb_offcet_cad", true);
    p.tape("ed_offcet_cad", "-40");
    p.clic("valid_offcet_cad");
    p.roule(5, 45);
    p.evenement(Tevenement::defile(70));
    p.coche("CheckBox1", true);
    p.clic("CheckBox1");
    p.roule(5, 60, false);
    p.coche("CheckBox1", false);
    p.clic("CheckBox1");
    p.clic("Button6");
    p.clic("Button15");
    p.clic("Button10");
    p.clic("Panel8");
    p.roule(3, 45);
    p.termine();
}

void boites_pendant_la_course(Tparcours_enregistre& p, const std::string& rallye) {
    p.branche_boitier();
    p.services.reponses_dialogue.push_back(rallye);
    p.clic("choisir_rallye");
    p.choisit("ZONE", "ZR2");
    p.clic("valid_heure_zr");
    int profondeur = 0;
    p.services.pendant_message = [&](const std::string&) {
        ++profondeur;
        p.roule(2, 50);
        p.touches({4, 16});
        // A box from inside the box: a threshold that is not a number.
        if (profondeur == 1) {
            p.tape("ed_seuil_conf", "x");
            p.clic("valid_seuil");
        }
        p.roule(1, 50);
        --profondeur;
    };
    p.tape("ed_offcet_cad", "abc");
    p.clic("valid_offcet_cad"); // "ERREUR de SAISIE", open for three seconds
    p.services.pendant_message = nullptr;
    p.roule(2, 50);
    p.choisit("ZONE", "ZR9"); // not in the file
    p.roule(1, 50);
    p.termine();
}

void parcours_exemple(Tparcours_enregistre& p, const std::string& rallye) {
    p.branche_boitier();
    p.services.reponses_dialogue.push_back(rallye);
    p.clic("choisir_rallye");
    p.choisit("ZONE", "ZR1");
    p.tape("cb_heure_zr", "10");
    p.tape("cb_min_zr", "01");
    p.tape("cb_sec_zr", "00");
    p.clic("valid_heure_zr");
    p.roule(60, 0); // waiting at the start line until 10:01:00

    // 2.5 km at 45 km/h: a slow start, caught up.
    p.roule(100, 42);
    p.roule(100, 48.2);
    // The average changes at 2.5 km: the crew resets the trip on the road book's mark.
    p.touches({2, 10, 5, 0, 0, 16});
    // 4.75 km at 48.5 km/h, a little fast, and the box out for 5 s.
    p.roule(150, 49.5);
    p.debranche_boitier();
    p.roule(5, 48.5);
    p.branche_boitier();
    p.roule(40, 48.5);
    p.touches({14}); // +%: the trip counts a hundredth more from here
    p.roule(157, 48.5);
    // 7.25 km: the next average, and the trip set right again.
    p.touches({7, 10, 2, 5, 0, 16});
    // 4.75 km at 40 km/h, late on a climb, early after it.
    p.roule(150, 38.5);
    p.roule(150, 41.8);
    p.roule(132, 40);
    p.termine();
}

void horloge_qui_saute(Tparcours_enregistre& p, const std::string& rallye) {
    p.branche_boitier();
    p.roule(2, 0);
    p.saute(2300); // no zone: followed
    p.roule(2, 0);
    p.services.reponses_dialogue.push_back(rallye);
    p.clic("choisir_rallye");
    p.choisit("ZONE", "ZR1");
    p.tape("cb_heure_zr", "10");
    p.tape("cb_min_zr", "00");
    p.tape("cb_sec_zr", "10");
    p.clic("valid_heure_zr");
    p.roule(10, 50);
    p.saute(-3600 * 1000); // in the zone: kept
    p.roule(3, 50);
    p.dort(20 * 60);
    p.roule(3, 50);
    p.saute(2300);
    p.roule(2, 50);
    p.clic("la_horloge");
    p.coche("cad_on", false); // the zone ends: followed now
    p.roule(2, 0);
    p.tape("ed_heure_officielle", "-1,5");
    p.clic("valid_heure_officielle");
    p.saute(-2300); // official time given: kept
    p.roule(2, 0);
    // A base of "1.000": the first question refused, then both accepted.
    p.clic("mesure_depart");
    p.roule(20, 50);
    p.clic("mesure_arrivee");
    p.choisit("ed_base_mesure", "1.000");
    p.services.reponses_questions = {false, true, true};
    p.clic("mesure_enregistrer");
    p.clic("mesure_enregistrer");
    p.roule(1, 0);
    p.termine();
}
