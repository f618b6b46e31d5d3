#pragma once
// What every benchmark program measures the same way: peak memory, and reading a file.
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "owl/document_source.h"

namespace kelmon::bench {

// Peak resident memory of this process so far, KiB.
inline long peak_rss_kb() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

// The whole file as the loader reads it; exits on failure (a benchmark has no use for an empty input).
inline std::string read_or_exit(const std::string& path) {
  auto text = owl::read_document_file(path);
  if (!text) {
    std::fprintf(stderr, "%s\n", text.error().c_str());
    std::exit(1);
  }
  return std::move(*text);
}

}  // namespace kelmon::bench
