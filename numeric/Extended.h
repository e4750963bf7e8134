#pragma once
// The arithmetic model of every calculation: a step is evaluated in the x87 80-bit
// extended format and its result is stored as a double before the next step uses it.
// Invalid operation, division by zero and overflow are errors, never values.

#include <cfloat>

static_assert(LDBL_MANT_DIG == 64,
              "long double must be the x87 80-bit extended format (64-bit significand)");

using Extended = long double;

// Stores an extended result as a double. NaN raises "Invalid floating point operation";
// a value beyond the double range raises "Floating point overflow". Underflow is silent.
double store(Extended value);

// a / b in extended precision. b == 0 raises "Floating point division by zero",
// or "Invalid floating point operation" when a is zero as well (0/0).
Extended divide(Extended a, Extended b);

// 10 to the power n in extended precision by repeated squaring (exact up to n = 27).
// Yields infinity for powers beyond the extended range; callers check.
Extended Power10(unsigned n);
