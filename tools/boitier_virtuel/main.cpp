// velmora-boitier-virtuel: a VELMORA box made by the kernel (uhid), for trying the
// program without the box and for testing the whole path through the kernel's HID stack.
//
// It sends wheel revolutions (code 48) and remote keys (codes 0 to 16), given on its
// command line or typed on its standard input, and prints what the kernel tells it:
// when a program opens or closes the box, and every output report it receives.
// Like a box whose host does not listen yet, it holds what it has to send until a
// program has the box open.
#include "boitier_uhid.h"
#include "commandes.h"
#include "file_envoi.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

using Thorloge = std::chrono::steady_clock;

volatile std::sig_atomic_t arret_demande = 0;
void sur_signal(int) {
    arret_demande = 1;
}

void installe_signaux() {
    struct sigaction sa {};
    sa.sa_handler = sur_signal;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

std::string hexa(const std::vector<std::uint8_t>& octets) {
    std::string t;
    char o[4];
    for (auto b : octets) {
        std::snprintf(o, sizeof o, "%s%02x", t.empty() ? "" : " ", b);
        t += o;
    }
    return t;
}

std::int64_t instant_monotone_ns() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

Thorloge::time_point apres(Thorloge::time_point t, double secondes) {
    return t +
           std::chrono::duration_cast<Thorloge::duration>(std::chrono::duration<double>(secondes));
}

// The plugged box, what it owes, and what comes to it: the kernel's events and the commands.
class Tboitier_en_marche {
public:
    Tboitier_en_marche(Tboitier_uhid& boitier, const Toptions& o) : boitier_(boitier), o_(o) {
        kmh_ = o.kmh;
        file_.ajoute_tours(o.tours);
        file_.ajoute_touches(o.touches);
        // Reserved at once: a measured run must not wait on the allocator.
        if (!o.horodatage.empty()) horodatages_.reserve(1 << 20);
    }

    void tourne() {
        while (!arret_demande) {
            const auto maintenant = Thorloge::now();
            if (debranche_a_ && maintenant >= *debranche_a_) debranche();
            envoie_ce_qui_est_du(maintenant);
            if (!entree_ouverte_ && file_.vide() && kmh_ <= 0) break;
            attend(maintenant);
        }
    }

    // The sending times, written once the box is done; false when the file could not be.
    bool ecrit_horodatages() const {
        if (o_.horodatage.empty()) return true;
        std::FILE* f = std::fopen(o_.horodatage.c_str(), "w");
        if (!f) return false;
        for (const auto& [t, code] : horodatages_)
            std::fprintf(f, "%lld %u\n", static_cast<long long>(t), static_cast<unsigned>(code));
        return std::fclose(f) == 0;
    }

    std::string sorte() const {
        return o_.numero ? "rapports de numéro " + std::to_string(o_.numero)
                         : "rapports sans numéro";
    }

private:
    // Nothing goes while the box is about to be pulled out.
    bool ecoute() const { return boitier_.branche() && ouvertures_ > 0 && !debranche_a_; }

    // A box pulled out is off: what it still had to send is lost, as a real one's
    // revolutions are while it is out. Says how many went before: what a program must
    // have counted.
    void debranche() {
        debranche_a_.reset();
        if (!boitier_.debranche_le()) return;
        const long perdus = file_.oublie();
        std::cout << "débranché après " << tours_envoyes_ << " tours envoyés";
        if (perdus > 0) std::cout << ", " << perdus << " jamais envoyés";
        std::cout << std::endl;
        ouvertures_ = 0;
    }

    // The next report of a batch at the batch's pace, and the revolutions of the speed.
    void envoie_ce_qui_est_du(Thorloge::time_point maintenant) {
        if (ecoute() && !file_.vide() && maintenant >= prochain_lot_) {
            std::string fin_de_lot;
            envoie(file_.prend(fin_de_lot));
            if (!fin_de_lot.empty()) std::cout << fin_de_lot << std::endl;
            prochain_lot_ = apres(maintenant, 1.0 / o_.cadence);
        }
        if (kmh_ > 0 && maintenant >= prochain_tour_) {
            if (ecoute()) envoie(Tfile_envoi::code_tour);
            prochain_tour_ = apres(maintenant, o_.circonference_m / (kmh_ / 3.6));
        }
    }

    // The time is taken before the write: the reader may wake before the write returns.
    void envoie(std::uint8_t code) {
        const std::int64_t t = o_.horodatage.empty() ? 0 : instant_monotone_ns();
        if (!boitier_.envoie(code)) return;
        if (code == Tfile_envoi::code_tour) ++tours_envoyes_;
        if (!o_.horodatage.empty()) horodatages_.emplace_back(t, code);
    }

    // Waits for the kernel, a command, or the next report to send.
    void attend(Thorloge::time_point maintenant) {
        auto echeance = maintenant + std::chrono::seconds(1);
        if (ecoute() && !file_.vide()) echeance = std::min(echeance, prochain_lot_);
        if (kmh_ > 0) echeance = std::min(echeance, prochain_tour_);
        if (debranche_a_) echeance = std::min(echeance, *debranche_a_);
        const auto attente =
            std::chrono::ceil<std::chrono::milliseconds>(echeance - Thorloge::now());
        pollfd attentes[2] = {{boitier_.descripteur_fichier(), POLLIN, 0},
                              {entree_ouverte_ ? STDIN_FILENO : -1, POLLIN, 0}};
        if (::poll(attentes, 2, static_cast<int>(std::max<long long>(0, attente.count()))) <= 0)
            return;
        if (attentes[0].revents & POLLIN) traite_noyau();
        if (attentes[1].revents & (POLLIN | POLLHUP | POLLERR)) lit_entree();
    }

    void traite_noyau() {
        for (const auto& ev : boitier_.lit_evenements()) {
            if (ev.sorte == Tevenement_boitier::ouvert) {
                ++ouvertures_;
                std::cout << "ouvert" << std::endl;
            } else if (ev.sorte == Tevenement_boitier::ferme) {
                if (ouvertures_ > 0) --ouvertures_;
                std::cout << "fermé" << std::endl;
            } else if (ev.sorte == Tevenement_boitier::sortie) {
                std::cout << "sortie : " << hexa(ev.octets) << std::endl;
            }
        }
    }

    void lit_entree() {
        char octets[4096];
        const ssize_t n = ::read(STDIN_FILENO, octets, sizeof octets);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) return;
        if (n <= 0) {
            entree_ouverte_ = false;
            return;
        }
        ligne_en_cours_.append(octets, static_cast<std::size_t>(n));
        if (ligne_en_cours_.size() > 4096 && ligne_en_cours_.find('\n') == std::string::npos) {
            std::cerr << nom_commande << " : ligne trop longue, ignorée" << std::endl;
            ligne_en_cours_.clear();
        }
        for (std::size_t fin; (fin = ligne_en_cours_.find('\n')) != std::string::npos;) {
            const std::string ligne = ligne_en_cours_.substr(0, fin);
            ligne_en_cours_.erase(0, fin + 1);
            std::string erreur;
            if (const auto c = lit_commande(ligne, erreur))
                execute(*c);
            else if (!erreur.empty())
                std::cerr << nom_commande << " : " << erreur << std::endl;
        }
    }

    void execute(const Tcommande& c) {
        switch (c.sorte) {
        case Tcommande::tours:
            file_.ajoute_tours(c.nombre);
            break;
        case Tcommande::touches:
            file_.ajoute_touches(c.codes);
            break;
        case Tcommande::vitesse:
            kmh_ = c.kmh;
            prochain_tour_ = Thorloge::now();
            std::cout << "vitesse : " << c.kmh << " km/h" << std::endl;
            break;
        case Tcommande::debranche:
            if (c.nombre > 0)
                debranche_a_ = Thorloge::now() + std::chrono::milliseconds(c.nombre);
            else
                debranche();
            break;
        case Tcommande::rebranche:
            debranche_a_.reset();
            if (boitier_.branche_le()) std::cout << "branché : 04d8:0000, " << sorte() << std::endl;
            break;
        case Tcommande::quitte:
            arret_demande = 1;
            break;
        case Tcommande::aide:
            std::cout << aide_commandes << std::flush;
            break;
        }
    }

    Tboitier_uhid& boitier_;
    const Toptions& o_;
    Tfile_envoi file_;
    int ouvertures_ = 0;
    bool entree_ouverte_ = true;
    double kmh_ = 0;
    Thorloge::time_point prochain_lot_ = Thorloge::now();
    Thorloge::time_point prochain_tour_ = Thorloge::now();
    std::optional<Thorloge::time_point> debranche_a_;
    long tours_envoyes_ = 0;
    std::string ligne_en_cours_;
    std::vector<std::pair<std::int64_t, std::uint8_t>> horodatages_;
};

} // namespace

int main(int argc, char** argv) {
    Toptions o;
    std::string erreur;
    switch (lit_options({argv + (argc > 0 ? 1 : 0), argv + argc}, o, erreur)) {
    case Tlecture_options::aide:
        std::cout << usage();
        return 0;
    case Tlecture_options::erreur:
        std::cerr << nom_commande << " : " << erreur << "\n";
        return 2;
    case Tlecture_options::a_lancer:
        break;
    }
    installe_signaux();

    Tboitier_uhid boitier(o.numero);
    if (!boitier.erreur().empty()) {
        std::cerr << nom_commande << " : " << boitier.erreur() << "\n";
        return 1;
    }
    Tboitier_en_marche en_marche(boitier, o);
    if (!boitier.branche_le()) {
        std::cerr << nom_commande << " : le noyau refuse le boîtier\n";
        return 1;
    }
    std::cout << "branché : 04d8:0000, " << en_marche.sorte() << std::endl;
    en_marche.tourne();
    boitier.debranche_le();
    std::cout << "débranché" << std::endl;
    if (!en_marche.ecrit_horodatages()) {
        std::cerr << nom_commande << " : impossible d'écrire " << o.horodatage << "\n";
        return 1;
    }
    return 0;
}
