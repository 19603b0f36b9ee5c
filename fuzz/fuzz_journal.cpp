// Any journal through the reader and, when it reads, through every reader after it: the
// replay, velmora-journal's survey, its CSV and its PDF (into memory). A corrupted or hostile
// journal is refused or read, never a crash, and the engine keeps its invariants after every
// event the journal feeds it.
#include "invariants.h"
#include "lecture_journal.h"
#include "rejeu.h"
#include "releve.h"
#include "sortie_csv_journal.h"
#include "sortie_pdf_journal.h"
#include "texte_affichable.h"
#include "texte_journal.h"

#include <QBuffer>
#include <QGuiApplication>

#include <string_view>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // The drawing needs fonts, and no window: as velmora-journal does.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    Tjournal j;
    try {
        j = lit_journal_octets(std::string_view(reinterpret_cast<const char*>(donnees), taille),
                               "journal");
    } catch (const Tjournal_illisible&) {
        return 0;
    }
    Tmoteur_rejoue m(j);
    std::vector<std::string> messages;
    m.rejeu.boite_ouverte = [&](const std::string& t) { messages.push_back(t); };
    m.rejeu.apres = [&](const Tevenement&) { verifie_invariants(m.moteur, messages); };
    m.rejoue();
    // A divergence names a line of the journal, or the one after its last.
    if (const auto& d = m.rejeu.divergence()) {
        exige(d->ligne >= 6 && (j.lignes.empty() || d->ligne <= j.lignes.back().numero + 1));
        // What a terminal shows of it: a few lines of printable UTF-8, whatever the journal held.
        const std::string t = texte_divergence(*d);
        exige(t.size() < 2000);
        std::size_t debut = 0;
        for (std::size_t fin; (fin = t.find('\n', debut)) != std::string::npos; debut = fin + 1)
            exige(ligne_lisible(std::string_view(t).substr(debut, fin - debut)));
        exige(ligne_lisible(std::string_view(t).substr(debut)));
    }
    // "identique" only when something was compared.
    exige(m.rejeu.divergence() || m.rejeu.points_compares() <= j.points.size());

    const Treleve r = releve(j);
    std::string csv;
    ecrit_csv_journal(
        [&](std::string_view l) {
            csv += l;
            return true;
        },
        r);
    // The spreadsheet grows with the checkpoints only, a line each of bounded cells; nothing
    // in it can command a terminal.
    exige(csv.size() <= 1024 * (r.echantillons.size() + 1));
    exige(lignes_affichables(csv) == csv);
    // As velmora-journal: beyond its pages, a survey is not drawn.
    if (r.zones.size() <= pages_journal_max) {
        QBuffer pdf;
        pdf.open(QIODevice::WriteOnly);
        std::string erreur;
        exige(ecrit_pdf_journal_sur(pdf, {"journal", j.date}, r, erreur));
    }
    return 0;
}
