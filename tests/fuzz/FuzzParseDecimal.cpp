// Any text: a finite value or the conversion error, nothing else. Where the text is short
// enough for the accumulation to be exact (at most 19 digits, a power of ten of at most 27),
// the value must agree with the C library's correctly rounded strtold within one unit.
#include "Error.h"
#include "FuzzText.h"
#include "Numbers.h"

#include <cmath>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = FuzzText(data, size);
    Extended value;
    try {
        value = ParseDecimal(text);
    } catch (const Error& error) {
        if (!error.message().endsWith(QStringLiteral("' is not a valid floating point value")))
            std::abort();
        return 0;
    }
    if (!std::isfinite(value))
        std::abort();

    // A plain decimal of ASCII digits: compare with strtold.
    const std::string ascii = text.toStdString();
    int digits = 0;
    int fraction = 0;
    bool afterPoint = false;
    bool plain = !ascii.empty();
    bool significant = false;
    for (char c : ascii) {
        if (c >= '0' && c <= '9') {
            significant = significant || c != '0';
            if (significant)
                ++digits;
            if (afterPoint)
                ++fraction;
        } else if (c == '.' && !afterPoint) {
            afterPoint = true;
        } else {
            plain = false;
        }
    }
    if (plain && digits <= 19 && fraction <= 27 && ascii != ".") {
        const long double expected = std::strtold(ascii.c_str(), nullptr);
        if (value != expected && std::nextafter(value, expected) != expected)
            std::abort();
    }
    return 0;
}
