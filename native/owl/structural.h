#pragma once
// Structural equality, the structural total order and the structural hash of the
// OWL 2 model. All three read one canonical byte key per value, written without
// recursion, whose byte-wise order is the structural order.
#include <cstdint>
#include <string>
#include <string_view>

#include "owl/model.h"

namespace kelmon::owl {

// Operand order inside SubClassOf, SubObjectPropertyOf and SubDataPropertyOf.
// Document: as functional syntax writes them (sub first); this is the order in which
// conversion visits the loaded axioms. SuperFirst: the super operand first, the
// order the explanation and individual services expect of the model.
enum class OperandOrder : uint8_t { Document, SuperFirst };

// Appends the canonical key. Axioms compare by kind first (the order of `AxiomKind`),
// then operand by operand: IRIs and strings byte-wise, nested expressions by kind and
// then operands, lists element by element with a proper prefix first; an annotated
// axiom compares by its axiom, then by its annotation set.
void append_structural_key(const AnnotatedAxiom& a, std::string& out,
                           OperandOrder order = OperandOrder::Document);
void append_structural_key(const Axiom& a, std::string& out,
                           OperandOrder order = OperandOrder::Document);
void append_structural_key(const ClassExpression& c, std::string& out);
void append_structural_key(const DataRange& d, std::string& out);
void append_structural_key(const Annotation& a, std::string& out);

// Three-way comparisons: negative, zero or positive.
int compare_axioms(const AnnotatedAxiom& a, const AnnotatedAxiom& b,
                   OperandOrder order = OperandOrder::Document);
int compare_axioms(const Axiom& a, const Axiom& b, OperandOrder order = OperandOrder::Document);
int compare_class_expressions(const ClassExpression& a, const ClassExpression& b);
int compare_data_ranges(const DataRange& a, const DataRange& b);

bool structurally_equal(const AnnotatedAxiom& a, const AnnotatedAxiom& b);
bool structurally_equal(const Axiom& a, const Axiom& b);
bool structurally_equal(const ClassExpression& a, const ClassExpression& b);
bool structurally_equal(const DataRange& a, const DataRange& b);

inline bool operator==(const AnnotatedAxiom& a, const AnnotatedAxiom& b) {
  return structurally_equal(a, b);
}
inline bool operator==(const ClassExpression& a, const ClassExpression& b) {
  return structurally_equal(a, b);
}
inline bool operator==(const DataRange& a, const DataRange& b) {
  return structurally_equal(a, b);
}

// SipHash-1-3 with both keys zero over the canonical key in document operand order
// (the axiom, then its annotation set).
uint64_t structural_hash(const AnnotatedAxiom& a);
uint64_t structural_hash(const ClassExpression& c);

// Strict weak orders for sorting.
struct StructuralLess {
  OperandOrder order = OperandOrder::Document;
  bool operator()(const AnnotatedAxiom& a, const AnnotatedAxiom& b) const {
    return compare_axioms(a, b, order) < 0;
  }
  bool operator()(const AnnotatedAxiom* a, const AnnotatedAxiom* b) const {
    return compare_axioms(*a, *b, order) < 0;
  }
};

}  // namespace kelmon::owl
