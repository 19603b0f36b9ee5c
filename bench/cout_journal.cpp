// What the journal itself costs a running window, without the window's painting around it to
// blur it: the engine fed in real time as the window feeds it at 80 km/h with a zone running
// (a clock tick every 100 ms, a simulated revolution every 84 ms), for SECONDS, without then
// with its journal (written, flushed and synchronised by its own thread, as in the window).
// Prints the processor time of the whole process, all threads, in each case.
// Usage: cout_journal SECONDS DOSSIER
#include "parcours_enregistre.h"
#include "repertoire_journaux.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <thread>

#include <sys/resource.h>

namespace {

double cpu_processus_s() {
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return static_cast<double>(r.ru_utime.tv_sec + r.ru_stime.tv_sec) +
           static_cast<double>(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

// Processor time in ms per second of run.
double mesure(int secondes, std::unique_ptr<Tfichier_journal> journal, const std::string& rep) {
    const double debut_cpu = cpu_processus_s();
    {
        Tparcours_enregistre p(std::move(journal), rep, 10 * 36000);
        p.tape("cb_min_zr", "00");
        p.clic("valid_heure_zr");
        p.evenement(Tevenement::defile(80));
        p.coche("CheckBox1", true);
        p.clic("CheckBox1");
        using horloge = std::chrono::steady_clock;
        const auto debut = horloge::now();
        auto tic1 = debut, tic2 = debut;
        while (horloge::now() - debut < std::chrono::seconds(secondes)) {
            if (tic1 <= tic2) {
                std::this_thread::sleep_until(tic1);
                p.tic();
                tic1 += std::chrono::milliseconds(100);
            } else {
                std::this_thread::sleep_until(tic2);
                p.evenement(Tevenement::simple(Tgenre_evenement::tic2));
                tic2 += std::chrono::milliseconds(Tmoteur::intervalle_revolution(80));
            }
        }
        p.termine();
    }
    return (cpu_processus_s() - debut_cpu) * 1000.0 / secondes;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "Usage : cout_journal SECONDES DOSSIER\n");
        return 2;
    }
    const int secondes = std::atoi(argv[1]);
    Trepertoire_temporaire rep;
    rep.ecrit("etalonnage.txt", "540\n1000\n541\n1000\n539\n1000\n");
    const double sans = mesure(secondes, nullptr, rep.chemin());
    Tnouveau_journal j = ouvre_nouveau_journal(argv[2], std::time(nullptr));
    if (!j.fichier) {
        std::fprintf(stderr, "pas de journal : %s\n", j.erreur.c_str());
        return 1;
    }
    const double avec = mesure(secondes, std::move(j.fichier), rep.chemin());
    std::printf("sans_ms_par_s=%.3f avec_ms_par_s=%.3f journal_ms_par_s=%.3f\n", sans, avec,
                avec - sans);
    return 0;
}
