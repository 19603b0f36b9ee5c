#include "ligne_numerique.h"

#include <QCoreApplication>
#include <QGlyphRun>
#include <QHash>
#include <QPointer>

#include <memory>
#include <vector>

QTextLine dispose_sur_une_ligne(QTextLayout& mise_en_page) {
    QTextOption option;
    option.setTextDirection(Qt::LeftToRight);
    mise_en_page.setTextOption(option);
    mise_en_page.beginLayout();
    const QTextLine ligne = mise_en_page.createLine();
    mise_en_page.endLayout();
    return ligne;
}

namespace {

constexpr QStringView alphabet = u"0123456789+-.,: ";

struct Tmesure {
    qreal avance = 0;
    qreal largeur = 0;
    qreal hauteur = 0;
    qreal ascent = 0;
    QList<quint32> glyphes;
    QRawFont police;
};

// Qt's own layout of one line.
Tmesure mesure(const QFont& police, const QString& texte) {
    QTextLayout mise_en_page(texte, police);
    const QTextLine ligne = dispose_sur_une_ligne(mise_en_page);
    Tmesure m{ligne.horizontalAdvance(),
              ligne.naturalTextWidth(),
              ligne.ascent() + ligne.descent(),
              ligne.ascent(),
              {},
              {}};
    for (const QGlyphRun& suite : mise_en_page.glyphRuns()) {
        m.glyphes += suite.glyphIndexes();
        m.police = suite.rawFont();
    }
    return m;
}

// What one font's lines are made of, measured as they are first needed.
struct Ttable {
    struct Tcaractere {
        quint32 glyphe = 0;
        qreal avance = 0;
        qreal largeur = 0; // of the character alone, its ink past its advance included
        bool seul = false; // one glyph of its own, in one run
    };
    QFont police;
    QRawFont brute;
    qreal hauteur = 0;
    qreal ascent = 0;
    QHash<char16_t, Tcaractere> caracteres;
    QHash<quint32, qreal> crenages; // the pair's width less both advances

    // By value: measuring another character may move the table's entries.
    Tcaractere caractere(char16_t c) {
        auto trouve = caracteres.constFind(c);
        if (trouve != caracteres.cend()) return *trouve;
        const Tmesure m = mesure(police, QString(QChar(c)));
        Tcaractere car{m.glyphes.value(0), m.avance, m.largeur, m.glyphes.size() == 1};
        if (brute.isValid() && m.police != brute) car.seul = false;
        return *caracteres.insert(c, car);
    }
    qreal crenage(char16_t a, char16_t b) {
        const quint32 cle = (quint32(a) << 16) | b;
        auto trouve = crenages.constFind(cle);
        if (trouve != crenages.cend()) return *trouve;
        const Tmesure m = mesure(police, QString(QChar(a)) + QChar(b));
        return *crenages.insert(cle, m.avance - caractere(a).avance - caractere(b).avance);
    }
};

// The tables of the fonts in use, freed with the application. A font seldom comes back once
// another has replaced it, so past a few dozen they start afresh; a window uses a handful,
// found by comparing fonts, which costs less than naming them.
class Ttables : public QObject {
public:
    using QObject::QObject;
    std::vector<std::unique_ptr<Ttable>> tables;

    static Ttable& de(const QFont& police) {
        static QPointer<Ttables> memoire;
        if (memoire.isNull()) memoire = new Ttables(QCoreApplication::instance());
        for (const auto& table : memoire->tables)
            if (table->police == police) return *table;
        if (memoire->tables.size() >= 32) memoire->tables.clear();
        auto table = std::make_unique<Ttable>();
        table->police = police;
        const Tmesure zero = mesure(police, QStringLiteral("0"));
        table->brute = zero.police;
        table->hauteur = zero.hauteur;
        table->ascent = zero.ascent;
        return *memoire->tables.emplace_back(std::move(table));
    }
};

} // namespace

std::optional<Tligne_numerique> ligne_numerique(const QFont& police, const QString& texte) {
#ifdef Q_OS_WIN
    // Windows' font engines round each glyph's place as they lay a line out, so a line is not
    // the sum of its characters' measures there: Qt lays every line out.
    return std::nullopt;
#endif
    if (texte.isEmpty() || texte.endsWith(QLatin1Char(' ')) || police.letterSpacing() != 0 ||
        police.wordSpacing() != 0 || police.capitalization() != QFont::MixedCase)
        return std::nullopt;
    for (const QChar c : texte)
        if (!alphabet.contains(c)) return std::nullopt;
    Ttable& table = Ttables::de(police);
    Tligne_numerique ligne;
    ligne.police = table.brute;
    ligne.hauteur = table.hauteur;
    qreal x = 0;
    for (qsizetype i = 0; i < texte.size(); ++i) {
        const char16_t c = texte[i].unicode();
        const Ttable::Tcaractere car = table.caractere(c);
        if (!car.seul) return std::nullopt;
        ligne.glyphes.append(car.glyphe);
        ligne.positions.append(QPointF(x, table.ascent));
        if (i + 1 == texte.size()) {
            ligne.avance = x + car.avance;
            ligne.largeur = x + car.largeur;
        } else {
            x += car.avance + table.crenage(c, texte[i + 1].unicode());
        }
    }
    return ligne;
}
