#include "controles.h"

std::string Tmodele_memo::texte() const {
    std::string t;
    for (std::size_t i = 0; i < lignes_->size(); ++i) {
        if (i > 0) t += '\n';
        t += (*lignes_)[i];
    }
    return t;
}

void Tmodele_memo::ecrit_texte(const std::string& t) {
    std::vector<std::string> l;
    if (!t.empty()) {
        std::size_t debut = 0;
        for (;;) {
            const std::size_t fin = t.find('\n', debut);
            if (fin == std::string::npos) {
                l.push_back(t.substr(debut));
                break;
            }
            l.push_back(t.substr(debut, fin - debut));
            debut = fin + 1;
        }
    }
    ecrit_lignes(std::move(l));
}
