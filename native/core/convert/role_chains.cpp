#include "core/convert/role_chains.h"

#include <string>

namespace kelmon {

namespace {

struct LongChain {
  std::vector<Role> roles;
  size_t position;
  Role sup;
};

bool is_long_chain(const Axiom& axiom) {
  const auto* sub = std::get_if<SubObjectPropertyOf>(&axiom);
  if (sub == nullptr) return false;
  const auto* chain = std::get_if<Chain>(&sub->sub);
  return chain != nullptr && chain->roles.size() > 2;
}

}  // namespace

void split_role_chains(InternalOntology& onto) {
  std::vector<LongChain> found;
  for (size_t i = 0; i < onto.axioms.size(); ++i) {
    if (!is_long_chain(onto.axioms[i])) continue;
    const auto& sub = std::get<SubObjectPropertyOf>(onto.axioms[i]);
    found.push_back(LongChain{std::get<Chain>(sub.sub).roles, i, sub.sup});
  }
  if (found.empty()) return;

  std::vector<Axiom> kept;
  kept.reserve(onto.axioms.size() - found.size());
  for (auto& axiom : onto.axioms) {
    if (!is_long_chain(axiom)) kept.push_back(std::move(axiom));
  }
  onto.axioms = std::move(kept);

  for (const auto& chain : found) {
    const size_t n = chain.roles.size();
    auto aux = [&](size_t j) {
      std::string name = "urn:kelmon-aux-role:" + std::to_string(chain.position) + ":" + std::to_string(j);
      return Role::named(onto.vocabulary.roles.intern(name));
    };
    Role previous = aux(1);
    onto.axioms.push_back(SubObjectPropertyOf{Chain{{chain.roles[0], chain.roles[1]}}, previous});
    for (size_t j = 2; j <= n - 2; ++j) {
      Role next = aux(j);
      onto.axioms.push_back(SubObjectPropertyOf{Chain{{previous, chain.roles[j]}}, next});
      previous = next;
    }
    onto.axioms.push_back(SubObjectPropertyOf{Chain{{previous, chain.roles[n - 1]}}, chain.sup});
  }
}

}  // namespace kelmon
