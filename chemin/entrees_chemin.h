#pragma once
// The user's PATH as Windows keeps it: entries separated by ";", some of them empty, any of
// them typed by hand. The installer's folder goes in once and comes out alone; every other
// character stays where it was. Texts are UTF-16, as the registry holds them.

#include <cstddef>
#include <string>
#include <string_view>

// Windows' limit for one environment variable, in UTF-16 characters.
inline constexpr std::size_t longueur_max_chemin = 32767;

// Whether two entries name the same folder for Windows: Latin letters compared without
// their case, a trailing backslash (or slash) ignored.
bool meme_dossier(std::u16string_view a, std::u16string_view b);

enum class Tissue_chemin {
    change,    // `valeur` is the new PATH
    deja_fait, // nothing to change: the folder is there (adding) or absent (removing)
    trop_long, // the folder would take the PATH past Windows' limit: nothing changes
};

struct Tchemin_modifie {
    Tissue_chemin issue;
    std::u16string valeur;
};

// `valeur` with `dossier` as its last entry, unless an entry names it already.
Tchemin_modifie ajoute_au_chemin(std::u16string_view valeur, std::u16string_view dossier);
// `valeur` without the entries naming `dossier`, each with one of its separators.
Tchemin_modifie retire_du_chemin(std::u16string_view valeur, std::u16string_view dossier);
