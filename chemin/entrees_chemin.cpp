#include "entrees_chemin.h"

#include <vector>

namespace {

// The capital of a Latin letter (ASCII, Latin-1 and Latin Extended-A: every letter of the
// languages the crews write folder names in), as the file system folds names; any other
// character is itself.
char16_t majuscule(char16_t c) {
    if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 0x20);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 0x20);
    if (c == 0xFF) return 0x178;
    const bool paire_paire =
        (c >= 0x100 && c <= 0x137 && c != 0x130 && c != 0x131) || (c >= 0x14A && c <= 0x177);
    if (paire_paire) return static_cast<char16_t>(c & ~1u);
    const bool paire_impaire = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (paire_impaire && c % 2 == 0) return static_cast<char16_t>(c - 1);
    return c;
}

std::u16string_view sans_barre_finale(std::u16string_view e) {
    if (!e.empty() && (e.back() == u'\\' || e.back() == u'/')) e.remove_suffix(1);
    return e;
}

std::vector<std::u16string_view> entrees(std::u16string_view valeur) {
    std::vector<std::u16string_view> r;
    for (;;) {
        const auto fin = valeur.find(u';');
        r.push_back(valeur.substr(0, fin));
        if (fin == std::u16string_view::npos) return r;
        valeur.remove_prefix(fin + 1);
    }
}

} // namespace

bool meme_dossier(std::u16string_view a, std::u16string_view b) {
    a = sans_barre_finale(a);
    b = sans_barre_finale(b);
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (majuscule(a[i]) != majuscule(b[i])) return false;
    return true;
}

Tchemin_modifie ajoute_au_chemin(std::u16string_view valeur, std::u16string_view dossier) {
    for (const auto e : entrees(valeur))
        if (meme_dossier(e, dossier)) return {Tissue_chemin::deja_fait, {}};
    // An empty PATH gets the folder alone; otherwise whatever ends the PATH, an empty entry
    // included, stays before it.
    const std::size_t longueur =
        valeur.empty() ? dossier.size() : valeur.size() + 1 + dossier.size();
    if (longueur > longueur_max_chemin) return {Tissue_chemin::trop_long, {}};
    std::u16string r(valeur);
    if (!r.empty()) r += u';';
    r += dossier;
    return {Tissue_chemin::change, std::move(r)};
}

Tchemin_modifie retire_du_chemin(std::u16string_view valeur, std::u16string_view dossier) {
    std::u16string r;
    bool retire = false;
    bool premiere = true;
    for (const auto e : entrees(valeur)) {
        if (meme_dossier(e, dossier)) {
            retire = true;
            continue;
        }
        if (!premiere) r += u';';
        r += e;
        premiere = false;
    }
    if (!retire) return {Tissue_chemin::deja_fait, {}};
    return {Tissue_chemin::change, std::move(r)};
}
