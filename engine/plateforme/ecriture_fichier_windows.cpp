// Tecriture_fichier on Windows: the file's handle through the wide-character API, FlushFileBuffers,
// and MoveFileExW, which replaces the target and waits for the disk.
#include "ecriture_fichier_systeme.h"

#include <windows.h>

#include <io.h>

#include <algorithm>
#include <random>
#include <string>

namespace {

std::wstring large(const std::string& t) {
    const int taille = static_cast<int>(t.size());
    const int n = MultiByteToWideChar(CP_UTF8, 0, t.data(), taille, nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, t.data(), taille, w.data(), n);
    return w;
}

std::string raison_systeme(DWORD e) {
    switch (e) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return "le disque est plein";
    case ERROR_ACCESS_DENIED:
        return "droit d'écriture refusé";
    case ERROR_WRITE_PROTECT:
        return "le disque est en lecture seule";
    case ERROR_PATH_NOT_FOUND:
        return "son dossier n'existe pas";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return "le fichier est ouvert par un autre programme";
    default:
        return "erreur " + std::to_string(e) + " du système";
    }
}

// The identity of an open file: its volume and index.
bool identite(HANDLE h, BY_HANDLE_FILE_INFORMATION& i) {
    return h != INVALID_HANDLE_VALUE && GetFileInformationByHandle(h, &i);
}

HANDLE ouvre_pour_lire(const std::wstring& nom) {
    return CreateFileW(nom.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

bool meme_fichier(HANDLE h, const std::string& autre) {
    BY_HANDLE_FILE_INFORMATION a{}, b{};
    const HANDLE l = ouvre_pour_lire(large(autre));
    const bool meme = identite(h, a) && identite(l, b) &&
                      a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
                      a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
    if (l != INVALID_HANDLE_VALUE) CloseHandle(l);
    return meme;
}

class Tfichier_temporaire : public Tecriture_fichier::Tsysteme {
public:
    Tfichier_temporaire(std::wstring cible, std::wstring temporaire, HANDLE h)
        : cible_(std::move(cible)), temporaire_(std::move(temporaire)), h_(h) {}
    ~Tfichier_temporaire() override {
        if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
        if (!place_) DeleteFileW(temporaire_.c_str());
    }
    bool ecrit(std::string_view octets, std::string& raison) override {
        while (!octets.empty()) {
            DWORD ecrits = 0;
            const DWORD n = static_cast<DWORD>(std::min<std::size_t>(octets.size(), 1u << 30));
            if (!WriteFile(h_, octets.data(), n, &ecrits, nullptr) || ecrits == 0) {
                raison = raison_systeme(GetLastError());
                return false;
            }
            octets.remove_prefix(ecrits);
        }
        return true;
    }
    bool acheve(std::string& raison) override {
        const bool vide = FlushFileBuffers(h_);
        const DWORD e = GetLastError();
        const bool ferme = CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
        if (!vide || !ferme) {
            raison = raison_systeme(vide ? GetLastError() : e);
            return false;
        }
        return true;
    }
    bool met_en_place(std::string& raison) override {
        if (!MoveFileExW(temporaire_.c_str(), cible_.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            raison = "l'ancien fichier ne peut pas être remplacé (" +
                     raison_systeme(GetLastError()) + ")";
            return false;
        }
        place_ = true;
        return true;
    }

private:
    std::wstring cible_, temporaire_;
    HANDLE h_;
    bool place_ = false;
};

class Tsortie_standard : public Tecriture_fichier::Tsysteme {
public:
    bool ecrit(std::string_view octets, std::string& raison) override {
        while (!octets.empty()) {
            const int n =
                _write(1, octets.data(),
                       static_cast<unsigned>(std::min<std::size_t>(octets.size(), 1u << 30)));
            if (n <= 0) {
                raison = "le système refuse l'écriture";
                return false;
            }
            octets.remove_prefix(static_cast<std::size_t>(n));
        }
        return true;
    }
};

} // namespace

std::unique_ptr<Tecriture_fichier::Tsysteme> ouvre_ecriture(const std::string& chemin,
                                                            const std::vector<std::string>& lus,
                                                            bool& existait, std::string& raison) {
    existait = false;
    const std::wstring cible = large(chemin);
    const HANDLE h = ouvre_pour_lire(cible);
    if (h != INVALID_HANDLE_VALUE) {
        BY_HANDLE_FILE_INFORMATION i{};
        // NUL, CON, COM1 and their like open as devices, never disk files.
        const bool disque = GetFileType(h) == FILE_TYPE_DISK;
        const bool dossier = identite(h, i) && (i.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
        bool lu = false;
        for (const std::string& l : lus)
            lu = lu || meme_fichier(h, l);
        CloseHandle(h);
        if (!disque || dossier) {
            raison = dossier ? "c'est un dossier, pas un fichier"
                             : "c'est un périphérique, pas un fichier";
            return nullptr;
        }
        if (lu) {
            raison = "c'est le fichier que la commande lit";
            return nullptr;
        }
        if (i.dwFileAttributes & FILE_ATTRIBUTE_READONLY) {
            raison = "le fichier est en lecture seule (ou vous n'avez pas le droit de l'écrire)";
            return nullptr;
        }
        existait = true;
    } else if (const DWORD e = GetLastError();
               e != ERROR_FILE_NOT_FOUND && e != ERROR_PATH_NOT_FOUND) {
        raison = raison_systeme(e);
        return nullptr;
    }
    std::random_device hasard;
    for (int essai = 0; essai < 100; ++essai) {
        const std::wstring temporaire =
            cible + L"." + std::to_wstring(hasard() % 1000000) + L".tmp";
        const HANDLE t = CreateFileW(temporaire.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
        if (t == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS) continue;
        if (t == INVALID_HANDLE_VALUE) {
            raison = "il ne peut pas être créé (" + raison_systeme(GetLastError()) + ")";
            return nullptr;
        }
        return std::make_unique<Tfichier_temporaire>(cible, temporaire, t);
    }
    raison = "il ne peut pas être créé (aucun nom de fichier temporaire libre)";
    return nullptr;
}

std::unique_ptr<Tecriture_fichier::Tsysteme> ouvre_sortie_standard() {
    return std::make_unique<Tsortie_standard>();
}

bool supprime_fichier_ordinaire(const std::string& chemin, const std::vector<std::string>& lus) {
    const std::wstring nom = large(chemin);
    const HANDLE h = ouvre_pour_lire(nom);
    if (h == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION i{};
    bool ordinaire = GetFileType(h) == FILE_TYPE_DISK && identite(h, i) &&
                     !(i.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    for (const std::string& l : lus)
        ordinaire = ordinaire && !meme_fichier(h, l);
    CloseHandle(h);
    return ordinaire && DeleteFileW(nom.c_str());
}
