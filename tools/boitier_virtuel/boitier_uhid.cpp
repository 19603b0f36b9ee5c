// Talks to the kernel's uhid driver: one event structure written or read at a time.
#include "boitier_uhid.h"

#include <linux/uhid.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iterator>
#include <unistd.h>

namespace {

bool ecrit_evenement(int fd, const uhid_event& e) {
    const ssize_t n = ::write(fd, &e, sizeof e);
    return n == static_cast<ssize_t>(sizeof e);
}

} // namespace

Tboitier_uhid::Tboitier_uhid(std::uint8_t numero) : numero_(numero) {
    fd_ = ::open("/dev/uhid", O_RDWR | O_CLOEXEC | O_NONBLOCK);
    if (fd_ >= 0) return;
    // Taken at once: building the message allocates, which may change errno.
    const int e = errno;
    erreur_ = std::string("Impossible d'ouvrir /dev/uhid : ") + std::strerror(e) +
              (e == EACCES ? " (il faut le droit d'écrire sur /dev/uhid)" : "") +
              (e == ENOENT ? " (module uhid non chargé : sudo modprobe uhid)" : "");
}

Tboitier_uhid::~Tboitier_uhid() {
    if (branche_) debranche_le();
    if (fd_ >= 0) ::close(fd_);
}

std::vector<std::uint8_t> Tboitier_uhid::descripteur_rapports(std::uint8_t numero) {
    static constexpr std::uint8_t tete[] = {
        0x06, 0x00, 0xFF, // usage page: vendor
        0x09, 0x01,       // usage 1
        0xA1, 0x01,       // application collection
    };
    static constexpr std::uint8_t corps[] = {
        0x15, 0x00,             // logical minimum 0
        0x26, 0xFF, 0x00,       // logical maximum 255
        0x75, 0x08,             // 8 bits
        0x95, 0x40,             // 64 of them
        0x09, 0x01, 0x81, 0x02, // input: data, variable, absolute
        0x95, 0x40,             // 64 of them
        0x09, 0x01, 0x91, 0x02, // output: data, variable, absolute
        0xC0,                   // end of the collection
    };
    // Put together in place: GCC 12 at -O3 takes vector inserts of constant lists here
    // for overflows and fails the build.
    std::vector<std::uint8_t> d(std::begin(tete), std::end(tete));
    d.reserve(sizeof tete + 2 + sizeof corps);
    if (numero != 0) { // report ID
        d.push_back(0x85);
        d.push_back(numero);
    }
    for (const std::uint8_t o : corps)
        d.push_back(o);
    return d;
}

bool Tboitier_uhid::branche_le() {
    if (fd_ < 0 || branche_) return false;
    uhid_event e{};
    e.type = UHID_CREATE2;
    auto& c = e.u.create2;
    std::strncpy(reinterpret_cast<char*>(c.name), "VELMORA boitier virtuel", sizeof c.name - 1);
    std::strncpy(reinterpret_cast<char*>(c.phys), "boitier_virtuel", sizeof c.phys - 1);
    const auto d = descripteur_rapports(numero_);
    std::memcpy(c.rd_data, d.data(), d.size());
    c.rd_size = static_cast<std::uint16_t>(d.size());
    c.bus = 0x03; // USB
    c.vendor = 0x04D8;
    c.product = 0x0000;
    branche_ = ecrit_evenement(fd_, e);
    return branche_;
}

bool Tboitier_uhid::debranche_le() {
    if (fd_ < 0 || !branche_) return false;
    uhid_event e{};
    e.type = UHID_DESTROY;
    branche_ = false;
    return ecrit_evenement(fd_, e);
}

bool Tboitier_uhid::envoie(std::uint8_t code) {
    if (fd_ < 0 || !branche_) return false;
    uhid_event e{};
    e.type = UHID_INPUT2;
    auto& r = e.u.input2;
    std::size_t i = 0;
    if (numero_ != 0) r.data[i++] = numero_;
    r.data[i] = code;
    r.size = static_cast<std::uint16_t>(taille_rapport + (numero_ != 0 ? 1 : 0));
    return ecrit_evenement(fd_, e);
}

std::vector<Tevenement_boitier> Tboitier_uhid::lit_evenements() {
    std::vector<Tevenement_boitier> evenements;
    if (fd_ < 0) return evenements;
    for (;;) {
        uhid_event e{};
        const ssize_t n = ::read(fd_, &e, sizeof e);
        if (n <= 0) break;
        Tevenement_boitier ev;
        switch (e.type) {
        case UHID_OPEN:
            ev.sorte = Tevenement_boitier::ouvert;
            break;
        case UHID_CLOSE:
            ev.sorte = Tevenement_boitier::ferme;
            break;
        case UHID_OUTPUT:
            ev.sorte = Tevenement_boitier::sortie;
            ev.octets.assign(e.u.output.data,
                             e.u.output.data +
                                 std::min<std::size_t>(e.u.output.size, sizeof e.u.output.data));
            break;
        case UHID_GET_REPORT: {
            // The box has no report to give on request: say so, or the asker waits.
            uhid_event r{};
            r.type = UHID_GET_REPORT_REPLY;
            r.u.get_report_reply.id = e.u.get_report.id;
            r.u.get_report_reply.err = EIO;
            ecrit_evenement(fd_, r);
            break;
        }
        case UHID_SET_REPORT: {
            uhid_event r{};
            r.type = UHID_SET_REPORT_REPLY;
            r.u.set_report_reply.id = e.u.set_report.id;
            r.u.set_report_reply.err = EIO;
            ecrit_evenement(fd_, r);
            break;
        }
        default:
            break;
        }
        evenements.push_back(std::move(ev));
    }
    return evenements;
}
