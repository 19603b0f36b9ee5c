#pragma once
// What a crew feels of a window program, measured from inside it the same way for
// the program and for the bare baseline window: the time from the process's launch
// to the first paint of its main window, its peak resident memory, the share of one
// core it uses once running, and how many widgets it paints a second meanwhile.

#include <QObject>

#include <cstdint>

class QMainWindow;
class QTimer;
class QWidget;

// The bare window the program is compared with: a QMainWindow of the program's size with one
// label that `minuterie` rewrites every 100 ms, as the program's clock. Not shown yet.
void prepare_fenetre_nue(QMainWindow& fenetre, QTimer& minuterie);

class Tsonde_mesure : public QObject {
public:
    // `lancement_ns`: the launch instant (CLOCK_REALTIME, ns) taken by whoever started the
    // process. After the first paint, waits `repos_s` seconds, then measures the CPU time
    // over `duree_s` seconds, prints one line of figures and quits the application.
    Tsonde_mesure(QWidget* fenetre, std::int64_t lancement_ns, int repos_s, int duree_s);

protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override;

private:
    void debut_cpu();
    void fin_cpu();

    QWidget* fenetre_;
    std::int64_t lancement_ns_;
    int repos_s_;
    int duree_s_;
    double premier_affichage_ms_ = -1;
    double cpu_debut_s_ = 0;
    bool mesure_en_cours_ = false;
    long peintures_ = 0; // widgets painted while the CPU time is measured
    std::int64_t mur_debut_ns_ = 0;
};

// Arguments of a measured run: launch instant, settle and measurement durations.
struct Targuments_mesure {
    std::int64_t lancement_ns = 0;
    int repos_s = 1;
    int duree_s = 20;
};
Targuments_mesure lit_arguments_mesure(int argc, char** argv);
