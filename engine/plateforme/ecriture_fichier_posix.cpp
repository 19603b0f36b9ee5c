// Tecriture_fichier where the system is POSIX: open, write, fsync, rename.
#include "ecriture_fichier_systeme.h"

#include <cerrno>
#include <cstring>
#include <optional>
#include <random>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string raison_systeme(int e) {
    switch (e) {
    case ENOSPC:
        return "le disque est plein";
    case EDQUOT:
        return "le quota du disque est dépassé";
    case EFBIG:
        return "le fichier dépasse la taille que le système permet";
    case EIO:
        return "erreur d'entrée-sortie du disque";
    case EACCES:
    case EPERM:
        return "droit d'écriture refusé";
    case EROFS:
        return "le disque est en lecture seule";
    case ENOENT:
    case ENOTDIR:
        return "son dossier n'existe pas";
    case EISDIR:
        return "c'est un dossier";
    case ENAMETOOLONG:
        return "le nom est trop long";
    case ELOOP:
        return "trop de liens symboliques";
    default:
        return std::strerror(e);
    }
}

// What is not a regular file, for the crew.
std::string genre_refuse(mode_t m) {
    if (S_ISDIR(m)) return "c'est un dossier, pas un fichier";
    if (S_ISCHR(m) || S_ISBLK(m)) return "c'est un périphérique, pas un fichier";
    if (S_ISFIFO(m)) return "c'est un tube (FIFO), pas un fichier";
    if (S_ISSOCK(m)) return "c'est une socket, pas un fichier";
    return "ce n'est pas un fichier ordinaire";
}

// The file a link leads to, links followed one by one so that a link to nothing yet still
// names where the file will be (as an editor saving through it would write there).
std::optional<std::string> cible_des_liens(std::string chemin, std::string& raison) {
    for (int i = 0; i < 40; ++i) {
        struct stat s {};
        if (::lstat(chemin.c_str(), &s) != 0 || !S_ISLNK(s.st_mode)) return chemin;
        std::string lien(4096, '\0');
        const ssize_t n = ::readlink(chemin.c_str(), lien.data(), lien.size());
        if (n < 0 || static_cast<std::size_t>(n) >= lien.size()) break;
        lien.resize(static_cast<std::size_t>(n));
        if (lien.front() != '/') {
            const auto barre = chemin.rfind('/');
            lien =
                (barre == std::string::npos ? std::string() : chemin.substr(0, barre + 1)) + lien;
        }
        chemin = std::move(lien);
    }
    raison = raison_systeme(ELOOP);
    return std::nullopt;
}

bool ecrit_tout(int fd, std::string_view octets, std::string& raison) {
    while (!octets.empty()) {
        const ssize_t n = ::write(fd, octets.data(), octets.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            raison = raison_systeme(n < 0 ? errno : ENOSPC);
            return false;
        }
        octets.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

class Tfichier_temporaire : public Tecriture_fichier::Tsysteme {
public:
    Tfichier_temporaire(std::string cible, std::string temporaire, int fd)
        : cible_(std::move(cible)), temporaire_(std::move(temporaire)), fd_(fd) {}
    ~Tfichier_temporaire() override {
        if (fd_ >= 0) ::close(fd_);
        if (!place_) ::unlink(temporaire_.c_str());
    }
    bool ecrit(std::string_view octets, std::string& raison) override {
        return ecrit_tout(fd_, octets, raison);
    }
    bool acheve(std::string& raison) override {
        const int fd = fd_;
        fd_ = -1;
        const bool synchronise = ::fsync(fd) == 0;
        const int e = errno;
        // close reports a write that a network or quota file system deferred to it.
        if (::close(fd) != 0 || !synchronise) {
            raison = raison_systeme(synchronise ? errno : e);
            return false;
        }
        return true;
    }
    bool met_en_place(std::string& raison) override {
        if (::rename(temporaire_.c_str(), cible_.c_str()) != 0) {
            raison = "l'ancien fichier ne peut pas être remplacé (" + raison_systeme(errno) + ")";
            return false;
        }
        place_ = true;
        // The new name made durable too; a system that cannot sync a folder loses nothing here.
        const auto barre = cible_.rfind('/');
        const std::string dossier = barre == std::string::npos ? "." : cible_.substr(0, barre + 1);
        const int d = ::open(dossier.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (d >= 0) {
            ::fsync(d);
            ::close(d);
        }
        return true;
    }

private:
    std::string cible_, temporaire_;
    int fd_;
    bool place_ = false;
};

class Tsortie_standard : public Tecriture_fichier::Tsysteme {
public:
    bool ecrit(std::string_view octets, std::string& raison) override {
        return ecrit_tout(STDOUT_FILENO, octets, raison);
    }
};

} // namespace

std::unique_ptr<Tecriture_fichier::Tsysteme> ouvre_ecriture(const std::string& chemin,
                                                            const std::vector<std::string>& lus,
                                                            bool& existait, std::string& raison) {
    existait = false;
    const auto cible = cible_des_liens(chemin, raison);
    if (!cible) return nullptr;
    struct stat s {};
    if (::stat(cible->c_str(), &s) == 0) {
        if (!S_ISREG(s.st_mode)) {
            raison = genre_refuse(s.st_mode);
            return nullptr;
        }
        for (const std::string& lu : lus) {
            struct stat l {};
            if (::stat(lu.c_str(), &l) == 0 && l.st_dev == s.st_dev && l.st_ino == s.st_ino) {
                raison = "c'est le fichier que la commande lit";
                return nullptr;
            }
        }
        // Marked read-only, it is left alone even where the system would let it be replaced.
        if ((s.st_mode & S_IWUSR) == 0 || ::access(cible->c_str(), W_OK) != 0) {
            raison = "le fichier est en lecture seule (ou vous n'avez pas le droit de l'écrire)";
            return nullptr;
        }
        existait = true;
    } else if (errno != ENOENT) {
        raison = raison_systeme(errno);
        return nullptr;
    }

    std::random_device hasard;
    for (int essai = 0; essai < 100; ++essai) {
        const std::string temporaire = *cible + "." + std::to_string(hasard() % 1000000) + ".tmp";
        const int fd = ::open(temporaire.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) {
            raison = "il ne peut pas être créé (" + raison_systeme(errno) + ")";
            return nullptr;
        }
        // The new file keeps the old one's permissions, as an editor's save does.
        if (existait) ::fchmod(fd, s.st_mode & 07777);
        return std::make_unique<Tfichier_temporaire>(*cible, temporaire, fd);
    }
    raison = "il ne peut pas être créé (aucun nom de fichier temporaire libre)";
    return nullptr;
}

std::unique_ptr<Tecriture_fichier::Tsysteme> ouvre_sortie_standard() {
    return std::make_unique<Tsortie_standard>();
}

bool supprime_fichier_ordinaire(const std::string& chemin, const std::vector<std::string>& lus) {
    struct stat s {};
    if (::lstat(chemin.c_str(), &s) != 0 || !S_ISREG(s.st_mode)) return false;
    for (const std::string& lu : lus) {
        struct stat l {};
        if (::stat(lu.c_str(), &l) == 0 && l.st_dev == s.st_dev && l.st_ino == s.st_ino)
            return false;
    }
    return ::unlink(chemin.c_str()) == 0;
}
