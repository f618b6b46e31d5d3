#include "reasoner/explanation/diagnosis.h"

#include <optional>

#include "common/invariant.h"
#include "core/convert/convert.h"
#include "reasoner/explanation/prepared_ontology.h"

namespace kelmon::explain {

namespace {

std::optional<std::string> named(const owl::ClassExpression& e) {
  if (const auto* c = std::get_if<owl::Class>(&e.data())) return std::string(c->iri.str());
  return std::nullopt;
}

UnsatPartition inconsistent_partition() { return UnsatPartition{false, {}, {}}; }

}  // namespace

void collect_told_parents(const owl::ClassExpression& expression, ClassSet& parents) {
  std::vector<const owl::ClassExpression*> stack{&expression};
  while (!stack.empty()) {
    const owl::ClassExpression& e = *stack.back();
    stack.pop_back();
    if (const auto* c = std::get_if<owl::Class>(&e.data())) {
      parents.insert(std::string(c->iri.str()));
    } else if (const auto* i = std::get_if<owl::ObjectIntersectionOf>(&e.data())) {
      for (const auto& op : i->operands) stack.push_back(&op);
    } else if (const auto* s = std::get_if<owl::ObjectSomeValuesFrom>(&e.data())) {
      stack.push_back(&s->filler);
    }
  }
}

void add_told_dependencies(const ClassSet& unsatisfiable, DependencyGraph& graph, const std::string& a,
                           ClassSet parents) {
  if (!unsatisfiable.contains(a)) return;
  for (const std::string& b : parents)
    if (b != a && unsatisfiable.contains(b)) graph[a].insert(b);
}

DependencyGraph told_dependency_graph(const std::vector<owl::Axiom>& logical, const ClassSet& unsatisfiable) {
  DependencyGraph graph;
  for (const owl::Axiom& axiom : logical) {
    if (const auto* sub = std::get_if<owl::SubClassOf>(&axiom)) {
      if (auto a = named(sub->sub)) {
        ClassSet parents;
        collect_told_parents(sub->sup, parents);
        add_told_dependencies(unsatisfiable, graph, *a, std::move(parents));
      }
    } else if (const auto* eq = std::get_if<owl::EquivalentClasses>(&axiom)) {
      for (std::size_t i = 0; i < eq->members.size(); ++i) {
        auto a = named(eq->members[i]);
        if (!a) continue;
        ClassSet parents;
        for (std::size_t j = 0; j < eq->members.size(); ++j)
          if (j != i) collect_told_parents(eq->members[j], parents);
        add_told_dependencies(unsatisfiable, graph, *a, std::move(parents));
      }
    }
  }
  return graph;
}

bool is_root_unsatisfiable(const ReachMap& reach, const std::string& c) {
  const auto own = reach.find(c);
  invariant(own != reach.end(), "diagnose: unsatisfiable class without a reach set");
  for (const std::string& d : own->second) {
    const auto other = reach.find(d);
    invariant(other != reach.end(), "diagnose: unsatisfiable class without a reach set");
    if (!other->second.contains(c)) return false;
  }
  return true;
}

UnsatPartition partition_unsatisfiable(const ClassSet& unsatisfiable, const DependencyGraph& graph) {
  ReachMap reach;
  for (const std::string& c : unsatisfiable) {
    ClassSet visited;
    std::vector<const std::string*> stack{&c};
    while (!stack.empty()) {
      const std::string& x = *stack.back();
      stack.pop_back();
      if (!visited.insert(x).second) continue;
      if (auto it = graph.find(x); it != graph.end())
        for (const std::string& y : it->second)
          if (!visited.contains(y)) stack.push_back(&y);
    }
    reach.emplace(c, std::move(visited));
  }
  UnsatPartition partition;
  for (const std::string& c : unsatisfiable) {
    if (is_root_unsatisfiable(reach, c)) {
      partition.roots.push_back(c);
      continue;
    }
    std::vector<std::string> roots;
    for (const std::string& d : reach.at(c))
      if (d != c && is_root_unsatisfiable(reach, d)) roots.push_back(d);
    partition.derived.emplace_back(c, std::move(roots));
  }
  return partition;
}

Result<UnsatPartition> diagnose(const owl::AxiomSet& loaded, KernelTests& kernel) {
  InternalOntology ir = convert_ontology(loaded);
  if (kernel.abox_saturation_clash(ir)) return inconsistent_partition();
  auto classified = kernel.classify_unbounded(std::move(ir));
  if (!classified) return std::unexpected(classified.error());
  if (classified->stats_ref().inconsistent != 0) return inconsistent_partition();
  ClassSet unsatisfiable;
  for (std::string_view c : classified->unsatisfiable()) unsatisfiable.insert(std::string(c));
  const std::size_t classes = classified->classes().size();
  if (classes > 0 && unsatisfiable.size() == classes) {
    // Every class unsatisfiable: an inconsistent ontology looks like that too.
    auto consistency = kernel.check_consistency(convert_ontology(loaded));
    if (!consistency) return std::unexpected(consistency.error());
    if (!consistency->consistent) return inconsistent_partition();
  }
  if (unsatisfiable.empty()) return UnsatPartition{};
  const SplitAxioms split = split_logical_axioms(loaded);
  return partition_unsatisfiable(unsatisfiable, told_dependency_graph(split.logical, unsatisfiable));
}

}  // namespace kelmon::explain
