#pragma once
// The virtual box as a child process of the test: commands go to its standard input,
// each line it prints is kept (and echoed to the log) for the test to wait on.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <sys/types.h>

class Tboitier_pilote {
public:
    // Starts boitier_virtuel with these arguments; `nom` marks its lines in the log.
    Tboitier_pilote(std::string nom, const std::vector<std::string>& arguments);
    ~Tboitier_pilote(); // "quitte", then waits for it to end
    Tboitier_pilote(const Tboitier_pilote&) = delete;
    Tboitier_pilote& operator=(const Tboitier_pilote&) = delete;

    void commande(const std::string& ligne);
    // Waits for a line holding `texte` beyond the first `apres` lines; its index, or -1.
    int attend(const std::string& texte, std::size_t apres = 0,
               std::chrono::seconds delai = std::chrono::seconds(60));
    // The index of the first line holding `texte` beyond the first `apres`, or -1, now.
    int cherche(const std::string& texte, std::size_t apres = 0);
    std::size_t nombre_de_lignes();
    std::vector<std::string> lignes();

private:
    void lit_sortie();

    std::string nom_;
    pid_t pid_ = -1;
    int entree_ = -1;
    int sortie_ = -1;
    std::thread lecteur_;
    std::mutex m_;
    std::condition_variable cv_;
    std::vector<std::string> lignes_;
    bool fini_ = false;
};
