#pragma once
// The writers' common machinery: output is a sequence of pieces (fixed text, IRIs,
// literals, nested expressions...). A node is expanded into its pieces, which are
// pushed onto an explicit stack, so nested expressions are written without recursion.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "owl/model.h"

namespace kelmon::owl::internal {

void append_iri(const Iri& iri, std::string& out);              // "<" + IRI + ">"
void append_individual(const Individual& i, std::string& out);  // IRI form or "_:" + id

enum class Piece : uint8_t {
  Text, Number, IriRef, Individual, Literal, AnnotationValue, AnnotationSubject,
  ClassExpr, ClassOperand, DataRange, DataRangeOperand, Annotation, IndividualArg, DataArg,
  AtomItem, ObjectProperty,
};

struct Work {
  Piece piece;
  const void* p = nullptr;
  std::string_view text = {};
  uint32_t number = 0;
  uint8_t context = 0;  // writer-specific (e.g. where a data range stands)
};

class Emitter {
 public:
  explicit Emitter(std::string& out) : out_(out) {}
  virtual ~Emitter() = default;

  // Appends pieces of the node being expanded.
  void t(std::string_view text) { seq_.push_back(Work{Piece::Text, nullptr, text}); }
  void num(uint32_t n) { seq_.push_back(Work{Piece::Number, nullptr, {}, n}); }
  void add(Piece piece, const void* p, uint8_t context = 0) {
    seq_.push_back(Work{piece, p, {}, 0, context});
  }
  template <class T>
  void join(Piece piece, const std::vector<T>& v, std::string_view sep, uint8_t context = 0) {
    for (size_t i = 0; i < v.size(); ++i) {
      if (i > 0) t(sep);
      add(piece, &v[i], context);
    }
  }
  // Moves the expanded pieces onto the stack, first piece on top.
  void emit() {
    for (size_t i = seq_.size(); i-- > 0;) stack_.push_back(seq_[i]);
    seq_.clear();
  }
  void run() {
    emit();
    while (!stack_.empty()) {
      Work w = stack_.back();
      stack_.pop_back();
      write(w);
      emit();
    }
  }

 protected:
  // Writes a piece directly or expands it into further pieces.
  virtual void write(const Work& w) = 0;
  std::string& out_;

 private:
  std::vector<Work> seq_;
  std::vector<Work> stack_;
};

}  // namespace kelmon::owl::internal
