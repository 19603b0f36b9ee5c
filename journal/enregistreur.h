#pragma once
// The recorder: every event that enters the engine, in order, with every answer the
// engine was given while it ran, and once a second of the engine's clock a checkpoint of
// what the crew sees, at the official time. Nothing it does can disturb the run: a journal that
// cannot be written stops by itself.

#include "entree.h"
#include "fichier_journal.h"
#include "services.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

// The journal's format, written in its header; a reader refuses any later one.
inline constexpr int version_format_journal = 2;
// Its first line.
inline constexpr const char* signature_journal = "# VELMORA journal de bord";

class Tenregistreur : public Iobservateur_entree {
public:
    // Writes the header: the format, the program's version and the date given.
    Tenregistreur(std::unique_ptr<Tfichier_journal> fichier, const Tmoteur& moteur,
                  const std::string& version_programme, const std::string& date);
    // Ends the journal with its closing line.
    ~Tenregistreur() override;

    void avant(const Tevenement& e) override;
    void apres(const Tevenement& e) override;

    // Whether an answer given now belongs to a recorded event (and the journal goes on).
    bool enregistre() const { return actif() && !pile_.empty() && pile_.back(); }
    // One answer or box line: the words are appended to the returned text, then fin_ligne.
    std::string& ligne() { return tampon_; }
    void fin_ligne();
    // A box or the file dialog opened or closed within the current event: events that
    // enter while it is open are the crew's (or the clock's, or the box's), and recorded.
    void boite_ouverte();
    void boite_fermee();

    const Tfichier_journal* fichier() const { return fichier_.get(); }

private:
    bool actif() const { return fichier_ && !fichier_->arrete(); }
    void transmet();

    std::unique_ptr<Tfichier_journal> fichier_;
    const Tmoteur& moteur_;
    std::chrono::steady_clock::time_point debut_;
    std::string tampon_;
    // One entry per running event: whether it is recorded. An event that enters while
    // another runs, with no box of its open, is the window echoing the engine's own write
    // to a widget: not an input.
    std::vector<bool> pile_;
    std::size_t boites_ = 0;
    std::string heure_du_dernier_point_;
};
