#include "reasoner/pairs/named_individuals.h"

#include <algorithm>

namespace kelmon::reasoner {

namespace {
constexpr std::string_view kAnonPrefix = "urn:kelmon-anon:";
}  // namespace

std::vector<NamedIndividual> named_individuals(const Vocabulary& vocabulary) {
  std::vector<NamedIndividual> out;
  const auto& names = vocabulary.individuals.names();
  for (std::uint32_t i = 0; i < names.size(); ++i) {
    const std::string_view iri = *names[i];
    if (!iri.starts_with(kAnonPrefix)) out.emplace_back(IndividualId{i}, iri);
  }
  std::sort(out.begin(), out.end(), [](const NamedIndividual& a, const NamedIndividual& b) { return a.second < b.second; });
  return out;
}

std::vector<std::vector<std::string>> same_individual_groups(GroupMap groups) {
  std::vector<std::vector<std::string>> out;
  for (auto it = groups.begin(); it != groups.end(); ++it) {
    if (it->second.size() < 2) continue;
    std::vector<std::string> members = std::move(it.value());
    std::stable_sort(members.begin(), members.end());
    out.push_back(std::move(members));
  }
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace kelmon::reasoner
