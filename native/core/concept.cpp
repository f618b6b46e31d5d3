#include "core/concept.h"

#include "common/overload.h"
#include "common/seeded_hash.h"

namespace kelmon {

std::string_view concept_kind_name(ConceptKind kind) {
  static constexpr std::string_view kNames[] = {"Top", "Bottom", "Atomic", "Nominal", "Self", "Not",
                                                "And", "Or",     "Some",   "All",     "Min",  "Max"};
  return kNames[static_cast<std::uint32_t>(kind)];
}

namespace {

std::uint64_t role_word(Role r) { return (std::uint64_t{r.inverse} << 32) | r.id.v; }

std::uint64_t hash_list(std::uint64_t h, const std::vector<ConceptId>& list) {
  h = hash_step(h, list.size());
  for (ConceptId m : list) h = hash_step(h, m.v);
  return h;
}

}  // namespace

std::uint64_t concept_hash(const Concept& c, std::uint64_t seed) {
  std::uint64_t h = hash_step(seed, c.index());
  h = std::visit(Overload{
                     [&](const Top&) { return h; },
                     [&](const Bottom&) { return h; },
                     [&](const Atomic& x) { return hash_step(h, x.cls.v); },
                     [&](const Nominal& x) { return hash_step(h, x.individual.v); },
                     [&](const Self& x) { return hash_step(h, role_word(x.role)); },
                     [&](const Not& x) { return hash_step(h, x.operand.v); },
                     [&](const And& x) { return hash_list(h, x.members); },
                     [&](const Or& x) { return hash_list(h, x.members); },
                     [&](const Some& x) { return hash_step(hash_step(h, x.filler.v), role_word(x.role)); },
                     [&](const All& x) { return hash_step(hash_step(h, x.filler.v), role_word(x.role)); },
                     [&](const Min& x) {
                       return hash_step(hash_step(hash_step(h, x.n), x.filler.v), role_word(x.role));
                     },
                     [&](const Max& x) {
                       return hash_step(hash_step(hash_step(h, x.n), x.filler.v), role_word(x.role));
                     },
                 },
                 c);
  return hash_finish(h);
}

}  // namespace kelmon
