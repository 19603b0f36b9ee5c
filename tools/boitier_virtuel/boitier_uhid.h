#pragma once
// One VELMORA box made by the kernel through /dev/uhid: vendor 04D8, product 0000 on
// the USB bus, 64-byte vendor input and output reports, with or without a report ID.

#include <cstdint>
#include <string>
#include <vector>

// What the kernel told the box.
struct Tevenement_boitier {
    enum Tsorte { ouvert, ferme, sortie, autre } sorte = autre;
    std::vector<std::uint8_t> octets; // an output report, as the kernel handed it over
};

class Tboitier_uhid {
public:
    // `numero`: the report ID of both reports, or 0 for reports without one.
    explicit Tboitier_uhid(std::uint8_t numero);
    ~Tboitier_uhid();
    Tboitier_uhid(const Tboitier_uhid&) = delete;
    Tboitier_uhid& operator=(const Tboitier_uhid&) = delete;

    // Empty when /dev/uhid could be opened; the reason otherwise.
    const std::string& erreur() const { return erreur_; }
    int descripteur_fichier() const { return fd_; }
    bool branche() const { return branche_; }

    bool branche_le();
    bool debranche_le();
    // One input report whose first data byte is `code`.
    bool envoie(std::uint8_t code);
    // The events waiting, without blocking.
    std::vector<Tevenement_boitier> lit_evenements();

    static std::vector<std::uint8_t> descripteur_rapports(std::uint8_t numero);
    static constexpr std::size_t taille_rapport = 64;

private:
    int fd_ = -1;
    std::uint8_t numero_;
    bool branche_ = false;
    std::string erreur_;
};
