// Random ontologies: the pass must append exactly the axioms, and intern
// exactly the concepts, that the all-pairs definition does, under every
// combination of its switches.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <random>
#include <set>

#include "common/scoped_switch.h"
#include "dkey_pass_fixture.h"
#include "reference_key_pass.h"

namespace kelmon::testing {
namespace {

class RandomOntology {
 public:
  explicit RandomOntology(std::uint32_t seed) : rng_(seed) {}

  void build(KeyPassFixture& f) {
    const int key_count = pick(6, 22);
    std::vector<std::string> keys;
    for (int i = 0; i < key_count; ++i) keys.push_back(random_key());
    std::vector<ConceptId> fillers;
    for (const auto& k : keys) {
      if (chance(5)) f.key_class(k);  // a class name only: the pass interns its Atomic concept
      else fillers.push_back(f.K(k));
    }
    fillers.push_back(f.top());
    fillers.push_back(f.A("Plain"));
    const char* roles[] = {"p", "q", "r", "s"};
    auto role = [&] { return f.r(roles[pick(0, 3)]); };
    auto filler = [&]() -> ConceptId {
      if (chance(4)) return f.or_({fillers[pick(0, fillers.size() - 1)], fillers[pick(0, fillers.size() - 1)]});
      if (chance(6)) return f.no(fillers[pick(0, fillers.size() - 1)]);
      return fillers[pick(0, fillers.size() - 1)];
    };
    const int uses = pick(3, 14);
    for (int i = 0; i < uses; ++i) {
      switch (pick(0, 7)) {
        case 0: f.some(role(), filler()); break;
        case 1: f.all(role(), filler()); break;
        case 2: f.max(pick(0, 2), role(), filler()); break;
        case 3: f.min(pick(1, 2), role(), filler()); break;
        case 4: f.no(f.some(role(), filler())); break;
        case 5: f.no(f.min(pick(1, 3), role(), filler())); break;
        case 6: f.add(ClassAssertion{f.some(role(), filler()), f.ind("a")}); break;
        default: f.sub(f.A("D"), filler()); break;
      }
    }
    const int axioms = pick(0, 6);
    for (int i = 0; i < axioms; ++i) {
      switch (pick(0, 6)) {
        case 0: f.add(FunctionalRole{role()}); break;
        case 1: f.add(InverseFunctionalRole{role()}); break;
        case 2: f.add(ObjectPropertyRange{role(), filler()}); break;
        case 3: f.add(SubObjectPropertyOf{Single{role()}, role()}); break;
        case 4: f.add(SubObjectPropertyOf{Chain{{role(), role()}}, role()}); break;
        case 5: f.add(EquivalentObjectProperties{{role(), role(), role()}}); break;
        default: f.add(InverseObjectProperties{role(), role()}); break;
      }
    }
  }

  std::vector<std::pair<SwitchId, std::optional<std::string>>> switches() {
    const SwitchId ids[] = {SwitchId::BoundedDkeyDisjoint, SwitchId::DkeyEmitOrder,     SwitchId::DkeyCollapseSplit,
                            SwitchId::DkeyGroupSkip,       SwitchId::DkeyPostNnf,       SwitchId::DkeyMergingGate,
                            SwitchId::DkeyStrSizeIndex,    SwitchId::DkeyOneofSeed,
                            SwitchId::DkeyCrossBucketDisjoint};
    std::vector<std::pair<SwitchId, std::optional<std::string>>> out;
    for (SwitchId id : ids) out.emplace_back(id, chance(4) ? std::optional<std::string>("0") : std::nullopt);
    return out;
  }

 private:
  int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  int pick(int lo, std::size_t hi) { return pick(lo, static_cast<int>(hi)); }
  bool chance(int one_in) { return pick(1, one_in) == 1; }
  template <class T>
  const T& any(const std::vector<T>& v) {
    return v[pick(0, v.size() - 1)];
  }
  std::string subset(const std::vector<std::string>& items, const char* sep) {
    std::string out;
    for (const auto& i : items)
      if (chance(2)) out += (out.empty() ? "" : sep) + i;
    return out.empty() ? items.front() : out;
  }
  std::string flags() { return chance(2) ? "i" : "e"; }
  std::string interval(const std::vector<std::string>& bounds) {
    return any(bounds) + ":" + flags() + ":" + any(bounds) + ":" + flags();
  }

  std::string random_key() {
    const std::vector<std::string> ints = {"-2", "0", "1", "2", "3", "5", "6", "*"};
    const std::vector<std::string> bits = {"0", kNegZero, kOne, kOneAndHalf, kTwo, "9221120237041090560",
                                           "9218868437227405312", "18442240474082181120", "*"};
    const std::vector<std::string> decimals = {"-1", "0", "1", "1.5", "2", "*"};
    const std::vector<std::string> dates = {"2020.1.1", "2020.5.1", "2021.1.1", "*"};
    const std::vector<std::string> date_times = {"2020.1.1.0.0.0", "2020.1.1.0.0.1", "*"};
    switch (pick(0, 16)) {
      case 0:
      case 1:
      case 2: return any(ints) + ":" + any(ints);
      case 3: return "iset:" + any(ints) + ":" + any(ints) + ";" + any(ints) + ":" + any(ints);
      case 4: return "f:" + interval(bits);
      case 5: return "db:" + interval(bits);
      case 6: return "dec:" + interval(decimals);
      case 7: return "date:" + interval(dates);
      case 8: return "dt:" + interval(date_times);
      case 9: return chance(4) ? "str:*" : "str:" + subset({"61", "62", "63", "6A", "6a"}, ":");
      case 10: return chance(4) ? "lang:*" : "lang:" + subset({"61.6672", "62.6672", "61.656e"}, ":");
      case 11: return "io:" + subset({"-1", "0", "1", "2", "3", "5"}, ";");
      case 12: return (chance(2) ? "fo:" : "dbo:") + subset({"0", kOne, kOneAndHalf, kTwo}, ";");
      case 13: return "deo:" + subset({"-1", "1", "1.5", "1.50", "2"}, ";");
      case 14: return "dao:" + subset({"2020.1.1", "2020.5.1", "2021.1.1"}, ";");
      case 15: return "dto:" + subset({"2020.1.1.0.0.0", "2020.1.1.0.0.1"}, ";");
      default: return chance(2) ? "zzz" : "1:x";
    }
  }

  std::mt19937 rng_;
};

TEST(KeyPassReference, sweeps_match_the_all_pairs_definition) {
  int total_axioms = 0;
  for (std::uint32_t seed = 1; seed <= 400; ++seed) {
    RandomOntology env_rng(seed * 7919);
    std::vector<std::unique_ptr<ScopedSwitch>> guards;
    for (auto& [id, value] : env_rng.switches()) guards.push_back(std::make_unique<ScopedSwitch>(id, value));

    KeyPassFixture actual, expected;
    RandomOntology(seed).build(actual);
    RandomOntology(seed).build(expected);
    emit_dkey_axioms(actual.ir);
    reference::Pass{expected.ir}.run();

    ASSERT_EQ(actual.ir.concepts.size(), expected.ir.concepts.size()) << "seed " << seed;
    for (std::uint32_t i = 0; i < actual.ir.concepts.size(); ++i)
      ASSERT_EQ(actual.ir.concepts.get(ConceptId{i}), expected.ir.concepts.get(ConceptId{i})) << "seed " << seed;
    sort_axioms(actual.ir.axioms);
    sort_axioms(expected.ir.axioms);
    ASSERT_EQ(actual.ir.axioms.size(), expected.ir.axioms.size()) << "seed " << seed;
    for (std::size_t i = 0; i < actual.ir.axioms.size(); ++i)
      ASSERT_EQ(render(actual.ir, actual.ir.axioms[i]), render(expected.ir, expected.ir.axioms[i])) << "seed " << seed;
    ASSERT_TRUE(actual.ir.axioms == expected.ir.axioms) << "seed " << seed;
    total_axioms += static_cast<int>(actual.ir.axioms.size());
  }
  EXPECT_GT(total_axioms, 2000);  // the random ontologies do exercise the pass
}

}  // namespace
}  // namespace kelmon::testing
