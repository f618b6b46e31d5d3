// Helpers for the key pass tests: key classes named by their payload, and the
// pass's output rendered with the "urn:kelmon-dkey:" prefix left out.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "core/dkeys/dkey_pass.h"
#include "core/ir_fixture.h"

namespace kelmon::testing {

inline std::string key_iri(const std::string& payload) { return "urn:kelmon-dkey:" + payload; }

struct KeyPassFixture : IrFixture {
  // The Atomic concept of the key class with this payload.
  ConceptId K(const std::string& payload) { return A(key_iri(payload)); }
  ClassId key_class(const std::string& payload) { return cid(key_iri(payload)); }

  // Runs the pass and returns what it appended, rendered and sorted.
  std::vector<std::string> run() {
    const std::size_t before = ir.axioms.size();
    emit_dkey_axioms(ir);
    std::vector<std::string> out;
    for (std::size_t i = before; i < ir.axioms.size(); ++i) {
      std::string text = render(ir, ir.axioms[i]);
      const std::string prefix = "urn:kelmon-dkey:";
      for (auto at = text.find(prefix); at != std::string::npos; at = text.find(prefix)) text.erase(at, prefix.size());
      out.push_back(std::move(text));
    }
    std::sort(out.begin(), out.end());
    return out;
  }
};

inline std::vector<std::string> sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

// Bit patterns of a few binary64 values, as keys write them.
inline const std::string kZero = "0";
inline const std::string kNegZero = "9223372036854775808";
inline const std::string kOne = "4607182418800017408";
inline const std::string kOneAndHalf = "4609434218613702656";
inline const std::string kTwo = "4611686018427387904";

}  // namespace kelmon::testing
