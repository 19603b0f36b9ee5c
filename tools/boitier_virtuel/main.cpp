// boitier_virtuel: a VELMORA box made by the kernel (uhid), for trying the program
// without the box and for testing the whole path through the kernel's HID stack.
//
// It sends wheel revolutions (code 48) and remote keys (codes 0 to 16), given on its
// command line or typed on its standard input, and prints what the kernel tells it:
// when a program opens or closes the box, and every output report it receives.
// Like a box whose host does not listen yet, it holds what it has to send until a
// program has the box open.
#include "boitier_uhid.h"
#include "commandes.h"

#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <iostream>
#include <string>

namespace {

using Thorloge = std::chrono::steady_clock;

constexpr std::uint8_t code_tour = 48;

volatile std::sig_atomic_t arret_demande = 0;
void sur_signal(int) {
    arret_demande = 1;
}

struct Toptions {
    std::uint8_t numero = 0;
    double circonference_m = 1000.0 / 540.0; // the sample calibration: 540 revolutions a km
    double cadence = 250;                    // reports a second when sending a batch
    double kmh = 0;
    long tours = 0;
    std::vector<std::uint8_t> touches;
};

// What is still to send, in order; `fin_de_lot` is printed once its report is sent.
struct Ta_envoyer {
    std::uint8_t code;
    std::string fin_de_lot;
};

void usage() {
    std::cout
        << "usage : boitier_virtuel [--numero N] [--circonference M] [--vitesse KMH]\n"
           "                        [--cadence N] [--tours N] [CODE...]\n"
           "Fait apparaître un boîtier VELMORA (04d8:0000) par /dev/uhid.\n"
           "  --numero N         rapports avec l'identifiant N (1 à 255) ; 0, sans (par défaut)\n"
           "  --circonference M  circonférence de la roue en mètres (1,852 par défaut : 540 "
           "tours au km)\n"
           "  --vitesse KMH      tours de roue en continu à cette vitesse\n"
           "  --cadence N        rapports par seconde pour un lot de tours ou de touches (250)\n"
           "  --tours N          N tours de roue dès qu'un programme ouvre le boîtier\n"
           "  CODE...            touches (0 à 16) envoyées dès qu'un programme ouvre le boîtier\n\n"
        << aide_commandes;
}

bool nombre(const std::string& texte, double min, double max, double& valeur) {
    std::string t = texte;
    for (char& c : t)
        if (c == ',') c = '.';
    char* fin = nullptr;
    valeur = std::strtod(t.c_str(), &fin);
    return !t.empty() && fin && *fin == '\0' && valeur >= min && valeur <= max;
}

bool lit_options(int argc, char** argv, Toptions& o) {
    std::string codes;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        double v = 0;
        auto valeur = [&](double min, double max) {
            return i + 1 < argc && nombre(argv[++i], min, max, v);
        };
        if (a == "--aide" || a == "--help" || a == "-h") {
            usage();
            std::exit(0);
        } else if (a == "--numero") {
            if (!valeur(0, 255) || v != static_cast<int>(v)) return false;
            o.numero = static_cast<std::uint8_t>(v);
        } else if (a == "--circonference") {
            if (!valeur(0.1, 10)) return false;
            o.circonference_m = v;
        } else if (a == "--vitesse") {
            if (!valeur(0, 400)) return false;
            o.kmh = v;
        } else if (a == "--cadence") {
            if (!valeur(1, 10000)) return false;
            o.cadence = v;
        } else if (a == "--tours") {
            if (!valeur(0, 1e8) || v != static_cast<long>(v)) return false;
            o.tours = static_cast<long>(v);
        } else {
            codes += " " + a;
        }
    }
    if (!codes.empty()) {
        std::string erreur;
        const auto c = lit_commande("touches" + codes, erreur);
        if (!c) {
            std::cerr << "boitier_virtuel : " << erreur << "\n";
            return false;
        }
        o.touches = c->codes;
    }
    return true;
}

void ajoute_tours(std::deque<Ta_envoyer>& file, long n) {
    for (long i = 0; i < n; ++i)
        file.push_back({code_tour, i + 1 == n ? "envoyé : " + std::to_string(n) + " tours" : ""});
}

void ajoute_touches(std::deque<Ta_envoyer>& file, const std::vector<std::uint8_t>& codes) {
    std::string texte = "envoyé : touches";
    for (auto c : codes)
        texte += " " + std::to_string(c);
    for (std::size_t i = 0; i < codes.size(); ++i)
        file.push_back({codes[i], i + 1 == codes.size() ? texte : ""});
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

} // namespace

int main(int argc, char** argv) {
    Toptions o;
    if (!lit_options(argc, argv, o)) {
        std::cerr << "boitier_virtuel : option incorrecte (--aide pour l'usage)\n";
        return 2;
    }
    struct sigaction sa {};
    sa.sa_handler = sur_signal;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    Tboitier_uhid boitier(o.numero);
    if (!boitier.erreur().empty()) {
        std::cerr << "boitier_virtuel : " << boitier.erreur() << "\n";
        return 1;
    }
    const std::string sorte =
        o.numero ? "rapports de numéro " + std::to_string(o.numero) : "rapports sans numéro";
    if (!boitier.branche_le()) {
        std::cerr << "boitier_virtuel : le noyau refuse le boîtier\n";
        return 1;
    }
    std::cout << "branché : 04d8:0000, " << sorte << std::endl;

    std::deque<Ta_envoyer> file;
    ajoute_tours(file, o.tours);
    ajoute_touches(file, o.touches);
    int ouvertures = 0;
    bool entree_ouverte = true;
    double kmh = o.kmh;
    const auto pas_lot = std::chrono::duration<double>(1.0 / o.cadence);
    auto prochain_lot = Thorloge::now();
    auto prochain_tour = Thorloge::now();
    std::string ligne_en_cours;

    while (!arret_demande) {
        const auto maintenant = Thorloge::now();
        const bool ecoute = boitier.branche() && ouvertures > 0;
        if (ecoute && !file.empty() && maintenant >= prochain_lot) {
            const Ta_envoyer e = file.front();
            file.pop_front();
            boitier.envoie(e.code);
            if (!e.fin_de_lot.empty()) std::cout << e.fin_de_lot << std::endl;
            prochain_lot = maintenant + std::chrono::duration_cast<Thorloge::duration>(pas_lot);
        }
        if (kmh > 0 && maintenant >= prochain_tour) {
            if (ecoute) boitier.envoie(code_tour);
            const double periode_s = o.circonference_m / (kmh / 3.6);
            prochain_tour = maintenant + std::chrono::duration_cast<Thorloge::duration>(
                                             std::chrono::duration<double>(periode_s));
        }
        if (!entree_ouverte && file.empty() && kmh <= 0) break;

        // Wait for the kernel, a command, or the next report to send.
        auto echeance = maintenant + std::chrono::seconds(1);
        if (ecoute && !file.empty()) echeance = std::min(echeance, prochain_lot);
        if (kmh > 0) echeance = std::min(echeance, prochain_tour);
        const auto attente =
            std::chrono::duration_cast<std::chrono::milliseconds>(echeance - Thorloge::now());
        pollfd attentes[2] = {{boitier.descripteur_fichier(), POLLIN, 0},
                              {entree_ouverte ? STDIN_FILENO : -1, POLLIN, 0}};
        const int r =
            ::poll(attentes, 2, static_cast<int>(std::max<long long>(0, attente.count())));
        if (r <= 0) continue;

        if (attentes[0].revents & POLLIN) {
            for (const auto& ev : boitier.lit_evenements()) {
                if (ev.sorte == Tevenement_boitier::ouvert) {
                    ++ouvertures;
                    std::cout << "ouvert" << std::endl;
                } else if (ev.sorte == Tevenement_boitier::ferme) {
                    if (ouvertures > 0) --ouvertures;
                    std::cout << "fermé" << std::endl;
                } else if (ev.sorte == Tevenement_boitier::sortie) {
                    std::cout << "sortie : " << hexa(ev.octets) << std::endl;
                }
            }
        }
        if (attentes[1].revents & (POLLIN | POLLHUP | POLLERR)) {
            char octets[4096];
            const ssize_t n = ::read(STDIN_FILENO, octets, sizeof octets);
            if (n <= 0) {
                entree_ouverte = false;
                continue;
            }
            ligne_en_cours.append(octets, static_cast<std::size_t>(n));
            if (ligne_en_cours.size() > 4096 && ligne_en_cours.find('\n') == std::string::npos) {
                std::cerr << "boitier_virtuel : ligne trop longue, ignorée" << std::endl;
                ligne_en_cours.clear();
            }
            for (std::size_t fin; (fin = ligne_en_cours.find('\n')) != std::string::npos;) {
                const std::string ligne = ligne_en_cours.substr(0, fin);
                ligne_en_cours.erase(0, fin + 1);
                std::string erreur;
                const auto c = lit_commande(ligne, erreur);
                if (!c) {
                    if (!erreur.empty()) std::cerr << "boitier_virtuel : " << erreur << std::endl;
                    continue;
                }
                switch (c->sorte) {
                case Tcommande::tours:
                    ajoute_tours(file, c->nombre);
                    break;
                case Tcommande::touches:
                    ajoute_touches(file, c->codes);
                    break;
                case Tcommande::vitesse:
                    kmh = c->kmh;
                    prochain_tour = Thorloge::now();
                    std::cout << "vitesse : " << c->kmh << " km/h" << std::endl;
                    break;
                case Tcommande::debranche:
                    if (boitier.debranche_le()) std::cout << "débranché" << std::endl;
                    ouvertures = 0;
                    break;
                case Tcommande::rebranche:
                    if (boitier.branche_le())
                        std::cout << "branché : 04d8:0000, " << sorte << std::endl;
                    break;
                case Tcommande::quitte:
                    arret_demande = 1;
                    break;
                case Tcommande::aide:
                    std::cout << aide_commandes << std::flush;
                    break;
                }
            }
        }
    }
    boitier.debranche_le();
    std::cout << "débranché" << std::endl;
    return 0;
}
