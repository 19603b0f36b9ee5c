#include "registre_chemin.h"
#include "texte_windows.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr wchar_t cle_environnement[] = L"Environment";
constexpr wchar_t nom_valeur[] = L"Path";
constexpr const char* nom_complet = "HKCU\\Environment\\Path";

std::string texte_systeme(LSTATUS code) {
    wchar_t* texte = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&texte), 0, nullptr);
    std::string r = n > 0 && texte ? utf8_depuis_large(texte) : "erreur " + std::to_string(code);
    LocalFree(texte);
    while (!r.empty() && (r.back() == '\n' || r.back() == '\r' || r.back() == ' '))
        r.pop_back();
    return r;
}

Tbilan_chemin echec(const std::string& quoi, LSTATUS code) {
    return {Tissue_chemin::deja_fait,
            quoi + " " + nom_complet + " impossible : " + texte_systeme(code)};
}

class Tcle {
public:
    HKEY h = nullptr;
    Tcle() = default;
    Tcle(const Tcle&) = delete;
    Tcle& operator=(const Tcle&) = delete;
    ~Tcle() {
        if (h) RegCloseKey(h);
    }
};

struct Tvaleur {
    bool presente = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> octets;
};

// The value whole: asked for its size, then read, again if it grew in between.
LSTATUS lit_valeur(HKEY cle, Tvaleur& v) {
    DWORD taille = 0;
    LSTATUS s = RegQueryValueExW(cle, nom_valeur, nullptr, nullptr, nullptr, &taille);
    for (int essai = 0; s == ERROR_SUCCESS && essai < 8; ++essai) {
        v.octets.resize(taille + 1); // never empty: a null buffer would only ask the size
        DWORD lue = taille;
        s = RegQueryValueExW(cle, nom_valeur, nullptr, &v.type, v.octets.data(), &lue);
        if (s == ERROR_MORE_DATA) {
            taille = lue;
            s = ERROR_SUCCESS;
            continue;
        }
        if (s != ERROR_SUCCESS) break;
        v.octets.resize(lue);
        v.presente = true;
        return ERROR_SUCCESS;
    }
    if (s == ERROR_FILE_NOT_FOUND) {
        v.presente = false;
        return ERROR_SUCCESS;
    }
    return s == ERROR_SUCCESS ? ERROR_MORE_DATA : s;
}

} // namespace

Tbilan_chemin modifie_chemin_utilisateur(Toperation_chemin operation, std::u16string_view dossier) {
    const bool ajout = operation == Toperation_chemin::ajoute;
    Tcle cle;
    const REGSAM droits = KEY_QUERY_VALUE | KEY_SET_VALUE;
    LSTATUS s = ajout ? RegCreateKeyExW(HKEY_CURRENT_USER, cle_environnement, 0, nullptr,
                                        REG_OPTION_NON_VOLATILE, droits, nullptr, &cle.h, nullptr)
                      : RegOpenKeyExW(HKEY_CURRENT_USER, cle_environnement, 0, droits, &cle.h);
    if (!ajout && s == ERROR_FILE_NOT_FOUND) return {};
    if (s != ERROR_SUCCESS) return echec("ouverture de", s);

    Tvaleur v;
    if ((s = lit_valeur(cle.h, v)) != ERROR_SUCCESS) return echec("lecture de", s);
    std::u16string texte;
    DWORD type = REG_EXPAND_SZ;
    if (v.presente) {
        if (v.type != REG_SZ && v.type != REG_EXPAND_SZ)
            return {Tissue_chemin::deja_fait, std::string(nom_complet) +
                                                  " n'est pas un texte (type " +
                                                  std::to_string(v.type) + ") : il reste tel quel"};
        if (v.octets.size() % 2 != 0)
            return {Tissue_chemin::deja_fait, std::string(nom_complet) +
                                                  " n'est pas un texte UTF-16 entier : il reste "
                                                  "tel quel"};
        type = v.type;
        texte.resize(v.octets.size() / 2);
        std::memcpy(texte.data(), v.octets.data(), v.octets.size());
        // Every reader of the value stops at its first null character; so does the edit.
        texte.resize(std::min(texte.find(u'\0'), texte.size()));
    }

    const Tchemin_modifie m =
        ajout ? ajoute_au_chemin(texte, dossier) : retire_du_chemin(texte, dossier);
    if (m.issue != Tissue_chemin::change) return {m.issue, {}};
    if (m.valeur.empty()) {
        // Nothing else was in it: the value goes, as before the installation.
        s = RegDeleteValueW(cle.h, nom_valeur);
    } else {
        const auto taille = static_cast<DWORD>((m.valeur.size() + 1) * sizeof(char16_t));
        s = RegSetValueExW(cle.h, nom_valeur, 0, type,
                           reinterpret_cast<const BYTE*>(m.valeur.c_str()), taille);
    }
    if (s != ERROR_SUCCESS) return echec("écriture de", s);
    // Explorer, and the programs it starts from then on, read the new PATH.
    SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0,
                        reinterpret_cast<LPARAM>(L"Environment"), SMTO_ABORTIFHUNG, 5000, nullptr);
    return {Tissue_chemin::change, {}};
}
