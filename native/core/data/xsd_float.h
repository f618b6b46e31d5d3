// The float lexical rule: xsd:float and xsd:double literals, read exactly.
#pragma once

#include <optional>
#include <string_view>

namespace kelmon {

// Optional sign, digits with an optional point and an optional exponent, at
// least one digit before the exponent; no spaces, no inf/nan words. The value
// is rounded once, to nearest with ties to even, straight from the decimal
// text to the target format (never through a wider format): a tiny magnitude
// becomes a subnormal or a zero of its sign, and a value that rounds to
// infinity gives none. Only finite values are read.
std::optional<float> parse_xsd_float(std::string_view text);
std::optional<double> parse_xsd_double(std::string_view text);

}  // namespace kelmon
