#pragma once
// Interned, reference-counted IRI strings of the OWL 2 model.
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <tsl/robin_map.h>

namespace kelmon::owl {

namespace internal {
// One allocation per IRI: the header followed by the text.
struct IriRep {
  std::atomic<uint32_t> refs;
  uint32_t size;
  uint64_t hash;
  uint32_t table_index;  // see Iri::table_index
  char* text() noexcept { return reinterpret_cast<char*>(this + 1); }
  const char* text() const noexcept { return reinterpret_cast<const char*>(this + 1); }
  static IriRep* create(std::string_view text);
  static void destroy(IriRep* rep) noexcept;
};
uint64_t hash_text(std::string_view text);
}  // namespace internal

// An IRI (or other interned name) shared by every use in a model. Copying bumps a
// reference count; equality compares the text, with a pointer fast path for IRIs
// interned by the same table.
class Iri {
 public:
  Iri() = default;
  explicit Iri(std::string_view text);  // a fresh, uninterned IRI
  Iri(const Iri& o) noexcept : rep_(o.rep_) { retain(); }
  Iri(Iri&& o) noexcept : rep_(o.rep_) { o.rep_ = nullptr; }
  Iri& operator=(const Iri& o) noexcept {
    if (rep_ != o.rep_) { o.retain(); release(); rep_ = o.rep_; }
    return *this;
  }
  Iri& operator=(Iri&& o) noexcept {
    if (this != &o) { release(); rep_ = o.rep_; o.rep_ = nullptr; }
    return *this;
  }
  ~Iri() { release(); }

  std::string_view str() const noexcept {
    return rep_ ? std::string_view(rep_->text(), rep_->size) : std::string_view();
  }
  bool empty() const noexcept { return str().empty(); }
  uint64_t hash() const noexcept { return rep_ ? rep_->hash : internal::hash_text({}); }
  // Equal for IRIs shared from one interning; a cache key, not an equality test.
  const void* identity() const noexcept { return rep_; }
  // The IRI's position in the IriTable that made it (dense from 0, in interning
  // order), or kNoTableIndex. IRIs of two tables may share a position, so a cache
  // indexed by it checks `identity` as well.
  static constexpr uint32_t kNoTableIndex = ~uint32_t{0};
  uint32_t table_index() const noexcept { return rep_ ? rep_->table_index : kNoTableIndex; }

  friend bool operator==(const Iri& a, const Iri& b) noexcept {
    return a.rep_ == b.rep_ || (a.hash() == b.hash() && a.str() == b.str());
  }
  friend std::strong_ordering operator<=>(const Iri& a, const Iri& b) noexcept {
    if (a.rep_ == b.rep_) return std::strong_ordering::equal;
    return a.str().compare(b.str()) <=> 0;
  }

 private:
  friend class IriTable;
  explicit Iri(internal::IriRep* rep) noexcept : rep_(rep) {}
  void retain() const noexcept {
    if (rep_) rep_->refs.fetch_add(1, std::memory_order_relaxed);
  }
  void release() noexcept {
    if (rep_ && rep_->refs.fetch_sub(1, std::memory_order_acq_rel) == 1)
      internal::IriRep::destroy(rep_);
    rep_ = nullptr;
  }
  internal::IriRep* rep_ = nullptr;
};

struct IriHash {
  size_t operator()(const Iri& iri) const noexcept { return static_cast<size_t>(iri.hash()); }
};

// Hands out one shared Iri per distinct text, so that a reader stores each IRI once.
// The IRIs outlive the table.
class IriTable {
 public:
  Iri intern(std::string_view text);
  // A new IRI with the table's next index, not looked up or stored: for a reader
  // that already keeps each distinct name once in an index of its own.
  Iri numbered(std::string_view text);
  size_t size() const noexcept { return map_.size(); }

 private:
  struct ViewHash {
    size_t operator()(std::string_view v) const noexcept {
      return static_cast<size_t>(internal::hash_text(v));
    }
  };
  tsl::robin_map<std::string_view, Iri, ViewHash> map_;
  uint32_t next_index_ = 0;
};

}  // namespace kelmon::owl
