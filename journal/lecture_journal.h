#pragma once
// A journal read back whole and checked line by line before anything is replayed.

#include "evenement.h"
#include "point_controle.h"

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

enum class Tgenre_ligne : std::uint8_t {
    evenement,    // e T ...
    heure,        // heure H M S MS COMPTEUR: n[0] the time of day in ms, n[1] the counter
    heure_texte,  // heure-texte H M S MS "...": n[0] the time of day in ms (-1: format 1)
    separateur,   // separateur "..."
    repertoire,   // repertoire "..."
    fichier,      // fichier FINS N "chemin" absent | lu "ligne"...
    boite,        // boite "texte"
    fin_boite,    // fin-boite
    dialogue,     // dialogue
    fin_dialogue, // fin-dialogue ["chemin"], without it when cancelled
    hid_connect,  // hid-connect R
    hid_vid,      // hid-vid H R
    hid_pid,      // hid-pid H R
    hid_handle,   // hid-handle V P R
    hid_notif,    // hid-notif H V R
    hid_lit,      // hid-lit H LONGUEUR R OCTETS
    hid_ecrit,    // hid-ecrit H R OCTETS
    point,        // point HH:MM:SS TOTAL PARTIEL CADEN "ecart" LED [ordinateur HH:MM:SS]
    question,     // question "texte" "oui" "non": the two buttons in lignes
    fin_question, // fin-question 0|1
    saut_horloge, // saut-horloge MS suivi|zone|ho|reprise: n[0] the step, n[1] what was done
};

// Limits that no journal of a crew's run reaches; a journal beyond one is refused, so that
// a crafted or damaged file costs the readers bounded time and memory.
inline constexpr std::size_t taille_journal_max = 128u << 20;        // bytes of the file
inline constexpr std::size_t longueur_ligne_journal_max = 16u << 20; // bytes of a line
inline constexpr std::size_t imbrication_journal_max = 100; // boxes and dialogs one in another
inline constexpr std::int64_t temps_journal_max_ms = 31LL * 24 * 3600 * 1000; // an event's T
inline constexpr std::size_t separateur_journal_max = 16; // bytes of a decimal separator
inline constexpr std::size_t ligne_fichier_journal_max = 2 * longueur_ligne_max; // a file line

// What a line holds beyond its numbers: kept apart, so that the many lines without it (a
// clock tick, a wheel revolution) cost a journal read back 48 bytes each.
struct Tcontenu_ligne {
    std::string texte;               // the line's text, or the file's path
    std::vector<std::string> lignes; // a file's lines
    std::vector<std::uint8_t> octets;
};

inline constexpr std::uint32_t sans_index = 0xFFFFFFFF;

struct Tligne_journal {
    Tgenre_ligne genre = Tgenre_ligne::evenement;
    bool present = false;               // a file read, a file chosen
    std::uint32_t numero = 0;           // in the file, from 1
    std::uint32_t index = sans_index;   // of the event with names or texts, or of the checkpoint
    std::uint32_t contenu = sans_index; // of its Tcontenu_ligne, when it has one
    // The line's numbers, in order. An event: its time in ms, then, for one without names or
    // texts (kept in the line itself), its kind, its value or wParam, and its lParam.
    std::array<std::int64_t, 4> n{};
};

// The oldest format still read: format 1 wrote the computer's clock alone, before the rally
// clock (its answers read as a counter that follows that clock).
inline constexpr int format_journal_min = 1;

struct Tjournal {
    int format = 0;
    std::string programme;
    std::string date;
    std::vector<Tligne_journal> lignes;
    // Deques: growing never holds two copies at once, as a vector's growth would.
    std::deque<Tevenement> evenements; // those with a control's name or a text
    std::deque<Tpoint_controle> points;
    std::deque<Tcontenu_ligne> contenus;
    bool complet = false;                      // closed by the program ("fin")
    std::optional<std::uint32_t> ligne_coupee; // a last line cut in its middle, not read

    // The event of a line of kind evenement.
    Tevenement evenement(const Tligne_journal& l) const;
    // The text, file lines and bytes of a line (empty for one without).
    const Tcontenu_ligne& contenu(const Tligne_journal& l) const;
};

// A journal that cannot be read at all: the French text says why.
class Tjournal_illisible : public std::runtime_error {
public:
    explicit Tjournal_illisible(const std::string& t) : std::runtime_error(t) {}
};

// The journal in the file; `nom` is how messages name it (escaped already).
Tjournal lit_journal(const std::string& chemin);
Tjournal lit_journal_octets(std::string_view octets, const std::string& nom);
