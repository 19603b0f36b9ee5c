#pragma once
// The folder of journals: one file a run, named by the local date and time it started and
// its run number, and only the most recent runs kept.

#include "fichier_journal.h"

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>

inline constexpr std::size_t journaux_gardes = 50;
inline constexpr std::uintmax_t octets_gardes = 200u * 1024u * 1024u;

// Drops the oldest journals of the folder until at most `nombre` are left and they hold at most
// `octets`; the newest always stays, alone if it is over `octets` by itself. Runs are ordered by
// their number (journals named before runs were numbered come before all numbered ones, by
// date), never by a clock. Only files named exactly as this program names journals are ever
// removed.
void range_journaux(const std::filesystem::path& dossier, std::size_t nombre,
                    std::uintmax_t octets);

struct Tnouveau_journal {
    std::unique_ptr<Tfichier_journal> fichier; // null when it could not be created
    std::string date;                          // "2026-12-07 14:05:09"
    std::string erreur;                        // why, in French, when it could not
};

// Creates the folder if needed, creates velmora-AAAA-MM-JJ-HHMMSS-pN.journal for `instant`, N
// the folder's last run number plus one, then keeps it and the 49 runs before it within
// 200 MB.
Tnouveau_journal ouvre_nouveau_journal(const std::filesystem::path& dossier, std::time_t instant);
