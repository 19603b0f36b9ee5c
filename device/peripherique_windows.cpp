// Reads are overlapped so that one waits at most its delay; a read that has not ended stays
// posted for the next call, so no report is lost between two. The class driver gives each
// input report whole, identifier first (0 where the device does not number them), and takes
// each output report at its full length: both as the link speaks them. hidapi's own opening
// asks the driver for more than Wine's HID stack answers, and the box is never read there.
#include "peripherique_windows.h"

#include "texte_windows.h"

#include <windows.h>

// MinGW's HID headers declare C functions without saying so.
extern "C" {
#include <hidsdi.h> // brings hidusage.h and hidpi.h, in that order
}

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Reports the driver keeps for a handle while the reader is busy: Windows' largest.
constexpr ULONG rapports_gardes = 512;

class Tperipherique_windows : public Iperipherique_ouvert {
public:
    Tperipherique_windows(HANDLE h, USHORT entree, USHORT sortie)
        : h_(h), evenement_(CreateEventW(nullptr, TRUE, FALSE, nullptr)), tampon_(entree),
          sortie_(sortie) {}
    ~Tperipherique_windows() override {
        // CancelIo would cancel only the calling thread's reads: a close from another thread
        // would then wait on a silent box for ever.
        if (en_cours_) {
            CancelIoEx(h_, &lecture_);
            DWORD n = 0;
            GetOverlappedResult(h_, &lecture_, &n, TRUE);
        }
        CloseHandle(h_);
        if (evenement_) CloseHandle(evenement_);
    }
    Tperipherique_windows(const Tperipherique_windows&) = delete;
    Tperipherique_windows& operator=(const Tperipherique_windows&) = delete;

    int lit(std::uint8_t* tampon, std::size_t longueur, int delai_ms) override {
        if (!evenement_ || tampon_.empty()) return -1;
        if (!en_cours_) {
            lecture_ = OVERLAPPED{};
            lecture_.hEvent = evenement_;
            ResetEvent(evenement_);
            if (!ReadFile(h_, tampon_.data(), static_cast<DWORD>(tampon_.size()), nullptr,
                          &lecture_) &&
                GetLastError() != ERROR_IO_PENDING)
                return -1;
            en_cours_ = true;
        }
        if (WaitForSingleObject(evenement_, static_cast<DWORD>(std::max(delai_ms, 0))) !=
            WAIT_OBJECT_0)
            return 0;
        en_cours_ = false;
        DWORD n = 0;
        if (!GetOverlappedResult(h_, &lecture_, &n, FALSE)) return -1;
        const std::size_t copie = std::min<std::size_t>(n, longueur);
        std::memcpy(tampon, tampon_.data(), copie);
        return static_cast<int>(copie);
    }

    int ecrit(const std::uint8_t* octets, std::size_t longueur) override {
        std::vector<std::uint8_t> rapport(std::max<std::size_t>(sortie_, longueur), 0);
        std::copy(octets, octets + longueur, rapport.begin());
        OVERLAPPED ecriture{};
        ecriture.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        if (!ecriture.hEvent) return -1;
        DWORD n = 0;
        bool fait =
            WriteFile(h_, rapport.data(), static_cast<DWORD>(rapport.size()), nullptr, &ecriture) ||
            GetLastError() == ERROR_IO_PENDING;
        // A box that takes no report within a second is gone or stuck: never wait longer.
        if (fait && WaitForSingleObject(ecriture.hEvent, 1000) != WAIT_OBJECT_0) {
            CancelIoEx(h_, &ecriture);
            fait = false;
        }
        fait = GetOverlappedResult(h_, &ecriture, &n, TRUE) && fait;
        CloseHandle(ecriture.hEvent);
        return fait ? static_cast<int>(longueur) : -1;
    }

private:
    HANDLE h_;
    HANDLE evenement_;
    OVERLAPPED lecture_{};
    bool en_cours_ = false;
    std::vector<std::uint8_t> tampon_; // one input report at its full length
    USHORT sortie_;
};

} // namespace

std::unique_ptr<Iperipherique_ouvert> ouvre_peripherique_windows(const std::string& chemin,
                                                                 Trefus_ouverture& refus) {
    const std::wstring nom = large_depuis_utf8(chemin);
    HANDLE h =
        CreateFileW(nom.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    refus = Trefus_ouverture::autre;
    if (h == INVALID_HANDLE_VALUE) {
        if (GetLastError() == ERROR_SHARING_VIOLATION) refus = Trefus_ouverture::occupe;
        return nullptr;
    }
    PHIDP_PREPARSED_DATA donnees = nullptr;
    HIDP_CAPS caps{};
    const bool lu =
        HidD_GetPreparsedData(h, &donnees) && HidP_GetCaps(donnees, &caps) == HIDP_STATUS_SUCCESS;
    if (donnees) HidD_FreePreparsedData(donnees);
    if (!lu || caps.InputReportByteLength == 0) {
        CloseHandle(h);
        return nullptr;
    }
    HidD_SetNumInputBuffers(h, rapports_gardes); // where refused, the driver's own count stays
    refus = Trefus_ouverture::aucun;
    return std::make_unique<Tperipherique_windows>(h, caps.InputReportByteLength,
                                                   caps.OutputReportByteLength);
}
