#pragma once
// A journal replayed: its events through the same entrance as the window's, the engine
// given back the recorded answers (the replay never reads a clock, a file or a box), and
// every request of the engine and every checkpoint compared with the journal. The first
// difference stops the replay and is kept.

#include "cUSBInterface.h"
#include "entree.h"
#include "lecture_journal.h"
#include "services.h"

#include <functional>
#include <optional>
#include <string>

struct Tdivergence {
    std::string heure;       // the engine's time of day then, "HH:MM:SS"
    std::uint32_t ligne = 0; // of the journal
    std::string controle;    // what differs: "TOTAL", "message", "demande du moteur"...
    std::string enregistre;
    std::string rejoue;
};

// Thrown through the engine to end a replay: at a divergence, at the end of a cut
// journal, or when a hook asks for it. Not an std::exception, so that the engine's
// dispatcher lets it through.
struct Tarret_rejeu {};

class Trejeu : public Iservices, public cUSBInterface {
public:
    explicit Trejeu(const Tjournal& journal) : j_(journal) {}

    // Runs the journal through `entree` (an engine built on this object's services and HID
    // operations) to its end or its first divergence.
    void rejoue(Tentree& entree);

    const std::optional<Tdivergence>& divergence() const { return divergence_; }
    // The journal ended inside an event (a run cut by a crash): replayed up to there.
    bool coupe_dans_un_evenement() const { return coupe_; }
    // The engine's official time as last read, "HH:MM:SS" ("--:--:--" before any).
    std::string heure_courante() const;
    // The checkpoints compared with the replayed engine: none means that nothing was checked.
    std::size_t points_compares() const { return points_compares_; }
    // The journal's line of the event running (or last run).
    std::uint32_t ligne_de_l_evenement() const { return ligne_evenement_; }
    // The journal's last line the replay reached: the divergence's, or the last line run;
    // 0 when it ran none.
    std::uint32_t ligne_atteinte() const;

    // Hooks, each optional. `avant` may wait (the window paces the replay) or throw
    // Tarret_rejeu; the box hooks frame the events run while a message box is open.
    std::function<void(const Tevenement&, std::int64_t temps_ms)> avant;
    std::function<void(const Tevenement&)> apres;
    std::function<void(const Tpoint_controle&)> sur_point;
    std::function<void(const std::string&)> boite_ouverte;
    std::function<void()> boite_fermee;

    // Iservices: the recorded answers.
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
    // The replaying computer ran out of memory, not the recorded run: std::bad_alloc leaves the
    // replay, to be refused as any journal too big to read.
    void memoire_insuffisante() override;
    // cUSBInterface: the recorded answers.
    THidResult Connect(IHidTarget* target) override;
    THidId GetVendorID(THidHandle handle) override;
    THidId GetProductID(THidHandle handle) override;
    THidHandle GetHandle(THidId vendorId, THidId productId) override;
    THidResult SetReadNotify(THidHandle handle, THidBool value) override;
    THidResult Read(THidHandle handle, std::uint8_t* buffer, std::size_t length) override;
    THidResult Write(THidHandle handle, const std::uint8_t* buffer, std::size_t length) override;

private:
    // Runs events and checkpoints until a line of kind `fin` (left for the caller), or
    // to the end of the journal at the top level.
    void boucle(std::optional<Tgenre_ligne> fin);
    // The next line, which must answer the engine's request `demande` of kind g.
    const Tligne_journal& attend(Tgenre_ligne g, const std::string& demande);
    [[noreturn]] void diverge(std::string controle, std::string enregistre, std::string rejoue,
                              std::optional<std::string> heure = std::nullopt);
    [[noreturn]] void fin_du_journal(const std::string& demande);
    void verifie(const Tpoint_controle& enregistre);
    // After an event, the checkpoint the recorder wrote then, if it wrote one.
    void point_apres(const Tevenement& e);

    const Tjournal& j_;
    Tentree* entree_ = nullptr;
    std::size_t i_ = 0;
    std::string heure_du_dernier_point_;
    // Format 1 gave the clock's text before the clock: kept for the engine's request after.
    std::optional<std::string> texte_heure_format_1_;
    std::size_t points_compares_ = 0;
    std::uint32_t ligne_evenement_ = 0;
    std::optional<Tdivergence> divergence_;
    bool coupe_ = false;
};

// An engine of its own replaying a journal, without a window.
struct Tmoteur_rejoue {
    explicit Tmoteur_rejoue(const Tjournal& j)
        : rejeu(j), moteur(rejeu), liaison(moteur, rejeu), entree(moteur, liaison) {}
    void rejoue() { rejeu.rejoue(entree); }

    Trejeu rejeu;
    Tmoteur moteur;
    Tliaison_boitier liaison;
    Tentree entree;
};

// How a line of the journal reads in a message ("message « erreur »", "heure").
std::string decrit_ligne(const Tjournal& j, const Tligne_journal& l);

// The divergence for the crew, on four lines: where, what, the recorded and the replayed value,
// the journal's texts escaped as the journal escapes them and cut when long.
std::string texte_divergence(const Tdivergence& d);
