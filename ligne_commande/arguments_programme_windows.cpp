// Windows hands main() its arguments in the system's code page: they are read again from the
// command line's UTF-16 text.
#include "arguments_programme.h"
#include "texte_windows.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>

std::string utf8_depuis_large(const wchar_t* texte) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, texte, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return {};
    std::string s(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, texte, -1, s.data(), n, nullptr, nullptr);
    s.resize(static_cast<std::size_t>(n - 1));
    return s;
}

std::wstring large_depuis_utf8(const std::string& texte) {
    const int taille = static_cast<int>(texte.size());
    const int n = MultiByteToWideChar(CP_UTF8, 0, texte.data(), taille, nullptr, 0);
    std::wstring w(static_cast<std::size_t>(std::max(n, 0)), L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, texte.data(), taille, w.data(), n);
    return w;
}

std::vector<std::string> arguments_programme(int, char**) {
    int n = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &n);
    std::vector<std::string> r;
    for (int i = 1; arguments && i < n; ++i)
        r.push_back(utf8_depuis_large(arguments[i]));
    LocalFree(arguments);
    return r;
}

void prepare_console() {
    SetConsoleOutputCP(CP_UTF8);
}
