#pragma once
// The journal's file, written as the run goes by a thread of its own: the window only
// hands over its lines. What is handed over reaches the disk within a second (written,
// flushed and synchronised), so a crash or a cut of power loses at most the last second.
// A write error stops the journal with one line on standard error; the run goes on.

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class Tfichier_journal {
public:
    // Creates the file (an existing one is not replaced); nothing, with the reason in
    // `erreur`, when it cannot be.
    static std::unique_ptr<Tfichier_journal> cree(const std::filesystem::path& chemin,
                                                  std::string& erreur);
    // Writes into a file already open for writing, which it then owns; `chemin` names it.
    static std::unique_ptr<Tfichier_journal> sur(std::FILE* f, const std::filesystem::path& chemin);
    // Writes what is left and closes the file.
    ~Tfichier_journal();
    Tfichier_journal(const Tfichier_journal&) = delete;
    Tfichier_journal& operator=(const Tfichier_journal&) = delete;

    // Hands over whole lines; nothing more is kept once the journal has stopped.
    void ajoute(const std::string& lignes);
    bool arrete() const { return arrete_.load(std::memory_order_relaxed); }
    const std::filesystem::path& chemin() const { return chemin_; }

    // Where the one line about a stopped journal goes (standard error by default). Called
    // once, from either thread.
    std::function<void(const std::string&)> signale;

    // Beyond this, lines waiting for a disk that does not keep up stop the journal.
    static constexpr std::size_t attente_max = 64u << 20;

private:
    Tfichier_journal(std::filesystem::path chemin, std::FILE* f);
    void ecrit_en_continu();
    // Writes `bloc`; false after saying why the journal stops.
    bool ecrit(const std::string& bloc);
    void arrete_avec(const std::string& raison);

    std::filesystem::path chemin_;
    std::FILE* fichier_;
    std::mutex verrou_;
    std::condition_variable reveil_;
    std::string en_attente_;
    bool fin_ = false;
    std::atomic<bool> arrete_{false};
    std::thread ecrivain_;
};
