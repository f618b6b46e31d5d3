#include "reasoner/explanation/query.h"

#include <array>

#include "owl/vocabulary.h"

namespace kelmon::explain {

namespace {

struct KeywordRow {
  std::string_view keyword;
  std::size_t tokens;  // the keyword included
  QueryKind kind;
};

constexpr std::array<KeywordRow, 16> kKeywords{{
    {"subclass", 3, QueryKind::Subclass},
    {"equivalent", 3, QueryKind::Equivalent},
    {"disjoint", 3, QueryKind::Disjoint},
    {"unsat", 2, QueryKind::Unsat},
    {"instance", 3, QueryKind::Instance},
    {"inconsistent", 1, QueryKind::Inconsistent},
    {"subproperty", 3, QueryKind::SubProperty},
    {"equiv-property", 3, QueryKind::EquivProperty},
    {"disjoint-property", 3, QueryKind::DisjointProperty},
    {"property", 4, QueryKind::Property},
    {"same", 3, QueryKind::Same},
    {"different", 3, QueryKind::Different},
    {"subdata-property", 3, QueryKind::SubDataProperty},
    {"equiv-data-property", 3, QueryKind::EquivDataProperty},
    {"disjoint-data-property", 3, QueryKind::DisjointDataProperty},
    {"data-value", 4, QueryKind::DataValue},
}};

}  // namespace

std::expected<JustifyQuery, std::string> parse_query(std::span<const std::string> tokens) {
  const auto usage = std::unexpected(std::string(kQueryUsage));
  if (tokens.empty()) return usage;
  for (const KeywordRow& row : kKeywords) {
    if (tokens[0] != row.keyword) continue;
    if (tokens.size() != row.tokens) return usage;
    JustifyQuery query{row.kind, std::vector<std::string>(tokens.begin() + 1, tokens.end())};
    if (row.kind == QueryKind::DataValue) {
      auto [lexical, datatype] = parse_data_literal(query.names[2]);
      query.names[2] = std::move(lexical);
      query.names.push_back(std::move(datatype));
    }
    return query;
  }
  return usage;
}

std::pair<std::string, std::string> parse_data_literal(std::string_view token) {
  const std::size_t at = token.find("^^");
  if (at == std::string_view::npos) return {std::string(token), std::string(owl::vocab::kXsdString)};
  std::string lexical(token.substr(0, at));
  const std::string_view rest = token.substr(at + 2);
  if (rest.size() >= 2 && rest.front() == '<' && rest.back() == '>')
    return {std::move(lexical), std::string(rest.substr(1, rest.size() - 2))};
  if (rest.starts_with("xsd:")) return {std::move(lexical), std::string(owl::vocab::kXsd) + std::string(rest.substr(4))};
  return {std::move(lexical), std::string(rest)};
}

}  // namespace kelmon::explain
