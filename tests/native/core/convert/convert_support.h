// Helpers for conversion tests: functional-syntax fixtures and readable IR.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "core/convert/convert.h"
#include "owl/functional_reader.h"

namespace kelmon::testing {

inline std::string ofn(const std::string& body) {
  return "Prefix(:=<http://x/>)\nPrefix(owl:=<http://www.w3.org/2002/07/owl#>)\n"
         "Prefix(xsd:=<http://www.w3.org/2001/XMLSchema#>)\nOntology(<http://x/o>\n" +
         body + "\n)";
}

inline owl::LoadedOntology load_ofn(const std::string& body) {
  auto loaded = owl::read_functional(ofn(body));
  if (!loaded) {
    ADD_FAILURE() << loaded.error().to_string();
    return {};
  }
  return std::move(*loaded);
}

inline InternalOntology convert_ofn(const std::string& body) { return convert_ontology(load_ofn(body).axioms); }

inline ClassId class_id(const InternalOntology& o, std::string_view local) {
  auto e = o.vocabulary.classes.get("http://x/" + std::string(local));
  EXPECT_TRUE(e.has_value()) << local;
  return e ? e->id : ClassId{~0u};
}
inline RoleId role_id(const InternalOntology& o, std::string_view local) {
  auto e = o.vocabulary.roles.get("http://x/" + std::string(local));
  EXPECT_TRUE(e.has_value()) << local;
  return e ? e->id : RoleId{~0u};
}
inline IndividualId individual(const InternalOntology& o, std::string_view name) {
  auto e = o.vocabulary.individuals.get(name);
  EXPECT_TRUE(e.has_value()) << name;
  return e ? e->id : IndividualId{~0u};
}

// The concept id of a concept that must already be in the pool (interning it
// again must not add anything).
inline ConceptId pooled(InternalOntology& o, Concept c) {
  size_t before = o.concepts.size();
  ConceptId id = o.concepts.intern(std::move(c));
  EXPECT_EQ(o.concepts.size(), before) << "concept was not in the pool";
  return id;
}

inline ConceptId atomic(InternalOntology& o, std::string_view local) { return pooled(o, Atomic{class_id(o, local)}); }

inline bool has_axiom(const InternalOntology& o, const Axiom& a) {
  for (const auto& x : o.axioms) {
    if (x == a) return true;
  }
  return false;
}

}  // namespace kelmon::testing
