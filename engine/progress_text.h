#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/language.h"

namespace pw {

// The clock behind the time per file: seconds, in steps of a few milliseconds, from an
// arbitrary start.
double clockSeconds();

// i / n × 100 rounded to a whole number, halves away from zero; 0 when n is 0.
int wholePercent(uint64_t i, uint64_t n);

// A count in decimal, for the line counter, made without an allocation: runs show one for
// every page.
class CountText {
  public:
    explicit CountText(uint64_t count);
    std::string_view view() const { return std::string_view(m_digits, m_size); }

  private:
    char m_digits[20];
    size_t m_size = 0;
};

// "i sur n", the record counter (the same word in both languages).
std::string recordText(uint64_t i, uint64_t n);

// The speed part of the time text: "s/fichier - Reste " or "s/file - Est. ".
std::string_view speedText(Language language);

// Which English words say that less than a minute remains; the yearbook has its own.
enum class RemainingWording { Standard, Yearbook };

// The time text after a file: `seconds` with two decimals, the speed text and the estimate
// for `remaining` more files at that pace, in whole minutes rounded down ("moins d'une
// minute" / "less than 1 minute left" when 0, else the minutes and " mn.").
std::string timeText(Language language, double seconds, uint64_t remaining,
                     RemainingWording wording = RemainingWording::Standard);

}  // namespace pw
