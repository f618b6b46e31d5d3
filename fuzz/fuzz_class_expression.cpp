// Feeds arbitrary bytes to the Manchester class-expression parser. A parsed expression
// must render, hash and compare equal to itself.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "owl/class_expression_parser.h"
#include "owl/manchester_writer.h"
#include "owl/structural.h"

using namespace kelmon::owl;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const PrefixMapping prefixes{{"", "http://x/"}, {"xsd", "http://www.w3.org/2001/XMLSchema#"}};
  static const BuildContext context = [] {
    BuildContext c;
    c.object_properties.insert("http://x/r");
    c.data_properties.insert("http://x/p");
    return c;
  }();
  std::string_view text(reinterpret_cast<const char*>(data), size);
  auto ce = parse_class_expression(text, prefixes, context);
  if (!ce) return 0;
  Axiom a = ClassAssertion{*ce, NamedIndividual{Iri("http://x/i")}};
  (void)render_manchester_axiom(a);
  if (!structurally_equal(a, a) || compare_axioms(a, a) != 0) std::abort();
  ClassExpression copy = *ce;
  if (structural_hash(copy) != structural_hash(*ce)) std::abort();
  return 0;
}
