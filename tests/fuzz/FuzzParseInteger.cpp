// Any text: a 32-bit integer or the conversion error. A decimal text that strtoll reads
// whole and in range must give the same value.
#include "Error.h"
#include "FuzzText.h"
#include "Numbers.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = FuzzText(data, size);
    bool ok = true;
    std::int32_t value = 0;
    try {
        value = ParseInteger(text);
    } catch (const Error& error) {
        if (!error.message().endsWith(QStringLiteral("' is not a valid integer value")))
            std::abort();
        ok = false;
    }

    const std::string ascii = text.toStdString();
    bool decimal = !ascii.empty();
    for (std::size_t i = 0; i < ascii.size(); ++i) {
        const char c = ascii[i];
        if (!((c >= '0' && c <= '9') || (i == 0 && (c == '-' || c == '+'))))
            decimal = false;
    }
    if (decimal && ascii.size() < 40) {
        errno = 0;
        char* end = nullptr;
        const long long expected = std::strtoll(ascii.c_str(), &end, 10);
        const bool whole = end != ascii.c_str() && *end == '\0' && errno == 0
                           && (ascii.size() > 1 || (ascii[0] != '-' && ascii[0] != '+'));
        const bool inRange = expected >= INT32_MIN && expected <= INT32_MAX;
        if (whole && inRange && (!ok || value != expected))
            std::abort();
        if (ok && !(whole && inRange))
            std::abort();
    }
    return 0;
}
