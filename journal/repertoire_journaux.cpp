#include "repertoire_journaux.h"

#include <algorithm>
#include <optional>
#include <tuple>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A journal's name read back: its run number (0 for a journal named before runs were
// numbered), its date ("AAAA-MM-JJ-HHMMSS") and, for those older ones, the "-K" of a second
// run in the same second (1 without it).
struct Tnom_journal {
    std::uint64_t numero = 0;
    std::string date;
    std::uint64_t suite = 1;
};

// Decimal digits only, within 18 of them (no overflow); nothing otherwise.
std::optional<std::uint64_t> chiffres(std::string_view t) {
    if (t.empty() || t.size() > 18) return std::nullopt;
    std::uint64_t v = 0;
    for (char c : t) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return v;
}

// Only a name this program gives: velmora-AAAA-MM-JJ-HHMMSS-pN.journal, or the older
// velmora-AAAA-MM-JJ-HHMMSS[-K].journal. Any other file is the crew's, and stays.
std::optional<Tnom_journal> lit_nom_journal(std::string_view nom) {
    constexpr std::string_view debut = "velmora-", fin = ".journal";
    if (!nom.starts_with(debut) || !nom.ends_with(fin)) return std::nullopt;
    nom.remove_prefix(debut.size());
    nom.remove_suffix(fin.size());
    constexpr std::string_view modele = "0000-00-00-000000";
    if (nom.size() < modele.size()) return std::nullopt;
    for (std::size_t i = 0; i < modele.size(); ++i)
        if (modele[i] == '-' ? nom[i] != '-' : (nom[i] < '0' || nom[i] > '9')) return std::nullopt;
    Tnom_journal n;
    n.date = std::string(nom.substr(0, modele.size()));
    std::string_view reste = nom.substr(modele.size());
    if (reste.empty()) return n;
    if (reste.starts_with("-p")) {
        const auto v = chiffres(reste.substr(2));
        if (!v || *v == 0) return std::nullopt;
        n.numero = *v;
        return n;
    }
    const auto k = reste.starts_with("-") ? chiffres(reste.substr(1)) : std::nullopt;
    if (!k || *k < 2) return std::nullopt;
    n.suite = *k;
    return n;
}

struct Tjournal_du_dossier {
    fs::path chemin;
    std::uintmax_t taille;
    Tnom_journal nom;
};

std::vector<Tjournal_du_dossier> journaux_du_dossier(const fs::path& dossier) {
    std::vector<Tjournal_du_dossier> journaux;
    std::error_code e;
    for (fs::directory_iterator i(dossier, e), fin; !e && i != fin; i.increment(e)) {
        std::error_code t;
        if (!i->is_regular_file(t)) continue;
        const auto u8 = i->path().filename().u8string();
        const auto nom =
            lit_nom_journal(std::string_view(reinterpret_cast<const char*>(u8.data()), u8.size()));
        if (!nom) continue;
        const std::uintmax_t taille = i->file_size(t);
        journaux.push_back({i->path(), t ? 0 : taille, *nom});
    }
    return journaux;
}

std::string format_local(std::time_t instant, const char* format) {
    std::tm t{};
    if (const std::tm* local = std::localtime(&instant)) t = *local;
    char texte[64];
    const std::size_t n = std::strftime(texte, sizeof texte, format, &t);
    return std::string(texte, n);
}

} // namespace

void range_journaux(const fs::path& dossier, std::size_t nombre, std::uintmax_t octets) {
    auto journaux = journaux_du_dossier(dossier);
    // The newest first. Numbered runs by their number, which no clock set back or forward
    // can invert; before them in time, the journals named before runs were numbered, by
    // date and then by their "-K".
    std::sort(journaux.begin(), journaux.end(), [](const auto& a, const auto& b) {
        return std::tie(a.nom.numero, a.nom.date, a.nom.suite) >
               std::tie(b.nom.numero, b.nom.date, b.nom.suite);
    });
    std::size_t gardes = 0;
    std::uintmax_t total = 0;
    bool au_dela = false;
    for (std::size_t i = 0; i < journaux.size(); ++i) {
        const auto& [chemin, taille, nom] = journaux[i];
        // The newest (the run starting) stays whatever its size; then the most recent that fit.
        if (i == 0 || (!au_dela && gardes < nombre && total + taille <= octets)) {
            ++gardes;
            total += taille;
            continue;
        }
        // Past the limit, every older journal goes: the kept ones are the most recent.
        au_dela = true;
        std::error_code e;
        fs::remove(chemin, e);
    }
}

Tnouveau_journal ouvre_nouveau_journal(const fs::path& dossier, std::time_t instant) {
    Tnouveau_journal j;
    j.date = format_local(instant, "%Y-%m-%d %H:%M:%S");
    std::error_code e;
    fs::create_directories(dossier, e);
    if (e) {
        j.erreur = "dossier " + dossier.string() + " impossible à créer (" + e.message() + ")";
        return j;
    }
    // The run's number follows the folder's last, whatever the clock says.
    std::uint64_t numero = 0;
    for (const auto& f : journaux_du_dossier(dossier))
        numero = std::max(numero, f.nom.numero);
    const std::string base = "velmora-" + format_local(instant, "%Y-%m-%d-%H%M%S") + "-p";
    for (int essai = 0; essai < 100 && !j.fichier; ++essai) {
        const fs::path chemin = dossier / (base + std::to_string(++numero) + ".journal");
        if (fs::exists(chemin, e)) continue;
        std::string pourquoi;
        j.fichier = Tfichier_journal::cree(chemin, pourquoi);
        if (!j.fichier) {
            j.erreur = chemin.string() + " impossible à créer (" + pourquoi + ")";
            return j;
        }
    }
    if (!j.fichier) {
        if (j.erreur.empty()) j.erreur = "aucun nom libre dans " + dossier.string();
        return j;
    }
    // Room made with this run counted, as the newest: it is never the one removed.
    if (journaux_gardes > 0) range_journaux(dossier, journaux_gardes, octets_gardes);
    return j;
}
