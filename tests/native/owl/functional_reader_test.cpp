#include <gtest/gtest.h>

#include "test_files.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "owl/functional_reader.h"
#include "owl/structural.h"
#include "owl/vocabulary.h"

namespace kelmon::owl {
namespace {

LoadedOntology read_ok(std::string_view text) {
  auto r = read_functional(text);
  EXPECT_TRUE(r.has_value()) << (r ? "" : r.error().to_string());
  return r ? std::move(*r) : LoadedOntology{};
}

std::string wrap(std::string_view body) {
  return "Prefix(:=<http://x/>)\nOntology(\n" + std::string(body) + "\n)\n";
}

const Axiom* only_axiom_of(const LoadedOntology& o, AxiomKind kind) {
  const Axiom* found = nullptr;
  for (const auto& a : o.axioms) {
    if (kind_of(a.axiom) != kind) continue;
    EXPECT_EQ(found, nullptr) << "more than one axiom of the kind";
    found = &a.axiom;
  }
  return found;
}

TEST(FunctionalReader, ReadsEveryCorpusDocument) {
  std::filesystem::path dir = std::filesystem::path(KELMON_CORPUS_DIR) / "ontologies";
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (entry.path().extension() != ".ofn") continue;
    ++files;
    auto text = slurp(entry.path());
    auto r = read_functional(text);
    ASSERT_TRUE(r.has_value()) << entry.path() << ": " << r.error().to_string();
    EXPECT_GT(r->axioms.size(), 100u) << entry.path();
  }
  EXPECT_GE(files, 4);
}

// The order is total and consistent on real documents: sorted, neighbours differ, and
// the order agrees with equality and the hash.
TEST(FunctionalReader, CorpusAxiomsSortStrictlyInBothOperandOrders) {
  auto o = read_ok(slurp(corpus("pizza.ofn")));
  for (OperandOrder order : {OperandOrder::Document, OperandOrder::SuperFirst}) {
    std::vector<const AnnotatedAxiom*> v;
    for (const auto& a : o.axioms) v.push_back(&a);
    std::sort(v.begin(), v.end(), StructuralLess{order});
    for (size_t i = 1; i < v.size(); ++i) {
      ASSERT_LT(compare_axioms(*v[i - 1], *v[i], order), 0);
      ASSERT_GT(compare_axioms(*v[i], *v[i - 1], order), 0);
      ASSERT_LE(v[i - 1]->axiom.index(), v[i]->axiom.index());
    }
  }
  for (size_t i = 0; i < o.axioms.size(); ++i) EXPECT_EQ(o.axioms.hash_at(i), structural_hash(o.axioms[i]));
}

TEST(FunctionalReader, FixtureHoldsEveryComponentKind) {
  auto o = read_ok(fixture("owl/all_constructs.ofn"));
  std::set<size_t> kinds;
  for (const auto& a : o.axioms) kinds.insert(a.axiom.index());
  EXPECT_EQ(kinds.size(), std::variant_size_v<Axiom>);
  std::set<size_t> ce_kinds;
  for (const auto& a : o.axioms) {
    if (auto* s = std::get_if<SubClassOf>(&a.axiom)) {
      for (const ClassExpression* c : {&s->sub, &s->sup}) {
        ce_kinds.insert(c->kind());
        if (auto* i = std::get_if<ObjectIntersectionOf>(&c->data()))
          for (const auto& op : i->operands) {
            ce_kinds.insert(op.kind());
            if (auto* u = std::get_if<ObjectUnionOf>(&op.data())) ce_kinds.insert(u->operands[0].kind());
          }
      }
    }
  }
  EXPECT_EQ(ce_kinds.size(), std::variant_size_v<ClassExpressionData>);
  EXPECT_EQ(o.prefixes.at(""), "http://example.org/all#");
  EXPECT_EQ(o.prefixes.at("var"), "urn:swrl:var#");
}

TEST(FunctionalReader, KeepsHeaderImportsAndAnnotatedCopiesApart) {
  auto o = read_ok(fixture("owl/all_constructs.ofn"));
  auto* h = std::get_if<OntologyHeader>(only_axiom_of(o, AxiomKind::OntologyHeader));
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(h->ontology_iri.str(), "http://example.org/all");
  EXPECT_EQ(h->version_iri.str(), "http://example.org/all/1.0");
  auto* imp = std::get_if<Import>(only_axiom_of(o, AxiomKind::Import));
  ASSERT_NE(imp, nullptr);
  EXPECT_EQ(imp->iri.str(), "http://example.org/imported");
  int plain = 0, annotated = 0;
  for (const auto& a : o.axioms) {
    auto* s = std::get_if<SubClassOf>(&a.axiom);
    if (!s || kind_of(s->sub) != ClassExpressionKind::Class) continue;
    if (std::get<Class>(s->sub.data()).iri.str() != "http://example.org/all#A") continue;
    if (kind_of(s->sup) != ClassExpressionKind::Class) continue;
    (a.annotations.empty() ? plain : annotated)++;
  }
  EXPECT_EQ(plain, 1);
  EXPECT_EQ(annotated, 1);
}

TEST(FunctionalReader, MergesDuplicateAxioms) {
  auto o = read_ok(wrap("SubClassOf(:A :B)\nSubClassOf(<http://x/A> :B)\nSubClassOf(:A :C)"));
  EXPECT_EQ(o.axioms.size(), 2u);
}

TEST(FunctionalReader, ReadsLiteralFormsAndEscapes) {
  auto o = read_ok(wrap(
      "DataPropertyAssertion(:p :a \"say \\\"hi\\\" \\\\ now\")\n"
      "DataPropertyAssertion(:p :b \"hallo\"@de)\n"
      "DataPropertyAssertion(:p :c \"5\"^^<http://www.w3.org/2001/XMLSchema#integer>)\n"
      "DataPropertyAssertion(:p :d \"line\none\")"));
  std::map<std::string, Literal> by_subject;
  for (const auto& a : o.axioms) {
    auto& d = std::get<DataPropertyAssertion>(a.axiom);
    by_subject[std::string(std::get<NamedIndividual>(d.subject).iri.str())] = d.value;
  }
  const auto& a = by_subject.at("http://x/a");
  EXPECT_EQ(a.form, LiteralForm::Plain);
  EXPECT_EQ(a.lexical, "say \"hi\" \\ now");
  const auto& b = by_subject.at("http://x/b");
  EXPECT_EQ(b.form, LiteralForm::LanguageTagged);
  EXPECT_EQ(b.lexical, "hallo");
  EXPECT_EQ(b.language.str(), "de");
  const auto& c = by_subject.at("http://x/c");
  EXPECT_EQ(c.form, LiteralForm::Typed);
  EXPECT_EQ(c.datatype.iri.str(), vocab::kXsdInteger);
  EXPECT_EQ(by_subject.at("http://x/d").lexical, "line\none");
}

TEST(FunctionalReader, AnonymousIndividualsKeepTheirNodeIdWithoutPrefix) {
  auto o = read_ok(wrap("ClassAssertion(:A _:genid7)"));
  auto& ca = std::get<ClassAssertion>(o.axioms[0].axiom);
  EXPECT_EQ(std::get<AnonymousIndividual>(ca.individual).node_id.str(), "genid7");
}

TEST(FunctionalReader, UnqualifiedCardinalitiesGetTheTopFiller) {
  auto o = read_ok(wrap("SubClassOf(:A ObjectMinCardinality(1 :r))\nSubClassOf(:B DataMaxCardinality(4294967295 :p))"));
  for (const auto& a : o.axioms) {
    const auto& sup = std::get<SubClassOf>(a.axiom).sup;
    if (auto* m = std::get_if<ObjectMinCardinality>(&sup.data())) {
      EXPECT_EQ(std::get<Class>(m->filler.data()).iri.str(), vocab::kOwlThing);
    } else {
      auto& d = std::get<DataMaxCardinality>(sup.data());
      EXPECT_EQ(d.cardinality, 4294967295u);
      EXPECT_EQ(std::get<Datatype>(d.filler.data()).iri.str(), vocab::kRdfsLiteral);
    }
  }
}

TEST(FunctionalReader, StandardPrefixesArePredeclared) {
  auto o = read_ok("Ontology(SubClassOf(owl:Nothing owl:Thing))");
  auto& s = std::get<SubClassOf>(o.axioms[0].axiom);
  EXPECT_EQ(std::get<Class>(s.sub.data()).iri.str(), vocab::kOwlNothing);
}

struct BadCase {
  const char* name;
  std::string text;
  uint32_t line;
  uint32_t column;
  const char* message_part;
};

std::string nested(int depth) {
  std::string s = "Ontology(SubClassOf(:A ";
  for (int i = 0; i < depth; ++i) s += "ObjectComplementOf(";
  s += ":B";
  s += std::string(depth, ')');
  s += "))";
  return "Prefix(:=<http://x/>)\n" + s;
}

std::string nested_annotations(int depth) {
  std::string s = "Prefix(:=<http://x/>)\nOntology(Declaration(";
  for (int i = 0; i < depth; ++i) s += "Annotation(";
  for (int i = 0; i < depth; ++i) s += ":p \"v\")";
  return s + " Class(:A)))";
}

std::vector<BadCase> bad_cases() {
  return {
      {"unterminated_string", wrap("DataPropertyAssertion(:p :a \"open"), 3, 29, "unterminated string"},
      {"bad_iri", wrap("SubClassOf(<http://x/a b> :B)"), 3, 23, "malformed IRI"},
      {"unterminated_iri", wrap("SubClassOf(<http://x/a"), 3, 23, "malformed IRI"},
      {"unknown_prefix", wrap("SubClassOf(:A zz:B)"), 3, 15, "unknown prefix 'zz:'"},
      {"wrong_arity_intersection", wrap("SubClassOf(:A ObjectIntersectionOf(:B))"), 3, 38, "at least 2"},
      {"wrong_arity_subclass", wrap("SubClassOf(:A)"), 3, 14, "expected a class expression"},
      {"too_many_operands", wrap("SubClassOf(:A :B :C)"), 3, 18, "expected ')'"},
      {"truncated", "Prefix(:=<http://x/>)\nOntology(\nSubClassOf(:A ", 3, 15, "end of input"},
      {"missing_ontology", "Prefix(:=<http://x/>)\n", 2, 1, "'Prefix' or 'Ontology'"},
      {"trailing_text", wrap("") + "junk", 5, 1, "end of input after the ontology"},
      {"bad_escape", wrap("DataPropertyAssertion(:p :a \"a\\nb\")"), 3, 31, "invalid escape"},
      {"cardinality_overflow", wrap("SubClassOf(:A ObjectMinCardinality(4294967296 :r))"), 3, 36, "below 2^32"},
      {"negative_cardinality", wrap("SubClassOf(:A ObjectMinCardinality(-1 :r))"), 3, 36, "non-negative"},
      {"unknown_axiom", wrap("SubThingOf(:A :B)"), 3, 1, "expected an axiom, found 'SubThingOf'"},
      {"unknown_facet", wrap("DatatypeDefinition(:d DatatypeRestriction(:int :bogus \"1\"))"), 3, 48, "unknown facet"},
      {"bad_entity", wrap("Declaration(Thing(:A))"), 3, 13, "expected an entity kind"},
      {"nary_data_restriction", wrap("SubClassOf(:A DataSomeValuesFrom(:p :q :r))"), 3, 15, "several data properties"},
      {"deep_nesting", nested(100000), 2, 0, "nesting deeper than 10000"},
      {"deep_data_range_nesting",
       "Prefix(:=<http://x/>)\nOntology(DataPropertyRange(:p " + [] {
         std::string s;
         for (int i = 0; i < 20000; ++i) s += "DataComplementOf(";
         return s;
       }() + ":d",
       2, 0, "nesting deeper than 10000"},
      {"deep_annotation_nesting", nested_annotations(20000), 2, 0, "nesting deeper than 10000"},
  };
}

class FunctionalReaderErrors : public ::testing::TestWithParam<BadCase> {};

TEST_P(FunctionalReaderErrors, ReportsLineColumnAndWhatWasExpected) {
  const auto& c = GetParam();
  auto r = read_functional(c.text);
  ASSERT_FALSE(r.has_value());
  EXPECT_EQ(r.error().line, c.line) << r.error().to_string();
  if (c.column != 0) {
    EXPECT_EQ(r.error().column, c.column) << r.error().to_string();
  }
  EXPECT_NE(r.error().message.find(c.message_part), std::string::npos) << r.error().to_string();
}
INSTANTIATE_TEST_SUITE_P(Cases, FunctionalReaderErrors, ::testing::ValuesIn(bad_cases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FunctionalReader, NestingUpToTheLimitIsRead) {
  auto r = read_functional(nested(static_cast<int>(kMaxNestingDepth) - 1));
  ASSERT_TRUE(r.has_value()) << r.error().to_string();
  auto a = read_functional(nested_annotations(static_cast<int>(kMaxNestingDepth)));
  ASSERT_TRUE(a.has_value()) << a.error().to_string();
  const auto& anns = (*a).axioms[0].annotations;
  ASSERT_EQ(anns.size(), 1u);
  EXPECT_EQ(anns.begin()->annotations.size(), 1u);
}

}  // namespace
}  // namespace kelmon::owl
