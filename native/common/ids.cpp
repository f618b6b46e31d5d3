#include "common/ids.h"

#include <ostream>

namespace kelmon {

namespace {

std::string one_line(const char* type, std::uint32_t v) {
  return std::string(type) + "(" + std::to_string(v) + ")";
}

std::string multi_line(const char* type, std::uint32_t v) {
  return std::string(type) + "(\n    " + std::to_string(v) + ",\n)";
}

}  // namespace

std::string debug_text(ClassId id) { return one_line("ClassId", id.v); }
std::string debug_text(RoleId id) { return one_line("RoleId", id.v); }
std::string debug_text(IndividualId id) { return one_line("IndividualId", id.v); }
std::string debug_text(ConceptId id) { return one_line("ConceptId", id.v); }

std::string debug_text_multiline(ClassId id) { return multi_line("ClassId", id.v); }
std::string debug_text_multiline(RoleId id) { return multi_line("RoleId", id.v); }
std::string debug_text_multiline(IndividualId id) { return multi_line("IndividualId", id.v); }
std::string debug_text_multiline(ConceptId id) { return multi_line("ConceptId", id.v); }

std::ostream& operator<<(std::ostream& out, ClassId id) { return out << debug_text(id); }
std::ostream& operator<<(std::ostream& out, RoleId id) { return out << debug_text(id); }
std::ostream& operator<<(std::ostream& out, IndividualId id) { return out << debug_text(id); }
std::ostream& operator<<(std::ostream& out, ConceptId id) { return out << debug_text(id); }

}  // namespace kelmon
