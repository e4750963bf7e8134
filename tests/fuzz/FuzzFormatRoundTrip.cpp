// Any double: its result text reads back, through ParseDecimal, as the value to 15
// significant digits, and formatting that value again gives the same text.
#include "Error.h"
#include "Numbers.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < sizeof(double))
        return 0;
    double x;
    std::memcpy(&x, data, sizeof x);
    if (!std::isfinite(x))
        return 0;

    const QString text = FormatNumber(x);
    Extended read;
    try {
        read = ParseDecimal(text);
    } catch (const Error&) {
        std::abort(); // every result text must read back
    }
    // The largest doubles round up, at 15 digits, past the double range ("1.79769313486232E308").
    if (std::fabs(read) > std::numeric_limits<double>::max())
        return 0;
    const double back = store(read);
    // 15 significant digits: within half a unit of the 15th digit, plus the error of reading
    // the text back into a double (a few units in the last place).
    const double ulp = std::nextafter(std::fabs(x), std::numeric_limits<double>::infinity()) - std::fabs(x);
    const double tolerance = std::fabs(x) * 5e-15 + 4 * ulp;
    if (std::fabs(back - x) > tolerance && !(std::fabs(x) < 1e-300))
        std::abort();
    if (FormatNumber(back) != text && !(std::fabs(x) < 1e-300))
        std::abort();
    return 0;
}
