// The box as a Windows program sees it, for the test that runs this program under Wine in
// a guest: the box that Linux's uhid driver makes, shown to Windows programs by Wine's HID
// bus, found and read by the Windows device layer, handled by the link and counted by the
// engine. Each time what the crew would see changes, one line: "vert total 001000" (ETAT
// USB, then TOTAL). "ferme" on standard input, or its end, closes it as the window closes.
#include "hid_reel.h"
#include "liaison_boitier.h"
#include "moteur.h"
#include "services_scriptes.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <iostream>
#include <mutex>
#include <thread>
#include <utility>

namespace {

// Where the library posts: a queue that the loop below empties, as the window's would.
class Tfile_avis : public IHidTarget {
public:
    void PostHidEvent(std::uint32_t wParam, std::uint32_t lParam) override {
        std::lock_guard v(m_);
        file_.emplace_back(wParam, lParam);
        cv_.notify_all();
    }
    bool prend(std::pair<std::uint32_t, std::uint32_t>& avis) {
        std::unique_lock v(m_);
        if (!cv_.wait_for(v, std::chrono::milliseconds(100), [&] { return !file_.empty(); }))
            return false;
        avis = file_.front();
        file_.pop_front();
        return true;
    }

private:
    std::mutex m_;
    std::condition_variable cv_;
    std::deque<std::pair<std::uint32_t, std::uint32_t>> file_;
};

std::string lit(const Tlabels_compteur& labels) {
    std::string t;
    for (auto i = labels.rbegin(); i != labels.rend(); ++i)
        t += (*i)->texte();
    return t;
}

} // namespace

int main() {
    Tservices_scriptes services;
    Tmoteur moteur(services);
    moteur.etat.dist_etal = 1000; // 540 revolutions a km, as the sample calibration
    moteur.etat.tours_etal = 540;
    Tfile_avis file;
    Thid_reel hid;
    Tliaison_boitier liaison(moteur, hid);
    liaison.demarrage_hid({}, &file);

    std::atomic<bool> fin{false};
    std::thread entree([&fin] {
        std::string ligne;
        while (std::getline(std::cin, ligne) && ligne != "ferme") {
        }
        fin = true;
    });
    std::string vu;
    while (!fin) {
        std::pair<std::uint32_t, std::uint32_t> avis;
        if (file.prend(avis))
            moteur.distribue([&] {
                liaison.gestion_evenement_usb(WM_HID_EVENT, avis.first, avis.second);
            });
        const std::string etat =
            std::string(moteur.etat.boitier_present ? "vert" : "rouge") + " total " +
            lit(moteur.labels_total);
        if (etat != vu) std::cout << etat << std::endl;
        vu = etat;
    }
    moteur.distribue([&] { liaison.fermeture(); });
    entree.join();
    for (const auto& m : services.messages)
        std::cout << "message : " << m << std::endl;
    std::cout << "fermé" << std::endl;
    return services.messages.empty() ? 0 : 1;
}
