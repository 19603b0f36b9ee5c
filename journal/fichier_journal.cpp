#include "fichier_journal.h"

#include "disque.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <iostream>

std::unique_ptr<Tfichier_journal> Tfichier_journal::cree(const std::filesystem::path& chemin,
                                                         std::string& erreur) {
    std::error_code e;
    if (std::filesystem::exists(chemin, e)) {
        erreur = "le fichier existe déjà";
        return nullptr;
    }
    errno = 0;
    std::FILE* f = ouvre_fichier(chemin, "wb");
    if (f == nullptr) {
        erreur = errno != 0 ? std::strerror(errno) : "création impossible";
        return nullptr;
    }
    return std::unique_ptr<Tfichier_journal>(new Tfichier_journal(chemin, f));
}

std::unique_ptr<Tfichier_journal> Tfichier_journal::sur(std::FILE* f,
                                                        const std::filesystem::path& chemin) {
    return std::unique_ptr<Tfichier_journal>(new Tfichier_journal(chemin, f));
}

Tfichier_journal::Tfichier_journal(std::filesystem::path chemin, std::FILE* f)
    : chemin_(std::move(chemin)), fichier_(f) {
    signale = [](const std::string& ligne) { std::cerr << ligne << std::endl; };
    ecrivain_ = std::thread([this] { ecrit_en_continu(); });
}

Tfichier_journal::~Tfichier_journal() {
    {
        std::lock_guard<std::mutex> l(verrou_);
        fin_ = true;
    }
    reveil_.notify_one();
    ecrivain_.join();
    if (std::fclose(fichier_) != 0 && !arrete()) arrete_avec(std::strerror(errno));
}

void Tfichier_journal::ajoute(const std::string& lignes) {
    if (arrete()) return;
    {
        std::lock_guard<std::mutex> l(verrou_);
        if (en_attente_.size() + lignes.size() <= attente_max) {
            en_attente_ += lignes;
            return;
        }
    }
    arrete_avec("le disque ne suit pas");
}

void Tfichier_journal::arrete_avec(const std::string& raison) {
    if (arrete_.exchange(true)) return;
    signale("velmora : journal de bord arrêté, écriture impossible dans " + chemin_.string() +
            " (" + raison + ")");
}

bool Tfichier_journal::ecrit(const std::string& bloc) {
    errno = 0;
    if (std::fwrite(bloc.data(), 1, bloc.size(), fichier_) != bloc.size() ||
        std::fflush(fichier_) != 0 || !synchronise_sur_disque(fichier_)) {
        arrete_avec(errno != 0 ? std::strerror(errno) : "erreur d'écriture");
        return false;
    }
    return true;
}

void Tfichier_journal::ecrit_en_continu() {
    using namespace std::chrono_literals;
    std::string bloc;
    for (;;) {
        bool fin = false;
        {
            std::unique_lock<std::mutex> l(verrou_);
            // Once a second (a little less, so that the sync itself stays within the second):
            // each synchronisation costs the disk a commit and the program about 0.1 ms.
            reveil_.wait_for(l, 900ms, [this] { return fin_; });
            fin = fin_;
            bloc.swap(en_attente_);
            en_attente_.clear();
        }
        if (arrete()) return;
        if (!bloc.empty() && !ecrit(bloc)) return;
        bloc.clear();
        if (fin) return;
    }
}
