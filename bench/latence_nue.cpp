// The bare window of bench/fenetre_nue.cpp (its size, its clock label rewritten every
// 100 ms) with a second label that counts the box's reports, measured in the guest as
// latence_fenetre measures the program: a thread reads the box's hidraw node, posts an
// event to the window's thread, which writes the count into the label; stamped at the
// read, at the event's arrival, and at the start and end of the label's paint.
// Arguments: the scenario (latence_invite.h). Prints "latence" and "etape" lines.
#include "boitier_pilote.h"
#include "latence_invite.h"
#include "sonde_mesure.h"
#include "systeme_invite.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QLabel>
#include <QMainWindow>
#include <QTime>
#include <QTimer>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr auto type_rapport = static_cast<QEvent::Type>(QEvent::User + 1);

class Tcompteur : public QLabel {
public:
    Tcompteur(QWidget* parent, Tmesures_latence& m) : QLabel(parent), m_(m) {}
    long tours = 0;
    bool actif = true;

protected:
    bool event(QEvent* e) override {
        if (e->type() != type_rapport) return QLabel::event(e);
        if (actif) m_.remis.push_back(instant_monotone_ns());
        setText(QString::number(++tours));
        return true;
    }
    void paintEvent(QPaintEvent* e) override {
        if (actif) {
            m_.debuts_peinture.push_back(instant_monotone_ns());
            m_.tours_montres.push_back(tours);
        }
        QLabel::paintEvent(e);
        if (actif) m_.fins_peinture.push_back(instant_monotone_ns());
    }

private:
    Tmesures_latence& m_;
};

// When each repaint of the window starts.
class Trequetes : public QObject {
public:
    explicit Trequetes(Tmesures_latence& m) : m_(m) {}
    bool actif = true;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (actif && e->type() == QEvent::UpdateRequest)
            m_.requetes.push_back(instant_monotone_ns());
        return false;
    }

private:
    Tmesures_latence& m_;
};

} // namespace

int main(int argc, char** argv) {
    const Tscenario_latence scenario = lit_scenario_latence(argc, argv);
    int argc_qt = 1;
    QApplication app(argc_qt, argv);
    const std::string envois = QDir::tempPath().toStdString() + "/envois_nue.txt";
    auto boitier = demarre_boitier(envois);
    const auto noeuds = noeuds_boitier();
    if (!boitier || noeuds.size() != 1) {
        journal("ÉCHEC : le boîtier virtuel n'est pas apparu");
        return 1;
    }

    Tmesures_latence m;
    QMainWindow fenetre;
    QTimer minuterie;
    prepare_fenetre_nue(fenetre, minuterie);
    auto* compteur = new Tcompteur(&fenetre, m);
    compteur->setGeometry(20, 80, 300, 40);
    Trequetes requetes(m);
    fenetre.installEventFilter(&requetes);
    fenetre.show();

    // The reader: opening the node tells the box that someone listens.
    Thorodatages lus;
    const int fd = ::open(noeuds.front().c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        journal("ÉCHEC : %s ne s'ouvre pas", noeuds.front().c_str());
        return 1;
    }
    std::atomic<bool> arret{false};
    std::thread lecteur([fd, compteur, &lus, &arret] {
        unsigned char rapport[65];
        while (!arret) {
            pollfd attente{fd, POLLIN, 0};
            if (::poll(&attente, 1, 100) <= 0) continue;
            const ssize_t n = ::read(fd, rapport, sizeof rapport);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            lus.note();
            QCoreApplication::postEvent(compteur, new QEvent(type_rapport));
        }
    });

    const long reguliers =
        deroule_scenario(*boitier, scenario, [compteur] { return compteur->tours; });
    compteur->actif = false;
    requetes.actif = false;
    arret = true;
    lecteur.join();
    boitier.reset(); // the box writes its sending times as it ends
    ::close(fd);
    if (reguliers < 0) {
        journal("ÉCHEC : la fenêtre ne prend plus les tours");
        return 1;
    }
    m.lus = lus.valeurs();
    return rapporte_latence("nue", envois, m, reguliers) ? 0 : 1;
}
