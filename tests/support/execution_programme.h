#pragma once
// A program run as a crew runs it from a shell, for the tests of the command-line companions:
// in a folder of the test's own, its status, its standard output and its error output.

#include "services_scriptes.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>

struct Texecution {
    int statut = -1;
    std::string sortie;
    std::string erreurs;
};

// A whole file's bytes; none when it cannot be read.
inline std::string lit_fichier(const std::string& chemin) {
    std::ifstream f(chemin, std::ios::binary);
    std::ostringstream o;
    o << f.rdbuf();
    return o.str();
}

// A word for the shell, whatever it holds.
inline std::string entre_apostrophes(const std::string& t) {
    std::string r = "'";
    for (char c : t)
        r += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return r + "'";
}

// Runs in the temporary folder, through `prefixe` (shell commands, a wrapper).
inline Texecution lance(const std::string& commande, const std::vector<std::string>& arguments,
                        const Trepertoire_temporaire& rep, const std::string& prefixe = "") {
    std::string ligne = "cd " + entre_apostrophes(rep.chemin()) + " || exit 99; " + prefixe +
                        entre_apostrophes(commande);
    for (const auto& a : arguments)
        ligne += " " + entre_apostrophes(a);
    const std::string sortie = rep.chemin() + "sortie", erreurs = rep.chemin() + "erreurs";
    ligne += " >" + entre_apostrophes(sortie) + " 2>" + entre_apostrophes(erreurs);
    const int brut = std::system(ligne.c_str());
    return {WIFEXITED(brut) ? WEXITSTATUS(brut) : -1, lit_fichier(sortie), lit_fichier(erreurs)};
}

// A text's lines, without their line feeds.
inline std::vector<std::string> lignes_de(const std::string& texte) {
    std::vector<std::string> l;
    std::istringstream in(texte);
    for (std::string ligne; std::getline(in, ligne);)
        l.push_back(ligne);
    return l;
}
