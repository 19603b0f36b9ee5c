#pragma once
// Input the time-table program refuses: the French text for the crew, on standard error.

#include <stdexcept>
#include <string>

class Tentree_refusee : public std::runtime_error {
public:
    explicit Tentree_refusee(const std::string& texte) : std::runtime_error(texte) {}
};
