// Collects the key pass's axioms. A step may find its pairs in any order; what
// must not change is the id a key class's Atomic concept receives when the
// pass is the first to intern it. So pairs over keys whose Atomic concept
// exists are kept at once, and the others wait until the step ends, when the
// new concepts are interned in the order in which the step's own loop order
// (`OrderKey`) first mentions them.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include <tsl/robin_map.h>

#include "common/ids.h"
#include "core/ontology.h"

namespace kelmon::dkeys {

// Position of a pair in the loop order that the step is defined by; compared lexicographically.
using OrderKey = std::array<std::uint64_t, 4>;

class KeyAxiomEmitter {
 public:
  explicit KeyAxiomEmitter(InternalOntology& ontology);

  void subclass(ClassId sub, ClassId sup, const OrderKey& order) { add(sub, sup, false, order); }
  void disjoint(ClassId first, ClassId second, const OrderKey& order) { add(first, second, true, order); }

  // Interns the Atomic concepts first mentioned in this step and releases its waiting pairs.
  void finish_step();
  // Appends every collected axiom to the ontology.
  void finish();

  std::size_t size() const { return ready_.size() + waiting_.size(); }

 private:
  struct Ready {
    ConceptId first;
    ConceptId second;
    bool disjoint;
  };
  struct Waiting {
    ClassId first;
    ClassId second;
    bool disjoint;
  };
  struct FirstUse {
    OrderKey order;
    std::uint8_t side;  // the first member of a pair is interned before the second
  };
  static constexpr std::uint32_t kUnknown = ~std::uint32_t{0};

  void add(ClassId first, ClassId second, bool disjoint, const OrderKey& order);
  void note_first_use(ClassId cls, const OrderKey& order, std::uint8_t side);

  InternalOntology& ontology_;
  std::vector<std::uint32_t> atomic_;  // per class: id of its Atomic concept, or kUnknown
  std::vector<Ready> ready_;
  std::vector<Waiting> waiting_;
  tsl::robin_map<std::uint32_t, FirstUse> first_use_;
};

}  // namespace kelmon::dkeys
