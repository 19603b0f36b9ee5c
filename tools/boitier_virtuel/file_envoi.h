#pragma once
// What the box still has to send, in order. A batch of revolutions is held as a count
// of revolutions owed, whatever its size; keys are held one by one, as typed.

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

class Tfile_envoi {
public:
    static constexpr std::uint8_t code_tour = 48;

    void ajoute_tours(long n);
    void ajoute_touches(const std::vector<std::uint8_t>& codes);
    bool vide() const { return lots_.empty(); }
    // Entries held, whatever they are owed.
    std::size_t taille() const { return lots_.size(); }
    // Takes the next report's code. `fin_de_lot` is the line to print once it is sent:
    // empty but for the last of a batch. Only when not empty.
    std::uint8_t prend(std::string& fin_de_lot);
    // Forgets everything held (a box pulled out is off); gives the revolutions it owed.
    long oublie();

private:
    struct Tlot {
        std::uint8_t code;
        long restants;
        std::string fin_de_lot;
    };
    std::deque<Tlot> lots_;
};
