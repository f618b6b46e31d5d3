// Small knowledge bases for the tableau tests: functional-syntax text is
// converted, put into negation normal form and absorbed, and a context is
// seeded the way the reasoning kernel seeds it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/ir.h"
#include "tableau/completion/tableau.h"

namespace kelmon::completion::testing {

class Kb {
 public:
  explicit Kb(const std::string& ofn_body);
  // An ontology built by hand through the IR.
  explicit Kb(InternalOntology ontology);

  ClassId class_id(std::string_view local) const;
  RoleId role_id(std::string_view local) const;
  IndividualId individual(std::string_view local) const;
  ConceptId atom(std::string_view local) { return pool.intern(Atomic{class_id(local)}); }

  // A context over a copy of the pool, with roles, complements, data ranges and
  // the individuals seeded; no test node yet.
  std::unique_ptr<TableauContext> context(bool anywhere);
  // The context with a test node labelled with the concept; the node is 0 when
  // the knowledge base has no individuals.
  std::unique_ptr<TableauContext> context_for(ConceptId test, bool anywhere);
  // Search outcome of the named class, depth 1000.
  SearchOutcome::Tag satisfiable(std::string_view local, bool anywhere);

  InternalOntology ir;
  ConceptPool pool;  // ir's pool plus what absorption interned
  AbsorbedTbox tbox;
  RoleHierarchy hierarchy;
  std::uint8_t profile = 5;

 private:
  void prepare();
};

// The functional-syntax document around a body of axioms, prefix ":" = http://x/.
std::string ofn_document(const std::string& body);

}  // namespace kelmon::completion::testing
