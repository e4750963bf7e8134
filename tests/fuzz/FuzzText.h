#pragma once
// Fuzzer bytes as a field text: each byte one character, as single-byte field texts are,
// with a leading 0xFF byte switching to UTF-8 so that other alphabets are reached too.
#include <QString>
#include <cstddef>
#include <cstdint>

inline QString FuzzText(const std::uint8_t* data, std::size_t size)
{
    if (size > 0 && data[0] == 0xFF)
        return QString::fromUtf8(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    return QString::fromLatin1(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}
