#include "compteur_rallye.h"

#include <windows.h>

namespace {

using Tlit_temps_interruptions = VOID(WINAPI*)(PULONGLONG);

// Windows 10's precise interrupt time, where the system has it; Wine 8 and older systems
// do not, and the whole program must still load there.
Tlit_temps_interruptions temps_interruptions_precis() {
    static const auto f = [] {
        HMODULE m = GetModuleHandleW(L"kernelbase.dll");
        return m ? reinterpret_cast<Tlit_temps_interruptions>(
                       reinterpret_cast<void*>(GetProcAddress(m, "QueryInterruptTimePrecise")))
                 : nullptr;
    }();
    return f;
}

} // namespace

std::int64_t compteur_rallye_ms() {
    // The interrupt time and the tick count both go on through sleep and hibernation (the
    // "unbiased" ones are those that leave it out), and neither follows a setting of the
    // system's clock. The tick count's steps of about 16 ms are well inside a tenth.
    if (const auto f = temps_interruptions_precis()) {
        ULONGLONG cent_ns = 0;
        f(&cent_ns);
        return static_cast<std::int64_t>(cent_ns / 10'000);
    }
    return static_cast<std::int64_t>(GetTickCount64());
}
