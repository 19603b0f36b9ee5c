#include "file_envoi.h"

void Tfile_envoi::ajoute_tours(long n) {
    if (n > 0) lots_.push_back({code_tour, n, "envoyé : " + std::to_string(n) + " tours"});
}

void Tfile_envoi::ajoute_touches(const std::vector<std::uint8_t>& codes) {
    std::string texte = "envoyé : touches";
    for (auto c : codes)
        texte += " " + std::to_string(c);
    for (std::size_t i = 0; i < codes.size(); ++i)
        lots_.push_back({codes[i], 1, i + 1 == codes.size() ? texte : ""});
}

long Tfile_envoi::oublie() {
    long tours = 0;
    for (const Tlot& l : lots_)
        if (l.code == code_tour) tours += l.restants;
    lots_.clear();
    return tours;
}

std::uint8_t Tfile_envoi::prend(std::string& fin_de_lot) {
    fin_de_lot.clear();
    if (lots_.empty()) return 0;
    Tlot& l = lots_.front();
    const std::uint8_t code = l.code;
    if (--l.restants > 0) return code;
    fin_de_lot = std::move(l.fin_de_lot);
    lots_.pop_front();
    return code;
}
