// Sequences of events as the crew, the box and the clock could deliver them, with the
// invariants checked after each one.
#include "invariants.h"
#include "services_scriptes.h"

namespace {

class Tlecteur {
public:
    Tlecteur(const std::uint8_t* d, std::size_t t) : d_(d), t_(t) {}
    bool reste() const { return i_ < t_; }
    std::uint8_t octet() { return i_ < t_ ? d_[i_++] : 0; }
    // A short text of the input's own bytes.
    std::string texte() {
        const std::size_t n = octet() % 8;
        std::string t;
        for (std::size_t k = 0; k < n && reste(); ++k)
            t += static_cast<char>(octet());
        return t;
    }

private:
    const std::uint8_t* d_;
    std::size_t t_;
    std::size_t i_ = 0;
};

const char* const calibration = "540\r\n1000\r\n3\r\n1000\r\n0\r\n0\r\n";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    static Trepertoire_temporaire repertoire;
    static const bool ecrit = (repertoire.ecrit("etalonnage.txt", calibration), true);
    (void)ecrit;

    Tservices_scriptes s;
    s.repertoire = repertoire.chemin();
    std::int32_t horloge = 863000; // a little before midnight, so that ticks cross it
    s.regle_dixiemes(horloge);
    Tmoteur m(s);
    m.distribue([&] { m.demarrage(); });

    Tlecteur l(donnees, taille);
    while (l.reste()) {
        const std::uint8_t op = l.octet();
        switch (op % 16) {
        case 0:
        case 1:
            m.distribue([&] { m.un_tour_de_roue(); });
            verifie_cumuls(m);
            break;
        case 2: {
            // A code from the box: keys 0 to 16 reach the keypad, the rest only touche.
            const std::uint8_t code = l.octet();
            m.etat.touche = code;
            if (code <= 16) m.distribue([&] { m.mise_a_jour_trip_clavier(); });
            break;
        }
        case 3:
            horloge = (horloge + 1 + l.octet() * 37) % 864000;
            s.regle_dixiemes(horloge);
            m.distribue([&] { m.Timer1Timer(); });
            break;
        case 4:
            m.ed_seuil_conf.ecrit_texte(l.texte());
            m.distribue([&] { m.valid_seuilClick(); });
            break;
        case 5:
            m.ed_offcet_cad.ecrit_texte(l.texte());
            m.distribue([&] { m.valid_offcet_cadClick(); });
            break;
        case 6:
            m.cb_offcet_cad.ecrit_coche(!m.cb_offcet_cad.coche());
            break;
        case 7:
            m.cad_on.ecrit_coche(!m.cad_on.coche());
            break;
        case 8:
            m.cb_num_etal.ecrit_texte(std::to_string(l.octet() % 5));
            m.distribue([&] { m.lire_donnee_etalonnage(); });
            break;
        case 9:
            m.distribue([&] { l.octet() & 1 ? m.plus_etalClick() : m.moins_etalClick(); });
            break;
        case 10:
            m.cb_heure_zr.ecrit_texte(l.texte());
            m.cb_min_zr.ecrit_texte(std::to_string(l.octet() % 70));
            m.memo_kms.ecrit_texte(l.texte());
            m.memo_moy.ecrit_texte(l.texte());
            m.distribue([&] { m.valid_heure_zrClick(); });
            break;
        case 11:
            m.cb_marche_ar.ecrit_coche(!m.cb_marche_ar.coche());
            break;
        case 12:
            m.distribue([&] { l.octet() & 1 ? m.RAZClick() : m.raz_tripClick(); });
            break;
        case 13: {
            const std::uint8_t f = l.octet() % 4;
            m.distribue([&] {
                f == 0   ? m.format1Click()
                : f == 1 ? m.format2Click()
                : f == 2 ? m.format3Click()
                         : m.format4Click();
            });
            break;
        }
        case 14:
            m.ScrollBar1.ecrit_position(l.octet());
            break;
        default:
            m.distribue([&] { m.raz_offcet_cadClick(); });
        }
        verifie_invariants(m, s.messages);
    }
    return 0;
}
