// Well-formed UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
#pragma once

#include <string_view>

namespace kelmon {

bool is_valid_utf8(std::string_view bytes);

}  // namespace kelmon
