#pragma once
// Journals crafted to cost a reader all that a file within the journal's limits can: a crew's
// run with one text or one count pushed to the limit. Made by the tests (and by bench's
// journaux_demesures for measures), never stored.

#include "parcours_enregistre.h"
#include "services_scriptes.h"

#include <cstddef>
#include <string>

// A one-row zone of 50 km starting at 10:00:00, its average `moyenne`, typed.
void zone_a_l_heure(Tparcours_enregistre& p, const std::string& moyenne);

// `points` points typed in a zone's distances, validated while the decimal separator given is
// `separateur` bytes long.
std::string journal_separateur_long(const Trepertoire_temporaire& rep, std::size_t points,
                                    std::size_t separateur);
// An average of `octets` digits in force for `secondes` seconds of a running zone (a
// checkpoint each second, ten clock ticks a second).
std::string journal_moyenne_longue(const Trepertoire_temporaire& rep, std::size_t octets,
                                   int secondes);
// A rally file whose ZR1 holds `lignes` lines of `octets` points each, chosen `choix` times;
// with `alterne`, every other choice is ZR2, which the file lacks.
std::string journal_rallye_long(const Trepertoire_temporaire& rep, std::size_t octets, int lignes,
                                int choix, bool alterne = false);
// A rally file of 30 zones whose sections all hold the same 140 lines of 8 KiB points, its zones
// chosen in turn `choix` times while the decimal separator is 16 bytes long.
std::string journal_zones_partagees(const Trepertoire_temporaire& rep, int choix);
// A zone's distance written with `octets` digits, the schedule validated `validations` times;
// unless `convertible`, its last digit is a letter, so that each validation shows "erreur".
std::string journal_distance_longue(const Trepertoire_temporaire& rep, std::size_t octets,
                                    int validations, bool convertible = true);
// A zone title of `octets` bytes, validated `zones` times.
std::string journal_titre_long(const Trepertoire_temporaire& rep, std::size_t octets, int zones);
// `octets` bytes of the journal's shortest line, a simulated wheel's revolution.
std::string journal_lignes_minimales(std::size_t octets);
