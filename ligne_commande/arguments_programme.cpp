#include "arguments_programme.h"

#ifdef _WIN32
#include <windows.h>

#include <shellapi.h>

namespace {

std::string utf8(const wchar_t* w) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, w, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return {};
    std::string s(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w, -1, s.data(), n, nullptr, nullptr);
    s.resize(static_cast<std::size_t>(n - 1));
    return s;
}

} // namespace

std::vector<std::string> arguments_programme(int, char**) {
    int n = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &n);
    std::vector<std::string> r;
    for (int i = 1; arguments && i < n; ++i)
        r.push_back(utf8(arguments[i]));
    LocalFree(arguments);
    return r;
}

void prepare_console() {
    SetConsoleOutputCP(CP_UTF8);
}

#else

std::vector<std::string> arguments_programme(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void prepare_console() {}

#endif
