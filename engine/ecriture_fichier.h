#pragma once
// The one way a program writes a file for the crew (a PDF and its pictures, a spreadsheet, a
// time table, the calibration): into a temporary file beside the target, every write and the
// last flush checked, made durable on the disk, then renamed over the target. A failure
// leaves the old file as it was and says why, in French. The target is a regular file or
// nothing yet: a directory, a device, a FIFO or a file the command reads is never written.
// "-" names standard output where the command allows it; its writes are checked too.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class Tecriture_fichier {
public:
    // `chemin` is UTF-8 on every system; `lus` are the files the command reads.
    explicit Tecriture_fichier(std::string chemin, std::vector<std::string> lus = {},
                               bool sortie_standard_permise = false);
    // A write not put in place leaves nothing behind: its temporary file is removed.
    ~Tecriture_fichier();
    Tecriture_fichier(const Tecriture_fichier&) = delete;
    Tecriture_fichier& operator=(const Tecriture_fichier&) = delete;

    // Checks the target and creates the temporary file beside it.
    bool ouvre();
    // Appends bytes; false from the first failure on.
    bool ecrit(std::string_view octets);
    // Flushes what is left, makes it durable and closes the temporary file.
    bool acheve();
    // Renames the finished temporary file over the target.
    bool met_en_place();
    // acheve() then met_en_place().
    bool termine() { return acheve() && met_en_place(); }

    // After a false: why, in French ("le disque est plein ; l'ancien fichier est inchangé").
    const std::string& raison() const { return raison_; }
    // The whole message: "Impossible d'écrire le fichier X : raison".
    std::string message() const;
    bool sur_sortie_standard() const { return sortie_standard_; }

    // The platform's side: one file a system, chosen by CMake.
    struct Tsysteme;

private:
    bool echoue(std::string raison);
    bool vide_tampon();

    std::string chemin_;
    std::vector<std::string> lus_;
    bool sortie_standard_ = false;
    bool existait_ = false;
    bool en_echec_ = false;
    std::string tampon_;
    std::string raison_;
    std::unique_ptr<Tsysteme> systeme_;
};

// A whole content written through Tecriture_fichier: nothing on success, else the message.
std::optional<std::string> ecrit_fichier_entier(const std::string& chemin, std::string_view contenu,
                                                const std::vector<std::string>& lus = {});

// A file at `chemin` that is a regular file and not one of `lus`, removed (the pages an earlier
// run left); false when there was none to remove.
bool supprime_fichier_ordinaire(const std::string& chemin, const std::vector<std::string>& lus);
