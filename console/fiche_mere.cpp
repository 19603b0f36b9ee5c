#include "fiche_mere.h"

#include "apparence.h"
#include "barre_ecart.h"
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

Tfiche_mere::Tfiche_mere(Iservices& services, cUSBInterface& hid, QWidget* parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::fiche_mere>()), moteur_(services),
      liaison_(moteur_, hid),
      crochet_([this](std::uint32_t message, std::uint32_t w, std::uint32_t l) {
          bool traite = false;
          evenement([&] { traite = liaison_.gestion_evenement_usb(message, w, l); });
          return traite;
      }) {
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

    Timer1_ = new QTimer(this);
    Timer1_->setObjectName("Timer1");
    Timer1_->setTimerType(Qt::PreciseTimer);
    Timer1_->setInterval(100);
    Timer2_ = new QTimer(this);
    Timer2_->setObjectName("Timer2");
    Timer2_->setTimerType(Qt::PreciseTimer);

    lie_controles();
    branche_evenements();
    Timer1_->start();

    // FormCreate: the HID steps, then the engine's.
    evenement([this] {
        cible_hid().attache(this);
        liaison_.demarrage_hid([this] { crochet_.installe(); }, &cible_hid());
        moteur_.demarrage();
    });
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
    for (QObject* o : findChildren<QObject*>())
        o->disconnect(this);
}

void Tfiche_mere::closeEvent(QCloseEvent* e) {
    evenement([this] { liaison_.fermeture(); });
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
    Tmoteur& m = moteur_;
    connect(Timer1_, &QTimer::timeout, this, [this] { evenement(&Tmoteur::Timer1Timer); });
    connect(Timer2_, &QTimer::timeout, this, [this] { evenement(&Tmoteur::Timer2Timer); });

    sur_clic(ui_->RAZ, &Tmoteur::RAZClick);
    sur_clic(ui_->raz_trip, &Tmoteur::raz_tripClick);
    sur_clic(ui_->valid_seuil, &Tmoteur::valid_seuilClick);
    sur_clic(ui_->valid_heure_zr, &Tmoteur::valid_heure_zrClick);
    sur_clic(ui_->plus_etal, &Tmoteur::plus_etalClick);
    sur_clic(ui_->moins_etal, &Tmoteur::moins_etalClick);
    sur_clic(ui_->choisir_rallye, &Tmoteur::choisir_rallyeClick);
    sur_clic(ui_->valid_offcet_cad, &Tmoteur::valid_offcet_cadClick);
    sur_clic(ui_->raz_offcet_cad, &Tmoteur::raz_offcet_cadClick);
    sur_clic(ui_->format1, &Tmoteur::format1Click);
    sur_clic(ui_->format2, &Tmoteur::format2Click);
    sur_clic(ui_->format3, &Tmoteur::format3Click);
    sur_clic(ui_->format4, &Tmoteur::format4Click);
    sur_clic(ui_->CheckBox1, &Tmoteur::CheckBox1Click);

    const std::pair<QAbstractButton*, void (Tmoteur::*)()> touches[] = {
        {ui_->Button1, &Tmoteur::Button1Click},   {ui_->Button2, &Tmoteur::Button2Click},
        {ui_->Button3, &Tmoteur::Button3Click},   {ui_->Button4, &Tmoteur::Button4Click},
        {ui_->Button5, &Tmoteur::Button5Click},   {ui_->Button6, &Tmoteur::Button6Click},
        {ui_->Button7, &Tmoteur::Button7Click},   {ui_->Button8, &Tmoteur::Button8Click},
        {ui_->Button9, &Tmoteur::Button9Click},   {ui_->Button10, &Tmoteur::Button10Click},
        {ui_->Button11, &Tmoteur::Button11Click}, {ui_->Button12, &Tmoteur::Button12Click},
        {ui_->Button13, &Tmoteur::Button13Click}, {ui_->Button14, &Tmoteur::Button14Click},
        {ui_->Button15, &Tmoteur::Button15Click}, {ui_->Button16, &Tmoteur::Button16Click},
    };
    for (const auto& [bouton, gestionnaire] : touches)
        sur_clic(bouton, gestionnaire);
    connect(ui_->Panel8, &Tpanneau::clique, this, [this] { evenement(&Tmoteur::Panel8Click); });

    // Any move of the scroll bar, by the crew or the program; the model runs ScrollBar1Change.
    connect(ui_->ScrollBar1, &QScrollBar::valueChanged, this,
            [this, &m](int v) { evenement([&m, v] { m.ScrollBar1.ecrit_position(v); }); });

    sur_choix(ui_->cb_num_etal, m.cb_num_etal, &Tmoteur::lire_donnee_etalonnage);
    sur_choix(ui_->ZONE, m.ZONE, &Tmoteur::choisir_la_zr);
}

void Tfiche_mere::sur_clic(QAbstractButton* w, void (Tmoteur::*gestionnaire)()) {
    connect(w, &QAbstractButton::clicked, this, [this, gestionnaire] { evenement(gestionnaire); });
}

void Tfiche_mere::sur_choix(QComboBox* w, Tmodele_champ& m, void (Tmoteur::*gestionnaire)()) {
    // Only the crew's own picks and keystrokes: the program's writes into the
    // model must not run the handler again.
    auto changement = [this, w, &m, gestionnaire] {
        evenement([this, w, &m, gestionnaire] {
            m.ecrit_texte(w->currentText().toStdString());
            (moteur_.*gestionnaire)();
        });
    };
    connect(w, &QComboBox::activated, this, changement);
    connect(w->lineEdit(), &QLineEdit::textEdited, this, changement);
}
