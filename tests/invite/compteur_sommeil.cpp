// Run in the guest: the rally clock's counter across a real suspend of the kernel (S3, woken by
// the RTC's alarm). The sleep must be in the counter, as it is not in CLOCK_MONOTONIC. Virtio's
// file systems do not come back from S3, so the verdict goes to the console and the guest is
// powered off from memory, without a file.
#include "compteur_rallye.h"

#include <cstdio>
#include <cstring>
#include <ctime>

#include <fcntl.h>
#include <sys/reboot.h>
#include <unistd.h>

namespace {

std::int64_t monotone_ms() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return std::int64_t{t.tv_sec} * 1000 + t.tv_nsec / 1'000'000;
}

bool ecrit(const char* chemin, const char* texte) {
    const int f = open(chemin, O_WRONLY);
    if (f < 0) return false;
    const auto n = static_cast<ssize_t>(std::strlen(texte));
    const bool bon = write(f, texte, static_cast<std::size_t>(n)) == n;
    return close(f) == 0 && bon;
}

constexpr int sommeil_s = 6;

} // namespace

int main() {
    ecrit("/sys/class/rtc/rtc0/wakealarm", "0");
    if (!ecrit("/sys/class/rtc/rtc0/wakealarm", "+6")) {
        std::printf("compteur : l'alarme du RTC ne se règle pas\n");
        return 1;
    }
    const std::int64_t c0 = compteur_rallye_ms(), m0 = monotone_ms();
    const bool endormi = ecrit("/sys/power/state", "mem");
    const std::int64_t c1 = compteur_rallye_ms(), m1 = monotone_ms();
    std::printf("compteur : +%lld ms, CLOCK_MONOTONIC : +%lld ms\n",
                static_cast<long long>(c1 - c0), static_cast<long long>(m1 - m0));
    if (!endormi)
        std::printf("compteur : le noyau n'a pas voulu dormir\n");
    else if ((c1 - c0) - (m1 - m0) >= (sommeil_s - 2) * 1000)
        std::printf("compteur : sommeil compté\n");
    else
        std::printf("compteur : SOMMEIL PERDU\n");
    std::fflush(stdout);
    reboot(RB_POWER_OFF);
    return 1;
}
