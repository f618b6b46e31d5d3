#include "reasoner/properties/property_pairs.h"

#include <algorithm>
#include <string_view>

#include <tsl/robin_map.h>

#include "common/invariant.h"
#include "owl/vocabulary.h"
#include "reasoner/properties/consistency_gate.h"

namespace kelmon::reasoner {

namespace {

// Properties as graph nodes. An object property has two nodes, the named one
// (even) and its inverse (odd), so flipping an expression is `node ^ 1`; a data
// property has one.
class PropertyGraph {
 public:
  explicit PropertyGraph(bool with_inverses) : nodes_per_name_(with_inverses ? 2 : 1) {}

  uint32_t node(std::string_view iri, bool inverse) {
    auto [it, added] = ids_.try_emplace(iri, static_cast<uint32_t>(names_.size()));
    if (added) {
      invariant(names_.size() < (uint32_t{1} << 30), "property count fits in u32");
      names_.push_back(iri);
      succ_.resize(succ_.size() + nodes_per_name_);
    }
    return it->second * nodes_per_name_ + (inverse ? 1 : 0);
  }
  void add_edge(uint32_t sub, uint32_t sup) { succ_[sub].push_back(sup); }

  // Every (named a, named b) with a path a → … → b, a ≠ b, neither of them the
  // top or bottom property. Paths may pass through any node, those included.
  PropertyPairs named_pairs(std::string_view top, std::string_view bottom) const;

 private:
  uint32_t nodes_per_name_;
  tsl::robin_map<std::string_view, uint32_t> ids_;
  std::vector<std::string_view> names_;
  std::vector<std::vector<uint32_t>> succ_;
};

PropertyPairs PropertyGraph::named_pairs(std::string_view top, std::string_view bottom) const {
  const uint32_t name_count = static_cast<uint32_t>(names_.size());
  // Byte-order rank of each name, so pairs sort as integers before becoming strings.
  std::vector<uint32_t> by_text(name_count);
  for (uint32_t i = 0; i < name_count; ++i) by_text[i] = i;
  std::sort(by_text.begin(), by_text.end(), [&](uint32_t a, uint32_t b) { return names_[a] < names_[b]; });
  std::vector<uint32_t> rank(name_count);
  for (uint32_t r = 0; r < name_count; ++r) rank[by_text[r]] = r;
  auto reported = [&](uint32_t name) { return names_[name] != top && names_[name] != bottom; };

  std::vector<std::pair<uint32_t, uint32_t>> ranked;
  std::vector<uint32_t> seen(succ_.size(), ~uint32_t{0});
  std::vector<uint32_t> stack;
  for (uint32_t source = 0; source < name_count; ++source) {
    if (!reported(source)) continue;
    const uint32_t start = source * nodes_per_name_;
    stack.assign(succ_[start].begin(), succ_[start].end());
    while (!stack.empty()) {
      const uint32_t n = stack.back();
      stack.pop_back();
      if (seen[n] == source) continue;
      seen[n] = source;
      for (uint32_t next : succ_[n]) {
        if (seen[next] != source) stack.push_back(next);
      }
      if (n % nodes_per_name_ != 0) continue;
      const uint32_t target = n / nodes_per_name_;
      if (target != source && reported(target)) ranked.emplace_back(rank[source], rank[target]);
    }
  }
  std::sort(ranked.begin(), ranked.end());
  PropertyPairs pairs;
  pairs.reserve(ranked.size());
  for (auto [sub, sup] : ranked) pairs.emplace_back(names_[by_text[sub]], names_[by_text[sup]]);
  return pairs;
}

uint32_t expression_node(PropertyGraph& graph, const owl::ObjectPropertyExpression& p) {
  return graph.node(owl::named_property(p).iri.str(), owl::is_inverse(p));
}

// Equivalent members reach each other; a ring of edges gives the same closure as
// every ordered pair would, with as many edges as members.
template <class Members, class NodeOf>
void add_equivalence(PropertyGraph& graph, const Members& members, NodeOf node_of) {
  std::vector<uint32_t> nodes;
  for (const auto& m : members) nodes.push_back(node_of(m));
  if (nodes.size() < 2) return;
  for (size_t i = 0; i < nodes.size(); ++i) graph.add_edge(nodes[i], nodes[(i + 1) % nodes.size()]);
}

}  // namespace

PropertyPairs told_subobjectproperty_closure(const owl::AxiomSet& axioms) {
  PropertyGraph graph(true);
  auto node_of = [&](const owl::ObjectPropertyExpression& p) { return expression_node(graph, p); };
  // Each told edge goes in together with its mirror over the inverses (p ⊑ q gives
  // p⁻ ⊑ q⁻), so the transitive closure of the graph is closed under both.
  auto add = [&](uint32_t sub, uint32_t sup) {
    graph.add_edge(sub, sup);
    graph.add_edge(sub ^ 1, sup ^ 1);
  };
  for (const auto& annotated : axioms) {
    const owl::Axiom& axiom = annotated.axiom;
    if (const auto* sub = std::get_if<owl::SubObjectPropertyOf>(&axiom)) {
      // A chain on the left says nothing about single properties.
      if (const auto* single = std::get_if<owl::ObjectPropertyExpression>(&sub->sub)) {
        add(node_of(*single), node_of(sub->sup));
      }
    } else if (const auto* eq = std::get_if<owl::EquivalentObjectProperties>(&axiom)) {
      add_equivalence(graph, eq->members, [&](const auto& m) { return node_of(m); });
      // The mirrors of equivalence edges are themselves equivalence edges over the inverses.
      add_equivalence(graph, eq->members, [&](const auto& m) { return node_of(m) ^ 1; });
    } else if (const auto* inv = std::get_if<owl::InverseObjectProperties>(&axiom)) {
      // P ≡ Q⁻ and Q ≡ P⁻, in both directions.
      const uint32_t p = node_of(inv->first), q = node_of(inv->second);
      add(p, q ^ 1);
      add(q ^ 1, p);
    }
  }
  return graph.named_pairs(owl::vocab::kOwlTopObjectProperty, owl::vocab::kOwlBottomObjectProperty);
}

PropertyPairs told_subdataproperty_closure(const owl::AxiomSet& axioms) {
  PropertyGraph graph(false);
  auto node_of = [&](const owl::DataProperty& p) { return graph.node(p.iri.str(), false); };
  for (const auto& annotated : axioms) {
    const owl::Axiom& axiom = annotated.axiom;
    if (const auto* sub = std::get_if<owl::SubDataPropertyOf>(&axiom)) {
      graph.add_edge(node_of(sub->sub), node_of(sub->sup));
    } else if (const auto* eq = std::get_if<owl::EquivalentDataProperties>(&axiom)) {
      add_equivalence(graph, eq->members, node_of);
    }
  }
  return graph.named_pairs(owl::vocab::kOwlTopDataProperty, owl::vocab::kOwlBottomDataProperty);
}

Result<PropertyPairs> inferred_subobjectproperty_pairs(const owl::LoadedOntology& loaded) {
  if (auto gate = consistency_gate(loaded); !gate) return std::unexpected(std::move(gate.error()));
  return told_subobjectproperty_closure(loaded.axioms);
}

Result<PropertyPairs> inferred_subdataproperty_pairs(const owl::LoadedOntology& loaded) {
  if (auto gate = consistency_gate(loaded); !gate) return std::unexpected(std::move(gate.error()));
  return told_subdataproperty_closure(loaded.axioms);
}

}  // namespace kelmon::reasoner
