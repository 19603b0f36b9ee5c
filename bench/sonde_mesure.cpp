#include "sonde_mesure.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QMainWindow>
#include <QTime>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>

#include <sys/resource.h>

namespace {

std::int64_t maintenant_ns() {
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

double cpu_processus_s() {
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return static_cast<double>(r.ru_utime.tv_sec + r.ru_stime.tv_sec) +
           static_cast<double>(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

// Peak resident set size of this process, in KiB.
long memoire_max_kio() {
    std::ifstream f("/proc/self/status");
    std::string ligne;
    while (std::getline(f, ligne))
        if (ligne.rfind("VmHWM:", 0) == 0) return std::strtol(ligne.c_str() + 6, nullptr, 10);
    return -1;
}

} // namespace

Tsonde_mesure::Tsonde_mesure(QWidget* fenetre, std::int64_t lancement_ns, int repos_s, int duree_s)
    : fenetre_(fenetre), lancement_ns_(lancement_ns), repos_s_(repos_s), duree_s_(duree_s) {
    QApplication::instance()->installEventFilter(this);
}

bool Tsonde_mesure::eventFilter(QObject* objet, QEvent* evenement) {
    if (mesure_en_cours_ && evenement->type() == QEvent::Paint && objet->isWidgetType()) {
        ++peintures_;
    }
    if (objet == fenetre_ && evenement->type() == QEvent::Paint && premier_affichage_ms_ < 0) {
        premier_affichage_ms_ = static_cast<double>(maintenant_ns() - lancement_ns_) / 1e6;
        QTimer::singleShot(repos_s_ * 1000, this, [this] { debut_cpu(); });
    }
    return false;
}

void Tsonde_mesure::debut_cpu() {
    cpu_debut_s_ = cpu_processus_s();
    mesure_en_cours_ = true;
    mur_debut_ns_ = maintenant_ns();
    QTimer::singleShot(duree_s_ * 1000, this, [this] { fin_cpu(); });
}

void Tsonde_mesure::fin_cpu() {
    const double mur_s = static_cast<double>(maintenant_ns() - mur_debut_ns_) / 1e9;
    const double cpu = (cpu_processus_s() - cpu_debut_s_) / mur_s * 100.0;
    std::printf("premier_affichage_ms=%.1f memoire_max_kio=%ld cpu_pourcent=%.2f "
                "peintures_par_seconde=%.1f\n",
                premier_affichage_ms_, memoire_max_kio(), cpu,
                static_cast<double>(peintures_) / mur_s);
    std::fflush(stdout);
    QApplication::quit();
}

Targuments_mesure lit_arguments_mesure(int argc, char** argv) {
    Targuments_mesure a;
    a.lancement_ns = argc > 1 ? std::strtoll(argv[1], nullptr, 10) : maintenant_ns();
    if (argc > 2) a.repos_s = std::atoi(argv[2]);
    if (argc > 3) a.duree_s = std::atoi(argv[3]);
    return a;
}

void prepare_fenetre_nue(QMainWindow& fenetre, QTimer& minuterie) {
    fenetre.resize(1016, 723);
    auto* heure = new QLabel(&fenetre);
    heure->setGeometry(20, 20, 300, 40);
    fenetre.setCentralWidget(nullptr);
    minuterie.setTimerType(Qt::PreciseTimer);
    QObject::connect(&minuterie, &QTimer::timeout, heure,
                     [heure] { heure->setText(QTime::currentTime().toString("HH:mm:ss")); });
    minuterie.start(100);
}
