#include "Extended.h"

#include "Error.h"

#include <cmath>

double store(Extended value)
{
    if (std::isnan(value))
        RaiseInvalidOperation();
    const double stored = static_cast<double>(value);
    if (std::isinf(stored))
        RaiseOverflow();
    return stored;
}

Extended divide(Extended a, Extended b)
{
    if (b == 0) {
        if (a == 0 || std::isnan(a))
            RaiseInvalidOperation();
        RaiseDivisionByZero();
    }
    return a / b;
}

Extended Power10(unsigned n)
{
    Extended result = 1;
    Extended base = 10;
    while (n != 0) {
        if (n & 1u)
            result *= base;
        n >>= 1;
        if (n != 0)
            base *= base;
    }
    return result;
}
