// Feeds arbitrary bytes to the RDF/XML reader. Whatever it accepts must be written in
// functional syntax and read back by the functional reader to the same axiom set (an
// RDF/XML IRI or node id may hold text that functional syntax cannot spell; such a
// document need not read back).
#include <cstdint>
#include <string_view>

#include "functional_round_trip.h"
#include "owl/rdf_xml_reader.h"

using namespace kelmon::owl;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  auto first = read_rdf_xml(text);
  if (first) fuzz::check_functional_round_trip(*first, false);
  return 0;
}
