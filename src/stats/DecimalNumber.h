#pragma once

#include <optional>
#include <string_view>

// Router values as routers write them, read the same way whatever the user's locale: blanks
// around, an optional sign, digits with an optional fraction, an optional exponent. Anything else
// (words, "inf", "nan", commas, hex) and numbers beyond what a Single holds give nothing.
std::optional<float> readDecimal(std::string_view text);
