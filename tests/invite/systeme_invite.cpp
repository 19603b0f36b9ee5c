#include "systeme_invite.h"

#include <grp.h>
#include <pwd.h>
#include <sys/fsuid.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace fs = std::filesystem;

std::vector<std::string> noeuds_boitier() {
    std::vector<std::pair<int, std::string>> noeuds;
    std::error_code e;
    for (const auto& entree : fs::directory_iterator("/sys/class/hidraw", e)) {
        std::ifstream f(entree.path() / "device" / "uevent");
        for (std::string ligne; std::getline(f, ligne);)
            if (ligne == "HID_ID=0003:000004D8:00000000") {
                const std::string nom = entree.path().filename();
                noeuds.emplace_back(std::atoi(nom.c_str() + 6), "/dev/" + nom);
            }
    }
    std::sort(noeuds.begin(), noeuds.end());
    std::vector<std::string> chemins;
    for (auto& [n, c] : noeuds)
        if (fs::exists(c)) chemins.push_back(c);
    return chemins;
}

bool udevd_en_marche() {
    return fs::exists("/run/udev/control");
}

bool donne_les_droits(const std::string& noeud) {
    return lance("chgrp plugdev " + cite(noeud) + " && chmod 660 " + cite(noeud)) == 0;
}

std::vector<std::string> attend_noeuds_boitier(std::size_t n, bool droits) {
    for (int i = 0; i < 600; ++i) {
        auto noeuds = noeuds_boitier();
        if (noeuds.size() >= n) {
            if (udevd_en_marche())
                lance("udevadm settle");
            else if (droits)
                for (const auto& noeud : noeuds)
                    donne_les_droits(noeud);
            return noeuds_boitier();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return noeuds_boitier();
}

int lance(const std::string& commande) {
    journal("$ %s", commande.c_str());
    const int r = std::system(commande.c_str());
    return WIFEXITED(r) ? WEXITSTATUS(r) : -1;
}

std::string cite(const std::string& mot) {
    std::string t = "'";
    for (char c : mot)
        t += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return t + "'";
}

void journal(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::printf("[invité] ");
    std::vprintf(format, args);
    std::printf("\n");
    std::fflush(stdout);
    va_end(args);
}

bool ouvre_en_equipier() {
    const group* plugdev = ::getgrnam("plugdev");
    const passwd* nobody = ::getpwnam("nobody");
    if (!plugdev || !nobody) return false;
    ::setfsgid(plugdev->gr_gid);
    ::setfsuid(nobody->pw_uid);
    // Both calls answer the previous value: asking again tells whether they took.
    return static_cast<uid_t>(::setfsuid(-1)) == nobody->pw_uid &&
           static_cast<gid_t>(::setfsgid(-1)) == plugdev->gr_gid;
}
