#include "lecture_lignes.h"

#include <array>
#include <filesystem>
#include <fstream>

namespace {

void ajoute_octet(std::string& ligne, std::size_t& octets, unsigned char c) {
    if (octets++ >= longueur_ligne_max) return;
    if (c < 0x80) {
        ligne += static_cast<char>(c);
    } else {
        ligne += static_cast<char>(0xC0 | (c >> 6));
        ligne += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

std::optional<std::vector<std::string>> lit_lignes(const std::string& chemin, Tfins_de_ligne fins,
                                                   std::size_t nbr_lignes) {
    // Names are UTF-8 text, which Windows' narrow file names are not.
    const std::filesystem::path nom(std::u8string(chemin.begin(), chemin.end()));
    // A directory opens on some systems but cannot be read: not a file either.
    std::error_code erreur;
    if (std::filesystem::is_directory(nom, erreur)) return std::nullopt;
    std::ifstream fichier(nom, std::ios::binary);
    if (!fichier.is_open()) return std::nullopt;

    std::vector<std::string> lignes;
    std::string ligne;
    std::size_t octets = 0;     // bytes of the current line, kept or not
    bool ligne_ouverte = false; // bytes seen since the last line end
    bool cr_en_attente = false; // a CR whose meaning depends on the next byte
    const bool etalonnage = fins == Tfins_de_ligne::etalonnage;

    auto termine = [&] {
        lignes.push_back(std::move(ligne));
        ligne.clear();
        octets = 0;
        ligne_ouverte = false;
    };

    std::array<char, 65536> bloc{};
    bool fin = false;
    while (!fin && lignes.size() < nbr_lignes && fichier) {
        fichier.read(bloc.data(), bloc.size());
        const std::streamsize lus = fichier.gcount();
        if (lus <= 0) break;
        for (std::streamsize k = 0; k < lus && lignes.size() < nbr_lignes; ++k) {
            const auto c = static_cast<unsigned char>(bloc[static_cast<std::size_t>(k)]);
            if (etalonnage && c == 26) {
                fin = true;
                break;
            }
            if (cr_en_attente) {
                cr_en_attente = false;
                if (c == '\n') {
                    termine();
                    continue;
                }
                if (etalonnage) {
                    ajoute_octet(ligne, octets, '\r'); // a lone CR is part of the line
                    ligne_ouverte = true;
                } else {
                    termine();
                }
            }
            if (c == '\r') {
                cr_en_attente = true;
                ligne_ouverte = true;
            } else if (c == '\n') {
                termine();
            } else {
                ajoute_octet(ligne, octets, c);
                ligne_ouverte = true;
            }
        }
    }
    if (lignes.size() < nbr_lignes) {
        if (cr_en_attente) {
            if (etalonnage) ajoute_octet(ligne, octets, '\r');
            termine();
        } else if (ligne_ouverte) {
            termine();
        } else if (etalonnage && lignes.empty()) {
            termine(); // the first line is read before the end is tested
        }
    }
    return lignes;
}
