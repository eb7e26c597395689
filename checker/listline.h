#pragma once
// Builds a line the way a list-directed output record is formed: a leading blank, one blank
// between items except between two adjacent texts, integers right-aligned in 11 columns and
// single-precision reals with nine significant digits in fixed or exponent form.

#include <cstdint>
#include <string>

namespace comprova {

class ListLine {
public:
    ListLine &text(const std::string &item);
    ListLine &integer(std::int32_t item);
    ListLine &real(float item);
    // The line blank-filled (or cut) to `width` characters.
    std::string padded(std::size_t width) const;
    const std::string &str() const { return line; }

private:
    void separate();
    std::string line = " ";
    bool first = true;
    bool afterText = false;
};

// One real item: 16 columns; the fixed form is followed by four blanks (where the exponent
// would stand), the exponent form is a mantissa with eight decimals, E, sign and two digits.
std::string formatReal(float value);
// One integer item: right-aligned in 11 columns.
std::string formatInteger(std::int32_t value);

} // namespace comprova
