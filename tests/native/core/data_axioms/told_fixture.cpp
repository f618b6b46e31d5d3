#include "core/data_axioms/told_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/data_axioms/told_data_pass.h"
#include "owl/functional_reader.h"

namespace kelmon::testing {

owl::LoadedOntology read_body(const std::string& body) {
  const std::string text = "Prefix(:=<" + ns + ">)\nOntology(<http://x/o>\n" + body + "\n)\n";
  auto result = owl::read_functional(text);
  EXPECT_TRUE(result.has_value()) << (result ? "" : result.error().to_string()) << "\n" << text;
  return result ? std::move(*result) : owl::LoadedOntology{};
}

owl::AxiomSet reversed(const owl::AxiomSet& axioms) {
  owl::AxiomSet out;
  for (std::size_t i = axioms.size(); i-- > 0;) out.insert(axioms[i]);
  return out;
}

ToldIr::ToldIr(const std::vector<std::string>& classes) {
  for (const auto& c : classes) ir.vocabulary.classes.intern(iri(c));
  bottom = ir.concepts.intern(Bottom{});
  top = ir.concepts.intern(Top{});
}

namespace {

std::string concept_text(const InternalOntology& ir, ConceptId id) {
  const Concept& c = ir.concepts.get(id);
  if (std::holds_alternative<Top>(c)) return "Top";
  if (std::holds_alternative<Bottom>(c)) return "Bottom";
  if (const auto* a = std::get_if<Atomic>(&c)) {
    std::string name(ir.vocabulary.classes.name(a->cls));
    return name.starts_with(ns) ? name.substr(ns.size()) : name;
  }
  return "?";
}

}  // namespace

std::vector<std::string> rendered(const InternalOntology& ir, const std::vector<Axiom>& axioms) {
  std::vector<std::string> out;
  for (const auto& a : axioms) {
    const auto* sub = std::get_if<SubClassOf>(&a);
    out.push_back(sub ? concept_text(ir, sub->sub) + " < " + concept_text(ir, sub->sup) : "not a SubClassOf");
  }
  return out;
}

std::vector<std::string> rendered_sorted(const InternalOntology& ir, const std::vector<Axiom>& axioms) {
  auto out = rendered(ir, axioms);
  std::sort(out.begin(), out.end());
  return out;
}

std::vector<std::string> told_axioms(const std::string& body) {
  return told_axioms(body, {"A", "B", "C", "D", "E", "X", "Y", "Z", "S"});
}

std::vector<std::string> told_axioms(const std::string& body, const std::vector<std::string>& classes) {
  const auto loaded = read_body(body);
  ToldIr forward(classes);
  const auto out = rendered_sorted(forward.ir, derive_told_data_axioms(loaded.axioms, forward.ir, forward.top, forward.bottom));
  // Which axioms come back must not depend on the set's iteration order.
  ToldIr backward(classes);
  const auto back = rendered_sorted(
      backward.ir, derive_told_data_axioms(reversed(loaded.axioms), backward.ir, backward.top, backward.bottom));
  EXPECT_EQ(out, back) << "result depends on the iteration order";
  return out;
}

}  // namespace kelmon::testing
