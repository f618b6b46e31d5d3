// Small functional-syntax documents for the property services, with IRIs
// written and read back without the http://x/ prefix.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "owl/load.h"
#include "reasoner/properties/property_pairs.h"

namespace kelmon::reasoner::testing {

inline owl::LoadedOntology load_axioms(std::string_view axioms) {
  auto loaded = owl::parse_ontology_text(
      "Prefix(:=<http://x/>) Prefix(owl:=<http://www.w3.org/2002/07/owl#>) Ontology(<http://x/o> " +
          std::string(axioms) + ")",
      "ofn");
  EXPECT_TRUE(loaded) << loaded.error();
  return loaded ? std::move(*loaded) : owl::LoadedOntology{};
}

inline std::string short_name(std::string_view iri) {
  constexpr std::string_view kPrefix = "http://x/";
  if (iri.starts_with(kPrefix)) iri.remove_prefix(kPrefix.size());
  return std::string(iri);
}

// "a<b c<d" for the pairs (a, b), (c, d), in order.
inline std::string pair_text(const PropertyPairs& pairs, char sep = '<') {
  std::string out;
  for (const auto& [a, b] : pairs) {
    if (!out.empty()) out += ' ';
    out += short_name(a) + sep + short_name(b);
  }
  return out;
}

}  // namespace kelmon::reasoner::testing
