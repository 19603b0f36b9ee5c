#include "sortie_pdf_journal.h"

#include "ecriture_fichier.h"
#include "image_png.h"
#include "page_imprimee.h"
#include "texte_affichable.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFont>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <vector>

namespace {

// Pages are drawn in tenths of a millimetre: A4 landscape is 2970 x 2100.
constexpr double largeur_page = 2970, hauteur_page = 2100, marge = 120;

// 1, 2 or 5 times a power of ten, about `n` steps over `etendue`.
double pas_lisible(double etendue, int n) {
    const double brut = std::max(etendue / n, 1e-9);
    const double p = std::pow(10.0, std::floor(std::log10(brut)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (brut <= m * p) return m * p;
    return 10 * p;
}

// A graduation with as many decimals as its step needs, so that near ones never read alike.
QString nombre(double v, double pas) {
    const int decimales = std::clamp(static_cast<int>(std::ceil(-std::log10(pas) - 1e-9)), 0, 6);
    if (std::abs(v) < pas / 2) v = 0; // no "-0"
    QString t = QString::number(v, 'f', decimales);
    return t.replace('.', ',');
}

// The LED bands: green below 5 m, then one, two and three red LEDs.
struct Tbande {
    double de, a;
    QColor couleur;
};
const Tbande bandes[] = {{0, 5, QColor(208, 238, 208)},
                         {5, 15, QColor(255, 246, 196)},
                         {15, 25, QColor(255, 222, 178)},
                         {25, 1e12, QColor(253, 222, 222)}};

struct Tmarque_dessinee {
    double x; // in the chart's own unit
    const Tmarque* marque;
};

QColor couleur_marque(Tgenre_marque g) {
    switch (g) {
    case Tgenre_marque::correction_trip:
        return QColor(0, 90, 200);
    case Tgenre_marque::etalonnage:
        return QColor(130, 40, 160);
    case Tgenre_marque::debranchement:
        return QColor(200, 0, 0);
    case Tgenre_marque::rebranchement:
        return QColor(0, 140, 60);
    }
    return Qt::black;
}

// A dotted or dashed line across a chart, without antialiasing (it would only blur its ends).
// On an image its dashes are drawn as short lines: Qt's dasher makes one path of the hundreds
// of dashes, whose rows of as many edges cost a page more than all the rest. A PDF keeps the
// dashed line.
void trait_pointille(QPainter& p, const QPen& pen, QPointF de, QPointF a) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    const QLineF ligne(de, a);
    const QList<qreal> motif = pen.dashPattern();
    const double largeur = pen.widthF() > 0 ? pen.widthF() : 1;
    if (p.paintEngine()->type() != QPaintEngine::Raster || motif.isEmpty() || ligne.length() <= 0) {
        p.setPen(pen);
        p.drawLine(ligne);
    } else {
        QPen plein = pen;
        plein.setStyle(Qt::SolidLine);
        p.setPen(plein);
        std::vector<QLineF> traits;
        double debut = 0;
        for (qsizetype k = 0; debut < ligne.length(); k = (k + 1) % motif.size()) {
            const double fin = std::min(debut + motif[k] * largeur, ligne.length());
            if (k % 2 == 0 && fin > debut)
                traits.emplace_back(ligne.pointAt(debut / ligne.length()),
                                    ligne.pointAt(fin / ligne.length()));
            debut += std::max(motif[k] * largeur, 1e-3);
        }
        p.drawLines(traits.data(), static_cast<int>(traits.size()));
    }
    p.restore();
}

class Tgraphe {
public:
    Tgraphe(QPainter& p, QRectF cadre, double x0, double x1, double ecart_max)
        : p_(p), cadre_(cadre), x0_(x0), x1_(x1 > x0 ? x1 : x0 + 1), y_(ecart_max) {}

    QPointF point(double x, double y) const {
        return {cadre_.left() + (x - x0_) / (x1_ - x0_) * cadre_.width(),
                cadre_.center().y() - y / y_ * cadre_.height() / 2};
    }

    void fond(std::int32_t seuil) {
        p_.save();
        p_.setClipRect(cadre_);
        for (const Tbande& b : bandes)
            for (int s : {1, -1}) {
                const QPointF haut = point(x0_, s * std::min(b.a, y_ * 2));
                const QPointF bas = point(x1_, s * b.de);
                p_.fillRect(QRectF(haut, bas).normalized(), b.couleur);
            }
        // The threshold: where the bars are full.
        if (seuil > 0 && seuil < y_) {
            const QPen pen(QColor(170, 0, 0), 6, Qt::DashLine);
            for (int s : {1, -1})
                trait_pointille(p_, pen, point(x0_, s * seuil), point(x1_, s * seuil));
        }
        p_.restore();
        if (seuil > 0 && seuil < y_) {
            p_.setPen(QColor(170, 0, 0));
            p_.setFont(police_pixels(26, true));
            for (int s : {1, -1}) {
                const QPointF a = point(x1_, s * seuil);
                p_.drawText(QRectF(a.x() + 10, a.y() - 20, 200, 40),
                            Qt::AlignLeft | Qt::AlignVCenter,
                            QStringLiteral("SEUIL %1%2").arg(s > 0 ? "+" : "-").arg(seuil));
            }
        }
    }

    void axes(const QString& titre_x, const QString& titre_y) {
        p_.setFont(police_pixels(24));
        const double pas_x = pas_lisible(x1_ - x0_, 12);
        QPen grille(QColor(150, 150, 150), 2, Qt::DotLine);
        for (double x = std::ceil(x0_ / pas_x) * pas_x; x <= x1_ + 1e-9; x += pas_x) {
            const QPointF a = point(x, 0);
            trait_pointille(p_, grille, QPointF(a.x(), cadre_.top()),
                            QPointF(a.x(), cadre_.bottom()));
            p_.setPen(Qt::black);
            p_.drawText(QRectF(a.x() - 100, cadre_.bottom() + 6, 200, 34),
                        Qt::AlignHCenter | Qt::AlignTop, nombre(x, pas_x));
        }
        const double pas_y = pas_lisible(2 * y_, 8);
        for (double y = -std::floor(y_ / pas_y) * pas_y; y <= y_ + 1e-9; y += pas_y) {
            const QPointF a = point(x0_, y);
            const QPointF gauche(cadre_.left(), a.y()), droite(cadre_.right(), a.y());
            if (std::abs(y) < 1e-9) {
                p_.setPen(QPen(Qt::black, 4));
                p_.drawLine(gauche, droite);
            } else {
                trait_pointille(p_, grille, gauche, droite);
            }
            p_.setPen(Qt::black);
            p_.drawText(QRectF(cadre_.left() - 130, a.y() - 17, 120, 34),
                        Qt::AlignRight | Qt::AlignVCenter,
                        (y > pas_y / 2 ? "+" : "") + nombre(y, pas_y));
        }
        p_.setPen(QPen(Qt::black, 4));
        p_.setBrush(Qt::NoBrush);
        p_.drawRect(cadre_);
        p_.setFont(police_pixels(26));
        p_.drawText(QRectF(cadre_.left(), cadre_.bottom() + 38, cadre_.width(), 34),
                    Qt::AlignHCenter | Qt::AlignTop, titre_x);
        p_.save();
        p_.translate(cadre_.left() - 175, cadre_.center().y());
        p_.rotate(-90);
        p_.drawText(QRectF(-cadre_.height() / 2, -20, cadre_.height(), 40), Qt::AlignCenter,
                    titre_y);
        p_.restore();
    }

    void changements(const std::vector<std::pair<double, std::string>>& c) {
        p_.setFont(police_pixels(24, true));
        for (const auto& [x, moyenne] : c) {
            if (x < x0_ || x > x1_) continue;
            const QPointF a = point(x, 0);
            p_.setPen(QPen(QColor(0, 110, 110), 5));
            p_.drawLine(QPointF(a.x(), cadre_.top()), QPointF(a.x(), cadre_.bottom()));
            p_.setPen(QColor(0, 110, 110));
            p_.drawText(QRectF(a.x() + 8, cadre_.top() + 6, 400, 32), Qt::AlignLeft | Qt::AlignTop,
                        q(moyenne) + QStringLiteral(" km/h"));
        }
    }

    void marques(const std::vector<Tmarque_dessinee>& m) {
        p_.setFont(police_pixels(22));
        int rang = 0;
        // Marks that fall on the same place (a trip corrected twice in a second) are drawn
        // once, their texts joined, rather than printed over each other.
        for (std::size_t i = 0; i < m.size();) {
            const double x = m[i].x;
            const QPointF a = point(x, 0);
            std::size_t fin = i + 1;
            QString texte = q(m[i].marque->texte);
            while (fin < m.size() && std::abs(point(m[fin].x, 0).x() - a.x()) < 1) {
                // A few texts a place; the label would run off the page anyway.
                if (fin - i < 4) texte += QStringLiteral(" ; ") + q(m[fin].marque->texte);
                if (fin - i == 4) texte += QStringLiteral(" ; …");
                ++fin;
            }
            const Tmarque* premiere = m[i].marque;
            i = fin;
            if (x < x0_ || x > x1_) continue;
            const QColor c = couleur_marque(premiere->genre);
            trait_pointille(p_, QPen(c, 3, Qt::DashLine), QPointF(a.x(), cadre_.top() + 40),
                            QPointF(a.x(), cadre_.bottom()));
            // Labels staggered over three rows at the bottom, so that near ones do not overlap.
            const double y = cadre_.bottom() - 36 - 32 * (rang++ % 3);
            p_.setPen(c);
            p_.drawText(QRectF(a.x() + 6, y, 1200, 30), Qt::AlignLeft | Qt::AlignVCenter, texte);
        }
    }

    void courbe(const std::vector<QPointF>& valeurs) {
        p_.save();
        p_.setClipRect(cadre_.adjusted(-2, -2, 2, 2));
        QPainterPath chemin;
        bool premier = true;
        for (const QPointF& v : valeurs) {
            const double y = std::clamp(v.y(), -y_, y_);
            if (premier)
                chemin.moveTo(point(v.x(), y));
            else
                chemin.lineTo(point(v.x(), y));
            premier = false;
        }
        p_.setPen(QPen(Qt::black, 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p_.setBrush(Qt::NoBrush);
        p_.drawPath(chemin);
        p_.restore();
    }

private:
    QPainter& p_;
    QRectF cadre_;
    double x0_, x1_, y_;
};

void pied(QPainter& p, const Tentete_journal& e, int numero, int nombre_pages) {
    p.setPen(QColor(90, 90, 90));
    p.setFont(police_pixels(24));
    const QRectF bas(marge, hauteur_page - marge - 30, largeur_page - 2 * marge, 34);
    const std::string nom = QFileInfo(q(e.journal)).fileName().toStdString();
    p.drawText(bas, Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("velmora-journal — %1").arg(q(texte_affichable(nom, 200))));
    p.drawText(bas, Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("Page %1 / %2").arg(numero).arg(nombre_pages));
}

void page_vide(QPainter& p, const Tentete_journal& e) {
    p.setPen(Qt::black);
    p.setFont(police_pixels(60, true));
    p.drawText(QRectF(marge, marge, largeur_page - 2 * marge, 100),
               Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Journal de bord du %1").arg(q(texte_affichable(e.date))));
    p.setFont(police_pixels(40));
    p.drawText(QRectF(marge, 400, largeur_page - 2 * marge, 100), Qt::AlignCenter,
               QStringLiteral("Aucune zone n'a été validée pendant ce parcours : rien à tracer."));
    pied(p, e, 1, 1);
}

void page_zone(QPainter& p, const Tentete_journal& e, const Treleve& r, const Tzone_validee& z,
               int numero, int nombre_pages) {
    const std::int32_t depart = z.depart_secondes;
    std::vector<const Techantillon*> roule;
    for (std::size_t i = z.premier; i < z.fin; ++i) {
        const Techantillon& s = r.echantillons[i];
        if (s.cadenceur && s.chrono != "0:00:00") roule.push_back(&s);
    }
    const auto minutes = [&](std::int32_t secondes) {
        std::int32_t d = secondes - depart;
        if (d < -43200) d += 86400;
        return d / 60.0;
    };

    p.setPen(Qt::black);
    p.setFont(police_pixels(56, true));
    p.drawText(QRectF(marge, marge, largeur_page - 2 * marge, 80), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Écart de la %1 — départ %2").arg(q(z.nom), q(z.depart)));
    p.setFont(police_pixels(30));
    QString sous_titre = QStringLiteral("Parcours du %1").arg(q(texte_affichable(e.date)));
    if (!z.rallye.empty()) sous_titre += QStringLiteral("     Rallye : ") + q(z.rallye);
    if (!roule.empty())
        sous_titre += QStringLiteral("     Roulé de %1 à %2")
                          .arg(q(roule.front()->heure), q(roule.back()->heure));
    p.drawText(QRectF(marge, marge + 85, largeur_page - 2 * marge, 44),
               Qt::AlignLeft | Qt::AlignVCenter, sous_titre);

    double ecart_max = 30, km_max = 0.1, min_max = 1;
    std::int32_t seuil = 0;
    for (const Techantillon* s : roule) {
        ecart_max = std::max(ecart_max, std::abs(double(s->ecart_m)) * 1.1);
        km_max = std::max(km_max, s->caden_m / 1000.0);
        min_max = std::max(min_max, minutes(s->secondes));
        seuil = s->seuil;
    }
    if (roule.empty()) seuil = 0;
    ecart_max = std::max(ecart_max, seuil * 1.25);
    const double pas = pas_lisible(2 * ecart_max, 8);
    ecart_max = std::ceil(ecart_max / pas) * pas;

    std::vector<std::pair<double, std::string>> changements;
    for (const auto& [m, moyenne] : z.changements)
        changements.emplace_back(m / 1000.0, moyenne);
    std::vector<Tmarque_dessinee> sur_distance, sur_temps;
    for (std::size_t i = z.premiere_marque; i < z.fin_marques; ++i) {
        const Tmarque& m = r.marques[i];
        sur_distance.push_back({m.caden_m / 1000.0, &m});
        sur_temps.push_back({minutes(m.secondes), &m});
    }

    const double gauche = marge + 200, droite = largeur_page - marge - 170;
    Tgraphe distance(p, QRectF(gauche, 330, droite - gauche, 900), 0, km_max, ecart_max);
    distance.fond(seuil);
    distance.axes(QStringLiteral("Distance idéale CADEN (km)"),
                  QStringLiteral("Écart (m) : en avance au-dessus, en retard au-dessous"));
    distance.changements(changements);
    distance.marques(sur_distance);
    std::vector<QPointF> v;
    for (const Techantillon* s : roule)
        v.emplace_back(s->caden_m / 1000.0, s->ecart_m);
    distance.courbe(v);

    Tgraphe temps(p, QRectF(gauche, 1390, droite - gauche, 440), 0, min_max, ecart_max);
    temps.fond(seuil);
    temps.axes(QStringLiteral("Temps depuis le départ (min)"), QStringLiteral("Écart (m)"));
    temps.marques(sur_temps);
    v.clear();
    for (const Techantillon* s : roule)
        v.emplace_back(minutes(s->secondes), s->ecart_m);
    temps.courbe(v);

    // The legend, under the title.
    p.setFont(police_pixels(24));
    double x = gauche;
    const double y = 240;
    const auto legende = [&](const QColor& c, const QString& t, bool pointille) {
        p.setPen(QPen(c, pointille ? 3 : 5, pointille ? Qt::DashLine : Qt::SolidLine));
        p.drawLine(QPointF(x, y + 17), QPointF(x + 50, y + 17));
        p.setPen(Qt::black);
        p.drawText(QRectF(x + 60, y, 600, 34), Qt::AlignLeft | Qt::AlignVCenter, t);
        x += 80 + p.fontMetrics().horizontalAdvance(t);
    };
    legende(QColor(0, 110, 110), QStringLiteral("changement de moyenne"), false);
    legende(couleur_marque(Tgenre_marque::correction_trip), QStringLiteral("correction du trip"),
            true);
    legende(couleur_marque(Tgenre_marque::etalonnage), QStringLiteral("étalonnage"), true);
    legende(couleur_marque(Tgenre_marque::debranchement), QStringLiteral("boîtier débranché"),
            true);
    const auto bande = [&](const QColor& c, const QString& t) {
        p.fillRect(QRectF(x, y + 4, 50, 26), c);
        p.setPen(Qt::black);
        p.drawText(QRectF(x + 60, y, 600, 34), Qt::AlignLeft | Qt::AlignVCenter, t);
        x += 80 + p.fontMetrics().horizontalAdvance(t);
    };
    bande(bandes[0].couleur, QStringLiteral("LED verte"));
    bande(bandes[1].couleur, QStringLiteral("1 LED"));
    bande(bandes[2].couleur, QStringLiteral("2 LED"));
    bande(bandes[3].couleur, QStringLiteral("3 LED"));
    if (roule.empty()) {
        p.setFont(police_pixels(36));
        p.setPen(Qt::black);
        p.drawText(QRectF(gauche, 600, droite - gauche, 100), Qt::AlignCenter,
                   QStringLiteral("Le cadenceur n'a pas tourné dans cette zone."));
    }
    pied(p, e, numero, nombre_pages);
}

int nombre_de_pages(const Treleve& r) {
    return std::max<int>(1, static_cast<int>(r.zones.size()));
}

void dessine(QPainter& p, const Tentete_journal& e, const Treleve& r, int page) {
    p.setRenderHint(QPainter::Antialiasing);
    if (r.zones.empty())
        page_vide(p, e);
    else
        page_zone(p, e, r, r.zones[static_cast<std::size_t>(page)], page + 1, nombre_de_pages(r));
}

QString chemin_de_page(const QString& chemin, int page) {
    if (page == 0) return chemin;
    const QFileInfo f(chemin);
    const QString suffixe = f.suffix().isEmpty() ? QString() : "." + f.suffix();
    const QString base = suffixe.isEmpty() ? chemin : chemin.left(chemin.size() - suffixe.size());
    return base + QStringLiteral("-%1").arg(page + 1) + suffixe;
}

} // namespace

bool ecrit_pdf_journal(const std::string& chemin, const Tentete_journal& entete, const Treleve& r,
                       std::string& erreur) {
    // Drawn whole into memory, then written through the one checked way: a failure to draw
    // leaves no file begun.
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    if (!ecrit_pdf_journal_sur(pdf, entete, r, erreur)) {
        erreur = "Impossible de dessiner le PDF de " + texte_affichable(chemin);
        return false;
    }
    const QByteArray& octets = pdf.data();
    if (const auto echec = ecrit_fichier_entier(
            chemin, std::string_view(octets.constData(), static_cast<std::size_t>(octets.size())),
            {entete.journal})) {
        erreur = *echec;
        return false;
    }
    return true;
}

bool ecrit_pdf_journal_sur(QIODevice& sortie, const Tentete_journal& entete, const Treleve& r,
                           std::string&) {
    {
        QPdfWriter pdf(&sortie);
        pdf.setResolution(300);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                      QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
        pdf.setTitle(QStringLiteral("Journal de bord VELMORA du %1").arg(q(entete.date)));
        pdf.setCreator(QStringLiteral("velmora-journal"));
        QPainter p;
        if (!p.begin(&pdf)) return false;
        const double echelle = pdf.width() / largeur_page;
        for (int n = 0; n < nombre_de_pages(r); ++n) {
            if (n > 0) pdf.newPage();
            p.resetTransform();
            p.scale(echelle, echelle);
            dessine(p, entete, r, n);
        }
        if (!p.end()) return false;
    }
    return true;
}

bool ecrit_png_journal(const std::string& chemin, const Tentete_journal& entete, const Treleve& r,
                       std::string& erreur) {
    const QString nom = QString::fromStdString(chemin);
    constexpr double dpi = 150;
    const QSize taille(static_cast<int>(297 / 25.4 * dpi), static_cast<int>(210 / 25.4 * dpi));
    // Every page written beside its target first; none is put in place unless all are, so that
    // a failure leaves an earlier run's pages as they were.
    std::vector<std::unique_ptr<Tecriture_fichier>> pages;
    // A page is compressed on the other core while the next one is drawn; two at most are in
    // hand, so that memory does not grow with the pages.
    std::deque<std::future<QByteArray>> en_cours;
    const auto ecrit_la_plus_ancienne = [&] {
        const int n = static_cast<int>(pages.size());
        const QByteArray octets = en_cours.front().get();
        en_cours.pop_front();
        const std::string page = chemin_de_page(nom, n).toStdString();
        if (octets.isEmpty()) {
            erreur = "Impossible de dessiner l'image " + texte_affichable(page);
            return false;
        }
        auto f =
            std::make_unique<Tecriture_fichier>(page, std::vector<std::string>{entete.journal});
        if (!f->ouvre() ||
            !f->ecrit(
                std::string_view(octets.constData(), static_cast<std::size_t>(octets.size()))) ||
            !f->acheve()) {
            erreur = f->message();
            return false;
        }
        pages.push_back(std::move(f));
        return true;
    };
    for (int n = 0; n < nombre_de_pages(r); ++n) {
        QImage image(taille, QImage::Format_RGB32);
        image.fill(Qt::white);
        image.setDotsPerMeterX(static_cast<int>(dpi / 0.0254));
        image.setDotsPerMeterY(static_cast<int>(dpi / 0.0254));
        {
            QPainter p(&image);
            p.scale(taille.width() / largeur_page, taille.height() / hauteur_page);
            dessine(p, entete, r, n);
        }
        if (en_cours.size() == 2 && !ecrit_la_plus_ancienne()) return false;
        // Where no thread can be started, the page is compressed when its turn comes.
        en_cours.push_back(
            std::async(std::launch::async | std::launch::deferred, png_de_page, std::move(image)));
    }
    while (!en_cours.empty())
        if (!ecrit_la_plus_ancienne()) return false;
    for (auto& f : pages)
        if (!f->met_en_place()) {
            erreur = f->message();
            return false;
        }
    // An earlier run of more pages left its later ones: they would read as this run's.
    for (int n = nombre_de_pages(r); n < static_cast<int>(pages_journal_max); ++n)
        supprime_fichier_ordinaire(chemin_de_page(nom, n).toStdString(), {entete.journal});
    return true;
}
