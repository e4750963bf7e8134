// Writes the rows of the reference table as SQL inserts, every value to the last bit: a table
// rounded to a few decimals disagrees with itself, and a dilution computed from it drifts from
// volume × strength ÷ required strength.

#include "AlcoholTable.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

namespace {

// The engine reads a decimal literal of 17 digits through a scaled integer and may land one
// unit in the last place away. A double is an integer of at most 53 bits over a power of two,
// and the engine converts both exactly and divides exactly, so the value is written that way.
bool ExactLiteral(double value, std::string& literal)
{
    if (!std::isfinite(value))
        return false;
    int exponent = 0;
    const double fraction = std::frexp(value, &exponent);
    auto mantissa = static_cast<std::int64_t>(std::ldexp(fraction, 53));
    int shift = 53 - exponent;
    while (shift > 0 && mantissa % 2 == 0) {
        mantissa /= 2;
        --shift;
    }
    if (mantissa == 0 || shift <= 0) {
        if (std::ldexp(static_cast<double>(mantissa), -shift) != value || std::fabs(value) > 9.0e15)
            return false;
        literal = "cast(" + std::to_string(static_cast<std::int64_t>(value)) + " as double precision)";
        return true;
    }
    if (shift > 62)
        return false;
    literal = "cast(" + std::to_string(mantissa) + " as double precision) / "
              + std::to_string(std::int64_t{1} << shift);
    return std::ldexp(static_cast<double>(mantissa), -shift) == value;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.sql\n", argv[0]);
        return 2;
    }
    std::FILE* out = std::fopen(argv[1], "w");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    for (const AlcoholRow& row : AlcoholTable()) {
        std::string byVolume;
        std::string byMass;
        std::string density;
        if (!ExactLiteral(row.byVolume, byVolume) || !ExactLiteral(row.byMass, byMass)
            || !ExactLiteral(row.density, density)) {
            std::fprintf(stderr, "%s: no exact literal for the row at %.17g %% vol\n", argv[0], row.byVolume);
            std::fclose(out);
            return 1;
        }
        std::fprintf(out, "insert into alc (p_ob, p_mas, pl) values (%s, %s, %s);\n", byVolume.c_str(),
                     byMass.c_str(), density.c_str());
        std::fprintf(out, "-- %.17g %% vol: %.17g %% mass, %.17g g/ml\n", row.byVolume, row.byMass, row.density);
    }
    std::fprintf(out, "commit;\n");
    if (std::fclose(out) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
