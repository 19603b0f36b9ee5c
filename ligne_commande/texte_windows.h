#pragma once
// Windows speaks UTF-16 and the program UTF-8: the conversions, for the arguments and for
// the device paths that Windows hands over. Only Windows' own files include this.

#include <string>

std::string utf8_depuis_large(const wchar_t* texte);
std::wstring large_depuis_utf8(const std::string& texte);
