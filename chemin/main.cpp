// velmora-chemin: the Windows installer's step that puts the program's folder into the user's
// PATH, or takes it out, whatever the PATH's length (the installer's own strings hold 1,024
// characters, a PATH up to 32,767). The installer runs it from its temporary folder.
//   velmora-chemin ajoute DOSSIER
//   velmora-chemin retire DOSSIER
// Status: 0 done (or nothing to do), 1 the registry refused, 2 wrong arguments,
// VELMORA_STATUT_CHEMIN_TROP_LONG the PATH has no room for the folder.
#include "arguments_programme.h"
#include "registre_chemin.h"

#include <windows.h>

#include <shellapi.h>

#include <cwchar>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr int statut_refus_registre = 1;
constexpr int statut_arguments = 2;
constexpr const char* usage = "usage : velmora-chemin ajoute|retire DOSSIER";

// The arguments as Windows gave them, in UTF-16: a folder name goes into the PATH exactly.
std::vector<std::u16string> arguments_utf16() {
    int n = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &n);
    std::vector<std::u16string> r;
    for (int i = 1; arguments && i < n; ++i)
        r.emplace_back(arguments[i], arguments[i] + wcslen(arguments[i]));
    LocalFree(arguments);
    return r;
}

} // namespace

int main() {
    prepare_console();
    const auto a = arguments_utf16();
    if (a.size() != 2 || (a[0] != u"ajoute" && a[0] != u"retire")) {
        std::cerr << usage << '\n';
        return statut_arguments;
    }
    const std::u16string& dossier = a[1];
    if (dossier.empty() || dossier.find(u';') != std::u16string::npos) {
        std::cerr << "velmora-chemin : un dossier vide ou dont le nom contient « ; » ne peut pas "
                     "être une entrée du PATH\n";
        return statut_arguments;
    }
    const Tbilan_chemin b = modifie_chemin_utilisateur(
        a[0] == u"ajoute" ? Toperation_chemin::ajoute : Toperation_chemin::retire, dossier);
    if (!b.erreur.empty()) {
        std::cerr << "velmora-chemin : " << b.erreur << '\n';
        return statut_refus_registre;
    }
    if (b.issue == Tissue_chemin::trop_long) {
        std::cerr << "velmora-chemin : avec ce dossier, le PATH de l'utilisateur dépasserait "
                     "32 767 caractères, la limite de Windows : il reste tel quel\n";
        return VELMORA_STATUT_CHEMIN_TROP_LONG;
    }
    return 0;
}
