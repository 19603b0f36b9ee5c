#pragma once
// Models of the window's controls. The engine writes and reads these by the
// controls' own names; the window mirrors each one the moment it changes and
// writes the crew's edits back into it.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// Colours the engine gives to labels, panels and LEDs. The last six are the
// window system's theme colours; the window resolves them to its palette.
enum class Tcouleur : std::uint8_t {
    rouge,                    // (255,0,0)
    vert,                     // (0,128,0)
    lime,                     // (0,255,0)
    bleu,                     // (0,0,255)
    bleu_ciel,                // (166,202,240)
    sarcelle,                 // teal (0,128,128)
    blanc,                    // (255,255,255)
    face_bouton,              // button face: an LED or a square that is off
    surbrillance_bouton,      // button highlight
    degrade_legende_inactive, // inactive-caption gradient: panels, lb_dist_etal at rest
    barre_defilement,         // scroll bar
    fond_bureau,              // desktop background
    texte_fenetre,            // window text
};

// Common observer plumbing. `miroir` belongs to the window (it repaints the
// widget); `sur_changement` belongs to the engine (for instance panel_rouge).
// Both run only when a value really changes, so that redrawing the same digit
// ten times a second costs no repaint.
class Tmodele_controle {
public:
    std::function<void()> miroir;
    std::function<void()> sur_changement;

    Tmodele_controle() = default;
    Tmodele_controle(const Tmodele_controle&) = delete;
    Tmodele_controle& operator=(const Tmodele_controle&) = delete;

    // Counts the changes: whoever keeps what it derived from a long text can tell whether
    // that text changed without comparing it.
    std::uint64_t revision() const { return revision_; }

protected:
    void signale() {
        ++revision_;
        if (sur_changement) sur_changement();
        if (miroir) miroir();
    }

private:
    std::uint64_t revision_ = 0;
};

// A label, a static text or a panel: a text, a colour and a visibility, and the hint it shows
// under the pointer when the program gives one (empty: the form's own).
class Tmodele_label : public Tmodele_controle {
public:
    explicit Tmodele_label(std::string texte = {}, Tcouleur couleur = Tcouleur::face_bouton)
        : texte_(std::move(texte)), couleur_(couleur) {}

    const std::string& texte() const { return texte_; }
    Tcouleur couleur() const { return couleur_; }
    bool visible() const { return visible_; }
    const std::string& bulle() const { return bulle_; }

    void ecrit_texte(const std::string& t) {
        if (t == texte_) return;
        texte_ = t;
        signale();
    }
    void ecrit_couleur(Tcouleur c) {
        if (c == couleur_) return;
        couleur_ = c;
        signale();
    }
    void ecrit_visible(bool v) {
        if (v == visible_) return;
        visible_ = v;
        signale();
    }
    void ecrit_bulle(const std::string& b) {
        if (b == bulle_) return;
        bulle_ = b;
        signale();
    }

private:
    std::string texte_;
    Tcouleur couleur_;
    bool visible_ = true;
    std::string bulle_;
};

// A gauge (`retard`, `avance`): minimum 0, a maximum and a position.
class Tmodele_barre : public Tmodele_controle {
public:
    std::int32_t maximum() const { return maximum_; }
    std::int32_t position() const { return position_; }
    void ecrit_maximum(std::int32_t v) {
        if (v == maximum_) return;
        maximum_ = v;
        signale();
    }
    void ecrit_position(std::int32_t v) {
        if (v == position_) return;
        position_ = v;
        signale();
    }

private:
    std::int32_t maximum_ = 20;
    std::int32_t position_ = 0;
};

// A check box or a radio button.
class Tmodele_case : public Tmodele_controle {
public:
    explicit Tmodele_case(bool coche = false) : coche_(coche) {}
    bool coche() const { return coche_; }
    void ecrit_coche(bool c) {
        if (c == coche_) return;
        coche_ = c;
        signale();
    }

private:
    bool coche_;
};

// A single-line edit field or an editable combo box: its text and, for a
// combo box, the index of the chosen item (-1: none).
class Tmodele_champ : public Tmodele_controle {
public:
    explicit Tmodele_champ(std::string texte = {}, std::vector<std::string> elements = {})
        : texte_(std::move(texte)), elements_(std::move(elements)) {}

    const std::string& texte() const { return texte_; }
    int index() const { return index_; }
    const std::vector<std::string>& elements() const { return elements_; }

    void ecrit_texte(const std::string& t) {
        if (t == texte_) return;
        texte_ = t;
        index_ = -1;
        for (std::size_t i = 0; i < elements_.size(); ++i)
            if (elements_[i] == t) index_ = static_cast<int>(i);
        signale();
    }
    // Picks item i of the list (its text follows); -1 or out of range: no item, empty text.
    void choisit(int i) {
        const bool valide = i >= 0 && static_cast<std::size_t>(i) < elements_.size();
        const int nouvel_index = valide ? i : -1;
        const std::string nouveau_texte = valide ? elements_[static_cast<std::size_t>(i)] : "";
        if (nouvel_index == index_ && nouveau_texte == texte_) return;
        index_ = nouvel_index;
        texte_ = nouveau_texte;
        signale();
    }

private:
    std::string texte_;
    std::vector<std::string> elements_;
    int index_ = -1;
};

// A multi-line text field: its lines. A line index past the end reads as empty text.
class Tmodele_memo : public Tmodele_controle {
public:
    // Lines held shared, each on its own: a field given the lines another keeps (a zone's
    // extraction kept for its next choice) costs pointers, and is copied only where written.
    using Tligne = std::shared_ptr<const std::string>;
    using Tlignes = std::shared_ptr<const std::vector<Tligne>>;

    explicit Tmodele_memo(const std::vector<std::string>& lignes = {});

    // A copy, for whoever reads them all.
    std::vector<std::string> lignes() const;
    const Tlignes& partagees() const { return lignes_; }
    std::size_t nombre() const { return lignes_->size(); }
    const std::string& ligne(std::size_t i) const {
        static const std::string vide;
        return i < lignes_->size() ? *(*lignes_)[i] : vide;
    }

    void efface();
    void ajoute(const std::string& l);
    void remplace(std::size_t i, const std::string& l);
    void ecrit_lignes(std::vector<std::string> l);
    // The lines another holds, none of them null: compared by pointer, then line by line
    // only when both hold as many.
    void ecrit_partagees(Tlignes l);

    // The whole text as a text field holds it: lines joined by line feeds.
    std::string texte() const;
    // Takes the text typed into the field: an empty text is no line at all.
    void ecrit_texte(const std::string& t);

    static Tligne partage(std::string l) {
        return std::make_shared<const std::string>(std::move(l));
    }

private:
    Tlignes lignes_;
};

// The speed scroll bar of the simulation strip.
class Tmodele_defilement : public Tmodele_controle {
public:
    static constexpr std::int32_t minimum = 20;
    static constexpr std::int32_t maximum = 80;
    std::int32_t position() const { return position_; }
    void ecrit_position(std::int32_t p) {
        if (p < minimum) p = minimum;
        if (p > maximum) p = maximum;
        if (p == position_) return;
        position_ = p;
        signale();
    }

private:
    std::int32_t position_ = minimum;
};

// A periodic timer: its interval in milliseconds and whether it runs.
class Tmodele_minuterie : public Tmodele_controle {
public:
    explicit Tmodele_minuterie(std::int32_t intervalle = 1000, bool actif = false)
        : intervalle_(intervalle), actif_(actif) {}
    std::int32_t intervalle() const { return intervalle_; }
    bool actif() const { return actif_; }
    void ecrit_intervalle(std::int32_t i) {
        if (i == intervalle_) return;
        intervalle_ = i;
        signale();
    }
    void ecrit_actif(bool a) {
        if (a == actif_) return;
        actif_ = a;
        signale();
    }

private:
    std::int32_t intervalle_;
    bool actif_;
};
