#include "enregistreur.h"

#include "point_controle.h"

Tenregistreur::Tenregistreur(std::unique_ptr<Tfichier_journal> fichier, const Tmoteur& moteur,
                             const std::string& version_programme, const std::string& date)
    : fichier_(std::move(fichier)), moteur_(moteur), debut_(std::chrono::steady_clock::now()) {
    tampon_ += signature_journal;
    tampon_ += "\nformat " + std::to_string(version_format_journal) + "\nprogramme ";
    tampon_ += version_programme;
    tampon_ += "\ndate ";
    tampon_ += date;
    tampon_ += "\ndebut\n";
    transmet();
}

Tenregistreur::~Tenregistreur() {
    tampon_ += "fin\n";
    transmet();
}

void Tenregistreur::transmet() {
    if (tampon_.empty()) return;
    if (actif()) fichier_->ajoute(tampon_);
    tampon_.clear();
}

void Tenregistreur::fin_ligne() {
    tampon_ += '\n';
}

void Tenregistreur::avant(const Tevenement& e) {
    const bool enregistre = actif() && pile_.size() == boites_;
    pile_.push_back(enregistre);
    if (!enregistre) return;
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - debut_);
    tampon_ += "e ";
    tampon_ += std::to_string(ms.count());
    tampon_ += ' ';
    ajoute_evenement(tampon_, e);
    tampon_ += '\n';
}

void Tenregistreur::apres(const Tevenement& e) {
    if (pile_.empty()) return;
    const bool enregistre = pile_.back();
    pile_.pop_back();
    if (!enregistre || !actif()) return;
    const std::string heure = heure_du_moteur(moteur_);
    if (!heure.empty() &&
        (heure != heure_du_dernier_point_ || e.genre == Tgenre_evenement::fermeture)) {
        ajoute_point(tampon_, prend_point(moteur_));
        tampon_ += '\n';
        heure_du_dernier_point_ = heure;
    }
    transmet();
}

void Tenregistreur::boite_ouverte() {
    ++boites_;
    transmet();
}

void Tenregistreur::boite_fermee() {
    if (boites_ > 0) --boites_;
}
