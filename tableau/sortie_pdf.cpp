#include "sortie_pdf.h"

#include "ecriture_fichier.h"
#include "heure_du_jour.h"
#include "page_imprimee.h"
#include "texte_affichable.h"
#include "textes_tableau.h"

#include <QBuffer>
#include <QDate>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>

#include <algorithm>
#include <array>

namespace {

constexpr int resolution = 300; // dots per inch
constexpr double mm = resolution / 25.4;

// The cells hold digits, ",", ":" and a few plain words: their glyphs and advances in
// one font are looked up once, and a page's cells in that font are drawn as one run of
// glyphs, each where it goes. A drawText a cell, and the text layout each one costs,
// took most of the time of a long table.
class Tcellules_en_glyphes {
public:
    Tcellules_en_glyphes(const QFont& f, double points) : police_(QRawFont::fromFont(f)) {
        police_.setPixelSize(points * resolution / 72.0);
        for (int c = ' '; c < 127; ++c) {
            const QList<quint32> g = police_.glyphIndexesForString(QString(QChar(c)));
            if (g.size() != 1 || g[0] == 0) continue;
            index_[static_cast<std::size_t>(c)] = g[0];
            avances_[static_cast<std::size_t>(c)] = police_.advancesForGlyphIndexes(g)[0].x();
        }
    }

    // Places t centred between x0 and x1 on a line of h from y; false, placing nothing,
    // when a character is not among the glyphs.
    bool place(const std::string& t, double x0, double x1, double y, double h) {
        double largeur = 0;
        for (char c : t) {
            const auto u = static_cast<unsigned char>(c);
            if (u >= index_.size() || index_[u] == 0) return false;
            largeur += avances_[u];
        }
        double x = (x0 + x1 - largeur) / 2;
        const double base = y + (h + police_.ascent() - police_.descent()) / 2;
        for (char c : t) {
            const auto u = static_cast<unsigned char>(c);
            glyphes_.append(index_[u]);
            positions_.append(QPointF(x, base));
            x += avances_[u];
        }
        return true;
    }

    // Draws what was placed since the last time.
    void dessine(QPainter& p) {
        if (glyphes_.isEmpty()) return;
        QGlyphRun suite;
        suite.setRawFont(police_);
        suite.setGlyphIndexes(glyphes_);
        suite.setPositions(positions_);
        p.drawGlyphRun(QPointF(0, 0), suite);
        glyphes_.clear();
        positions_.clear();
    }

private:
    QRawFont police_;
    std::array<quint32, 128> index_{};
    std::array<double, 128> avances_{};
    QList<quint32> glyphes_;
    QList<QPointF> positions_;
};

// Relative widths of the columns: distance, average, elapsed time, [time of day], mark.
std::vector<double> largeurs(bool avec_depart) {
    std::vector<double> l{1.0, 1.0, 1.3};
    if (avec_depart) l.push_back(1.3);
    l.push_back(1.3);
    return l;
}

class Tmise_en_page {
public:
    Tmise_en_page(QPainter& p, const Tentete_tableau& e, double largeur, double hauteur)
        : p_(p), entete_(e), largeur_(largeur), hauteur_(hauteur) {
        const auto l = largeurs(e.depart_dixiemes.has_value());
        double total = 0;
        for (double v : l)
            total += v;
        double x = 0;
        for (double v : l) {
            colonnes_.push_back(x);
            x += largeur_ * v / total;
        }
        colonnes_.push_back(largeur_);
    }

    int lignes_par_page() const {
        return std::max(1, static_cast<int>((hauteur_ - haut_tableau - pied) / hauteur_ligne));
    }

    void page(int numero, int nbr_pages) {
        titre();
        p_.setFont(police_points(8, false));
        p_.setPen(QColor(90, 90, 90));
        p_.drawText(QRectF(0, hauteur_ - pied + 2 * mm, largeur_, pied - 2 * mm),
                    Qt::AlignRight | Qt::AlignBottom,
                    QStringLiteral("Page %1 / %2").arg(numero).arg(nbr_pages));
        p_.drawText(QRectF(0, hauteur_ - pied + 2 * mm, largeur_, pied - 2 * mm),
                    Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("velmora-tableau"));
        p_.setPen(Qt::black);
        const double y = haut_tableau - hauteur_entetes;
        p_.fillRect(QRectF(0, y, largeur_, hauteur_entetes), QColor(200, 200, 200));
        p_.setFont(police_points(taille_cellules, true));
        const auto entetes = entetes_tableau(entete_.depart_dixiemes.has_value());
        for (std::size_t i = 0; i < entetes.size(); ++i)
            p_.drawText(QRectF(colonnes_[i], y, colonnes_[i + 1] - colonnes_[i], hauteur_entetes),
                        Qt::AlignCenter, q(entetes[i]));
    }

    void ligne(const Tligne_marche& l, int rang_dans_page) {
        const double y = haut_tableau + rang_dans_page * hauteur_ligne;
        if (rang_dans_page % 2 == 1)
            p_.fillRect(QRectF(0, y, largeur_, hauteur_ligne), QColor(232, 232, 232));
        Tcellules_en_glyphes& glyphes = l.changement ? glyphes_gras_ : glyphes_;
        const auto textes = cellules_tableau(l, entete_.depart_dixiemes);
        for (std::size_t i = 0; i < textes.size(); ++i)
            if (!glyphes.place(textes[i], colonnes_[i], colonnes_[i + 1], y, hauteur_ligne)) {
                p_.setFont(police_points(taille_cellules, l.changement));
                p_.drawText(QRectF(colonnes_[i], y, colonnes_[i + 1] - colonnes_[i], hauteur_ligne),
                            Qt::AlignCenter, q(textes[i]));
            }
    }

    // Draws the cells placed on the page, over the shading of their lines.
    void termine_page() {
        glyphes_.dessine(p_);
        glyphes_gras_.dessine(p_);
    }

private:
    static constexpr double haut_tableau = 30 * mm;
    static constexpr double hauteur_entetes = 7 * mm;
    static constexpr double hauteur_ligne = 5 * mm;
    static constexpr double pied = 8 * mm;
    static constexpr double taille_cellules = 9; // points

    void titre() {
        p_.setPen(Qt::black);
        p_.setFont(police_points(16, true));
        p_.drawText(QRectF(0, 0, largeur_, 10 * mm), Qt::AlignLeft | Qt::AlignVCenter,
                    QStringLiteral("Tableau de marche — ZR%1").arg(entete_.zone));
        const QString depart =
            entete_.depart_dixiemes
                ? q(texte_hms(heure_de_ms(*entete_.depart_dixiemes * std::int64_t{100})))
                : QStringLiteral("non fixé");
        const QString suite = QStringLiteral("     Départ : %1     Pas : %2 m     Imprimé le %3")
                                  .arg(depart, QString::number(entete_.pas_m),
                                       QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")));
        const QString prefixe = QStringLiteral("Rallye : ");
        p_.setFont(police_points(9.5, false));
        // A long file name gives up its middle, so that the start, the step and the date
        // stay within the margin. Measured as drawn, with a millimetre to spare.
        const QFontMetricsF mesure(p_.font(), p_.device());
        const std::string fichier =
            QFileInfo(QString::fromStdString(entete_.rallye)).fileName().toStdString();
        const QString nom = mesure.elidedText(
            QString::fromStdString(texte_affichable(fichier, 400)), Qt::ElideMiddle,
            largeur_ - mm - mesure.horizontalAdvance(prefixe) - mesure.horizontalAdvance(suite));
        p_.drawText(QRectF(0, 11 * mm, largeur_, 6 * mm), Qt::AlignLeft | Qt::AlignVCenter,
                    prefixe + nom + suite);
    }

    QPainter& p_;
    const Tentete_tableau& entete_;
    double largeur_;
    double hauteur_;
    std::vector<double> colonnes_;
    Tcellules_en_glyphes glyphes_{police_points(taille_cellules, false), taille_cellules};
    Tcellules_en_glyphes glyphes_gras_{police_points(taille_cellules, true), taille_cellules};
};

bool dessine_pdf(QIODevice& sortie, const Tentete_tableau& entete,
                 const std::vector<Tligne_marche>& lignes) {
    QPdfWriter pdf(&sortie);
    pdf.setResolution(resolution);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                  QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
    pdf.setTitle(QStringLiteral("Tableau de marche ZR%1").arg(entete.zone));
    pdf.setCreator(QStringLiteral("velmora-tableau"));
    QPainter p;
    if (!p.begin(&pdf)) return false;
    const QRect zone = pdf.pageLayout().paintRectPixels(resolution);
    Tmise_en_page page(p, entete, zone.width(), zone.height());

    const int par_page = page.lignes_par_page();
    const int nbr_pages =
        std::max(1, static_cast<int>((lignes.size() + static_cast<std::size_t>(par_page) - 1) /
                                     static_cast<std::size_t>(par_page)));
    for (int n = 0; n < nbr_pages; ++n) {
        if (n > 0) pdf.newPage();
        page.page(n + 1, nbr_pages);
        const std::size_t debut = static_cast<std::size_t>(n) * static_cast<std::size_t>(par_page);
        const std::size_t fin = std::min(lignes.size(), debut + static_cast<std::size_t>(par_page));
        for (std::size_t i = debut; i < fin; ++i)
            page.ligne(lignes[i], static_cast<int>(i - debut));
        page.termine_page();
    }
    return p.end();
}

} // namespace

std::optional<std::string> ecrit_pdf(const std::string& chemin, const Tentete_tableau& entete,
                                     const std::vector<Tligne_marche>& lignes) {
    // Drawn whole into memory, then written through the one checked way.
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    if (!dessine_pdf(pdf, entete, lignes))
        return "Impossible de dessiner le PDF de " + texte_affichable(chemin);
    const QByteArray& octets = pdf.data();
    return ecrit_fichier_entier(
        chemin, std::string_view(octets.constData(), static_cast<std::size_t>(octets.size())),
        {entete.rallye});
}
