#pragma once
// The guest's system as the tests touch it: the box's hidraw nodes, shell commands,
// and the log lines that say what a test did and saw.

#include <string>
#include <vector>

// The hidraw nodes of VELMORA boxes (04D8:0000 on the USB bus), oldest first.
std::vector<std::string> noeuds_boitier();
// Waits until there are `n` such nodes; all of them. When udev runs, once it is done
// with them (the box's rule gives the rights); without it, `droits` gives them as the
// rule would (group plugdev, 0660).
std::vector<std::string> attend_noeuds_boitier(std::size_t n, bool droits = true);
// The rights the box's rule gives, by hand.
bool donne_les_droits(const std::string& noeud);
bool udevd_en_marche();
// Runs a shell command, logged; its exit status.
int lance(const std::string& commande);
// One word for that shell, quoted: a path may hold spaces or quotes.
std::string cite(const std::string& mot);
// One line of the log, "[invité] ..." (printf format).
void journal(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Files are opened from now on as a crew member's account would: user nobody, group
// plugdev. Commands run by `lance` stay root. Call before any thread starts: threads
// inherit it, and it is this thread's alone.
bool ouvre_en_equipier();
