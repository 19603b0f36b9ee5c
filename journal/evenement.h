#pragma once
// What enters the engine, one event at a time: the window describes each one so, and a
// journal writes and reads it back in the same words.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class Tgenre_evenement : std::uint8_t {
    demarrage, // the window's creation: the HID steps, then the engine's
    fermeture, // the window's close step
    tic1,      // the clock's timer (Timer1)
    tic2,      // the simulated wheel's timer (Timer2)
    clic,      // a button or panel clicked: `controle`
    coche,     // a check box or radio button set to `valeur` (0 or 1) by the crew
    texte,     // text typed into a field: `controle`, `texte`
    choix,     // a combo box's item chosen or typed, then its handler: `controle`, `texte`
    defile,    // the speed scroll bar moved to `valeur`
    hid,       // a notification of the HID library: `wparam`, `lparam`
};

struct Tevenement {
    Tgenre_evenement genre = Tgenre_evenement::tic1;
    std::string controle;
    std::string texte;
    std::int32_t valeur = 0;
    std::uint32_t wparam = 0;
    std::uint32_t lparam = 0;

    static Tevenement simple(Tgenre_evenement g) { return {g, {}, {}, 0, 0, 0}; }
    static Tevenement clic(std::string_view nom) {
        return {Tgenre_evenement::clic, std::string(nom), {}, 0, 0, 0};
    }
    static Tevenement coche(std::string_view nom, bool c) {
        return {Tgenre_evenement::coche, std::string(nom), {}, c ? 1 : 0, 0, 0};
    }
    static Tevenement texte_tape(std::string_view nom, std::string t) {
        return {Tgenre_evenement::texte, std::string(nom), std::move(t), 0, 0, 0};
    }
    static Tevenement choix(std::string_view nom, std::string t) {
        return {Tgenre_evenement::choix, std::string(nom), std::move(t), 0, 0, 0};
    }
    static Tevenement defile(std::int32_t position) {
        return {Tgenre_evenement::defile, {}, {}, position, 0, 0};
    }
    static Tevenement hid(std::uint32_t w, std::uint32_t l) {
        return {Tgenre_evenement::hid, {}, {}, 0, w, l};
    }

    bool operator==(const Tevenement&) const = default;
};

// The event's words after "e" and the time: "tic1", "clic RAZ", "texte ed_seuil_conf \"12\"".
void ajoute_evenement(std::string& ligne, const Tevenement& e);
// Back from the words, from `debut` on; nothing when they are not an event this program
// knows (an unknown control, a missing or extra word).
std::optional<Tevenement> lit_evenement(const std::vector<std::string>& mots, std::size_t debut);
// A short French description for the crew ("clic sur valid_heure_zr", "tic de l'horloge").
std::string decrit_evenement(const Tevenement& e);
