#include "boitier_pilote.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <pthread.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

Tboitier_pilote::Tboitier_pilote(std::string nom, const std::vector<std::string>& arguments)
    : nom_(std::move(nom)) {
    int vers_boitier[2], depuis_boitier[2];
    if (::pipe2(vers_boitier, O_CLOEXEC) != 0 || ::pipe2(depuis_boitier, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, vers_boitier[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, depuis_boitier[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, depuis_boitier[1], STDERR_FILENO);
    std::vector<std::string> args{VELMORA_BOITIER_VIRTUEL};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(vers_boitier[0]);
    ::close(depuis_boitier[1]);
    entree_ = vers_boitier[1];
    sortie_ = depuis_boitier[0];
    lecteur_ = std::thread([this] {
        // The test's signals are for the program's threads, not for this one.
        sigset_t tous;
        sigfillset(&tous);
        pthread_sigmask(SIG_BLOCK, &tous, nullptr);
        lit_sortie();
    });
}

Tboitier_pilote::~Tboitier_pilote() {
    commande("quitte");
    if (entree_ >= 0) ::close(entree_);
    if (lecteur_.joinable()) lecteur_.join();
    if (sortie_ >= 0) ::close(sortie_);
    if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
}

void Tboitier_pilote::commande(const std::string& ligne) {
    std::printf("[invité] %s <- %s\n", nom_.c_str(), ligne.c_str());
    std::fflush(stdout);
    const std::string l = ligne + "\n";
    if (entree_ >= 0) [[maybe_unused]]
        auto n = ::write(entree_, l.data(), l.size());
}

void Tboitier_pilote::lit_sortie() {
    std::string tampon;
    char octets[512];
    for (;;) {
        const ssize_t n = ::read(sortie_, octets, sizeof octets);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        tampon.append(octets, static_cast<std::size_t>(n));
        for (std::size_t fin; (fin = tampon.find('\n')) != std::string::npos;) {
            std::string ligne = tampon.substr(0, fin);
            tampon.erase(0, fin + 1);
            std::printf("[invité] %s -> %s\n", nom_.c_str(), ligne.c_str());
            std::fflush(stdout);
            std::lock_guard v(m_);
            lignes_.push_back(std::move(ligne));
            cv_.notify_all();
        }
    }
    std::lock_guard v(m_);
    fini_ = true;
    cv_.notify_all();
}

int Tboitier_pilote::attend(const std::string& texte, std::size_t apres,
                            std::chrono::seconds delai) {
    std::unique_lock v(m_);
    int trouve = -1;
    cv_.wait_for(v, delai, [&] {
        for (std::size_t i = apres; i < lignes_.size(); ++i)
            if (lignes_[i].find(texte) != std::string::npos) {
                trouve = static_cast<int>(i);
                return true;
            }
        return fini_;
    });
    return trouve;
}

int Tboitier_pilote::cherche(const std::string& texte, std::size_t apres) {
    std::lock_guard v(m_);
    for (std::size_t i = apres; i < lignes_.size(); ++i)
        if (lignes_[i].find(texte) != std::string::npos) return static_cast<int>(i);
    return -1;
}

std::size_t Tboitier_pilote::nombre_de_lignes() {
    std::lock_guard v(m_);
    return lignes_.size();
}

std::vector<std::string> Tboitier_pilote::lignes() {
    std::lock_guard v(m_);
    return lignes_;
}
