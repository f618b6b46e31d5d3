// Data-value timings: reading float and double literals (short ones on the
// one-operation path, long ones through exact arithmetic), and decoding class
// names into key values the way the kernel walks a vocabulary (mostly plain
// IRIs, which must be rejected before anything is allocated). Prints one line
// per measurement.
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "core/data/data_values.h"

namespace {

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void report(const char* what, double ms, std::size_t items) {
  std::printf("%-48s %10.1f ms  %8.1f ns/item  (%zu items)\n", what, ms, ms * 1e6 / static_cast<double>(items), items);
}

std::vector<std::string> literal_texts(std::mt19937& rng, int max_digits, int max_exponent, std::size_t n) {
  std::vector<std::string> out;
  out.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    std::string text;
    const int digits = 1 + static_cast<int>(rng() % static_cast<unsigned>(max_digits));
    for (int d = 0; d < digits; ++d) {
      if (d == digits / 2) text += '.';
      text += static_cast<char>('0' + rng() % 10);
    }
    text += 'e' + std::to_string(static_cast<int>(rng() % static_cast<unsigned>(2 * max_exponent + 1)) - max_exponent);
    out.push_back(std::move(text));
  }
  return out;
}

template <class Parse>
void bench_literals(const char* what, const std::vector<std::string>& texts, Parse parse) {
  const auto t = Clock::now();
  std::size_t read = 0;
  for (const auto& text : texts) read += parse(text).has_value();
  report(what, ms_since(t), texts.size());
  if (read == 0) std::printf("unexpected: nothing read\n");
}

void bench_key_decoding() {
  constexpr std::size_t kNames = 1000000;
  std::vector<std::string> names;
  names.reserve(kNames);
  std::mt19937 rng(7);
  for (std::size_t i = 0; names.size() < kNames; ++i) {
    const auto v = static_cast<std::int64_t>(rng() % 100000);
    switch (i % 10) {
      case 0: names.push_back(kelmon::encode_int_interval_key({v, v + 10})); break;
      case 1: names.push_back(kelmon::encode_str_key(kelmon::StringSet{"value" + std::to_string(v)})); break;
      case 2: names.push_back(kelmon::encode_decimal_range_key({kelmon::parse_xsd_decimal(std::to_string(v) + ".25"),
                                                                std::nullopt, true, false}));
        break;
      case 3: names.push_back(kelmon::encode_float_set_key(kelmon::double_set_kind, {static_cast<double>(v), 1e9}));
        break;
      default: names.push_back("http://example.org/onto#Class" + std::to_string(i)); break;
    }
  }
  const auto t = Clock::now();
  std::size_t decoded = 0;
  for (const auto& name : names) decoded += kelmon::decode_dkey_value(name).has_value();
  report("decode_dkey_value: 1e6 names, 40% keys", ms_since(t), kNames);
  std::printf("%-48s %10zu decoded\n", "key values", decoded);
}

}  // namespace

int main() {
  std::mt19937 rng(42);
  const auto short_texts = literal_texts(rng, 7, 10, 1000000);
  const auto long_texts = literal_texts(rng, 30, 300, 200000);
  bench_literals("parse_xsd_float: 1e6 short literals", short_texts, kelmon::parse_xsd_float);
  bench_literals("parse_xsd_double: 1e6 short literals", short_texts, kelmon::parse_xsd_double);
  bench_literals("parse_xsd_double: 2e5 long literals", long_texts, kelmon::parse_xsd_double);
  bench_literals("parse_xsd_decimal: 1e6 short texts (no exponent)", short_texts, [](const std::string& t) {
    return kelmon::parse_xsd_decimal(std::string_view(t).substr(0, t.find('e')));
  });
  bench_key_decoding();
  return 0;
}
