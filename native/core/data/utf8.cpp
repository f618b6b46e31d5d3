#include "core/data/internal/utf8.h"

namespace kelmon {

bool is_valid_utf8(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = p + bytes.size();
  while (p < end) {
    const unsigned char b = *p;
    if (b < 0x80) {
      ++p;
      continue;
    }
    int extra = 0;
    unsigned char low = 0x80, high = 0xbf;  // allowed range of the second byte
    if (b >= 0xc2 && b <= 0xdf) extra = 1;
    else if (b == 0xe0) extra = 2, low = 0xa0;
    else if ((b >= 0xe1 && b <= 0xec) || b == 0xee || b == 0xef) extra = 2;
    else if (b == 0xed) extra = 2, high = 0x9f;
    else if (b == 0xf0) extra = 3, low = 0x90;
    else if (b >= 0xf1 && b <= 0xf3) extra = 3;
    else if (b == 0xf4) extra = 3, high = 0x8f;
    else return false;
    if (end - p <= extra) return false;
    if (p[1] < low || p[1] > high) return false;
    for (int i = 2; i <= extra; ++i)
      if (p[i] < 0x80 || p[i] > 0xbf) return false;
    p += extra + 1;
  }
  return true;
}

}  // namespace kelmon
