#pragma once
// The folder of journals: one file a run, named by the local date and time it started,
// and only the most recent runs kept.

#include "fichier_journal.h"

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>

inline constexpr std::size_t journaux_gardes = 50;
inline constexpr std::uintmax_t octets_gardes = 200u * 1024u * 1024u;

// Drops the oldest journals of the folder (by name, that is by date) until at most
// `nombre` are left and they hold at most `octets`. Other files are left alone.
void range_journaux(const std::filesystem::path& dossier, std::size_t nombre,
                    std::uintmax_t octets);

struct Tnouveau_journal {
    std::unique_ptr<Tfichier_journal> fichier; // null when it could not be created
    std::string date;                          // "2026-12-07 14:05:09"
    std::string erreur;                        // why, in French, when it could not
};

// Creates the folder if needed, makes room for one more run (keeping 49 others and
// 200 MB), and creates velmora-AAAA-MM-JJ-HHMMSS.journal for `instant`.
Tnouveau_journal ouvre_nouveau_journal(const std::filesystem::path& dossier, std::time_t instant);
