#pragma once
// The platform services as the engine gets them while a journal is kept: each answer
// comes from the real services and is recorded as it is given.

#include "enregistreur.h"
#include "services.h"

class Tservices_enregistres : public Iservices {
public:
    // `enregistreur` may be null (or set later): the answers then only pass through.
    Tservices_enregistres(Iservices& reels, Tenregistreur* enregistreur)
        : enregistreur(enregistreur), reels_(reels) {}

    Tenregistreur* enregistreur;

    void message(const std::string& texte) override;
    bool question(const std::string& texte, const std::string& oui,
                  const std::string& non) override;
    Thorloges horloges() override;
    std::string heure_format_long(const Theure_du_jour& h) override;
    void saut_horloge(const Tsaut_horloge& s) override;
    std::string separateur_decimal() override;
    std::string repertoire_executable() override;
    std::optional<std::string> choisit_fichier() override;
    std::optional<std::vector<std::string>>
    lit_fichier(const std::string& chemin, Tfins_de_ligne fins, std::size_t nbr_lignes) override;

private:
    Tenregistreur* actif() const;

    Iservices& reels_;
};
