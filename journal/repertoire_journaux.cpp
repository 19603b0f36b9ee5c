#include "repertoire_journaux.h"

#include <algorithm>
#include <vector>

namespace fs = std::filesystem;

namespace {

bool est_un_journal(const fs::directory_entry& f) {
    const std::string nom = f.path().filename().string();
    std::error_code e;
    return f.is_regular_file(e) && nom.rfind("velmora-", 0) == 0 &&
           f.path().extension() == ".journal";
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
    std::error_code e;
    std::vector<std::pair<fs::path, std::uintmax_t>> journaux;
    for (fs::directory_iterator i(dossier, e), fin; !e && i != fin; i.increment(e)) {
        if (!est_un_journal(*i)) continue;
        std::error_code t;
        const std::uintmax_t taille = i->file_size(t);
        journaux.emplace_back(i->path(), t ? 0 : taille);
    }
    std::sort(journaux.begin(), journaux.end(),
              [](const auto& a, const auto& b) { return a.first.filename() > b.first.filename(); });
    std::size_t gardes = 0;
    std::uintmax_t total = 0;
    for (const auto& [chemin, taille] : journaux) {
        if (gardes < nombre && total + taille <= octets) {
            ++gardes;
            total += taille;
            continue;
        }
        // Past the limit, every older journal goes: the kept ones are the most recent.
        gardes = nombre;
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
    if (journaux_gardes > 0) range_journaux(dossier, journaux_gardes - 1, octets_gardes);
    const std::string base = "velmora-" + format_local(instant, "%Y-%m-%d-%H%M%S");
    for (int n = 1; n < 100 && !j.fichier; ++n) {
        const fs::path chemin =
            dossier / (base + (n > 1 ? "-" + std::to_string(n) : std::string()) + ".journal");
        if (fs::exists(chemin, e)) continue;
        std::string pourquoi;
        j.fichier = Tfichier_journal::cree(chemin, pourquoi);
        if (!j.fichier) {
            j.erreur = chemin.string() + " impossible à créer (" + pourquoi + ")";
            return j;
        }
    }
    if (!j.fichier && j.erreur.empty()) j.erreur = "aucun nom libre dans " + dossier.string();
    return j;
}
