#include "controles.h"

#include <algorithm>

namespace {

using Tligne = Tmodele_memo::Tligne;
using Tlignes = Tmodele_memo::Tlignes;

Tlignes vides() {
    static const Tlignes v = std::make_shared<const std::vector<Tligne>>();
    return v;
}

Tlignes en_partage(std::vector<std::string> l) {
    std::vector<Tligne> p;
    p.reserve(l.size());
    for (std::string& ligne : l)
        p.push_back(Tmodele_memo::partage(std::move(ligne)));
    return std::make_shared<const std::vector<Tligne>>(std::move(p));
}

} // namespace

Tmodele_memo::Tmodele_memo(const std::vector<std::string>& lignes)
    : lignes_(lignes.empty() ? vides() : en_partage(lignes)) {}

std::vector<std::string> Tmodele_memo::lignes() const {
    std::vector<std::string> l;
    l.reserve(lignes_->size());
    for (const Tligne& ligne : *lignes_)
        l.push_back(*ligne);
    return l;
}

void Tmodele_memo::efface() {
    if (lignes_->empty()) return;
    lignes_ = vides();
    signale();
}

void Tmodele_memo::ajoute(const std::string& l) {
    auto copie = std::make_shared<std::vector<Tligne>>(*lignes_);
    copie->push_back(partage(l));
    lignes_ = std::move(copie);
    signale();
}

void Tmodele_memo::remplace(std::size_t i, const std::string& l) {
    if (i >= lignes_->size() || *(*lignes_)[i] == l) return;
    auto copie = std::make_shared<std::vector<Tligne>>(*lignes_);
    (*copie)[i] = partage(l);
    lignes_ = std::move(copie);
    signale();
}

void Tmodele_memo::ecrit_lignes(std::vector<std::string> l) {
    if (l.size() == lignes_->size() &&
        std::equal(l.begin(), l.end(), lignes_->begin(),
                   [](const std::string& a, const Tligne& b) { return a == *b; }))
        return;
    lignes_ = l.empty() ? vides() : en_partage(std::move(l));
    signale();
}

void Tmodele_memo::ecrit_partagees(Tlignes l) {
    if (l == lignes_) return;
    if (l->size() == lignes_->size() &&
        std::equal(l->begin(), l->end(), lignes_->begin(),
                   [](const Tligne& a, const Tligne& b) { return a == b || *a == *b; }))
        return;
    lignes_ = std::move(l);
    signale();
}

std::string Tmodele_memo::texte() const {
    std::string t;
    for (std::size_t i = 0; i < lignes_->size(); ++i) {
        if (i > 0) t += '\n';
        t += *(*lignes_)[i];
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
