#include "fiche_mere.h"

#include "apparence.h"
#include "barre_ecart.h"
#include "commandes.h"
#include "echelle_fiche.h"
#include "image_jpeg.h"
#include "panneau.h"
#include "ui_fiche_mere.h"

#include <QCloseEvent>
#include <QFile>
#include <QPixmap>
#include <QTimer>

static void initialise_ressources() {
    Q_INIT_RESOURCE(console);
}

Tfiche_mere::Tfiche_mere(Iservices& services, cUSBInterface& hid, Tmode_fiche mode, QWidget* parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::fiche_mere>()), services_(services, nullptr),
      hid_(hid, nullptr), moteur_(services_), liaison_(moteur_, hid_), entree_(moteur_, liaison_),
      rejeu_(mode.rejeu), crochet_([this](std::uint32_t message, std::uint32_t w, std::uint32_t l) {
          return message == WM_HID_EVENT && evenement(Tevenement::hid(w, l));
      }) {
    if (mode.journal) {
        enregistreur_ = std::make_unique<Tenregistreur>(std::move(mode.journal), moteur_,
                                                        VELMORA_VERSION, mode.date_journal);
        services_.enregistreur = enregistreur_.get();
        hid_.enregistreur = enregistreur_.get();
        entree_.observateur = enregistreur_.get();
    }
    // The notifications go to this window, and the hook sees them first.
    entree_.installe_crochet = [this] {
        cible_hid().attache(this);
        crochet_.installe();
    };
    entree_.cible_hid = &cible_hid();
    ui_->setupUi(this);
    applique_hauteurs_police(this);
    // Typed text stays as typed: no completion from the lists.
    for (QComboBox* c : findChildren<QComboBox*>())
        c->setCompleter(nullptr);
    // Labels keep the place and size the form gives them. A fixed size also spares each
    // new text a layout request, which Qt would otherwise compare against every event
    // still queued: with a burst of wheel pulses queued that cost grew with the queue.
    for (QLabel* l : findChildren<QLabel*>())
        l->setFixedSize(l->size());
    montre_volant();
    cree_avant_depart();

    Timer1_ = new QTimer(this);
    Timer1_->setObjectName("Timer1");
    Timer1_->setTimerType(Qt::PreciseTimer);
    Timer1_->setInterval(100);
    Timer2_ = new QTimer(this);
    Timer2_->setObjectName("Timer2");
    Timer2_->setTimerType(Qt::PreciseTimer);

    cree_echelle();
    lie_controles();
    branche_evenements();
    if (rejeu_) return;
    Timer1_->start();

    // FormCreate: the HID steps, then the engine's.
    evenement(Tevenement::simple(Tgenre_evenement::demarrage));
}

Tcible_hid& Tfiche_mere::cible_hid() {
    static Tcible_hid cible;
    return cible;
}

Tfiche_mere::~Tfiche_mere() {
    // The widgets outlive the engine during destruction: nothing may reach it any more.
    Timer1_->stop();
    Timer2_->stop();
    cible_hid().attache(nullptr);
    crochet_.retire();
    fin_clavier_vers_l_heure();
    for (QObject* o : findChildren<QObject*>())
        o->disconnect(this);
}

void Tfiche_mere::closeEvent(QCloseEvent* e) {
    evenement(Tevenement::simple(Tgenre_evenement::fermeture));
    e->accept();
}

void Tfiche_mere::montre_volant() {
    initialise_ressources();
    QFile f(":/volant.jpg");
    if (!f.open(QIODevice::ReadOnly)) return;
    const QImage image = decode_jpeg(f.readAll());
    if (!image.isNull()) ui_->Image1->setPixmap(QPixmap::fromImage(image));
}

void Tfiche_mere::branche_evenements() {
    connect(Timer1_, &QTimer::timeout, this,
            [this] { evenement(Tevenement::simple(Tgenre_evenement::tic1)); });
    connect(Timer2_, &QTimer::timeout, this,
            [this] { evenement(Tevenement::simple(Tgenre_evenement::tic2)); });

    for (const Tclic& c : clics()) {
        const QString nom = QString::fromLatin1(c.nom.data(), static_cast<int>(c.nom.size()));
        // ENREGISTRER also saves the file once the engine has the pair in service.
        if (c.nom == "mesure_enregistrer") continue;
        const auto clic = [this, nom = std::string(c.nom)] { evenement(Tevenement::clic(nom)); };
        if (auto* bouton = findChild<QAbstractButton*>(nom))
            connect(bouton, &QAbstractButton::clicked, this, clic);
        else if (auto* panneau = findChild<Tpanneau*>(nom))
            connect(panneau, &Tpanneau::clique, this, clic);
    }

    // Any move of the scroll bar, by the crew or the program; the model runs ScrollBar1Change.
    connect(ui_->ScrollBar1, &QScrollBar::valueChanged, this,
            [this](int v) { evenement(Tevenement::defile(v)); });

    sur_choix(ui_->cb_num_etal);
    sur_choix(ui_->ZONE);
    branche_avant_depart();
}

void Tfiche_mere::sur_choix(QComboBox* w) {
    // Only the crew's own picks and keystrokes: the program's writes into the
    // model must not run the handler again.
    auto changement = [this, w, nom = w->objectName().toStdString()] {
        evenement(Tevenement::choix(nom, w->currentText().toStdString()));
    };
    connect(w, &QComboBox::activated, this, changement);
    connect(w->lineEdit(), &QLineEdit::textEdited, this, changement);
}
