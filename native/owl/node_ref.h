#pragma once
// Shared, immutable nodes of the OWL 2 model (class expressions, data ranges,
// annotation sets). Copies share the node; the last release frees it, and freeing
// never recurses on the C stack however deep the nesting.
#include <atomic>
#include <cstdint>
#include <utility>

namespace kelmon::owl {

struct NodeBase {
  mutable std::atomic<uint32_t> refs{1};
  virtual ~NodeBase() = default;
};

namespace internal {
// Frees a node whose count reached zero. Children released while a node is being
// freed are queued and freed by the outermost call, one after the other.
void free_node(NodeBase* node) noexcept;
}  // namespace internal

template <class T>
class NodeRef {
 public:
  NodeRef() = default;
  explicit NodeRef(T* fresh) noexcept : p_(fresh) {}  // takes the initial reference
  NodeRef(const NodeRef& o) noexcept : p_(o.p_) { retain(); }
  NodeRef(NodeRef&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  NodeRef& operator=(const NodeRef& o) noexcept {
    if (p_ != o.p_) { o.retain(); release(); p_ = o.p_; }
    return *this;
  }
  NodeRef& operator=(NodeRef&& o) noexcept {
    if (this != &o) { release(); p_ = std::exchange(o.p_, nullptr); }
    return *this;
  }
  ~NodeRef() { release(); }

  const T* get() const noexcept { return p_; }
  const T& operator*() const noexcept { return *p_; }
  const T* operator->() const noexcept { return p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }

 private:
  void retain() const noexcept {
    if (p_) p_->refs.fetch_add(1, std::memory_order_relaxed);
  }
  void release() noexcept {
    if (p_ && p_->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) internal::free_node(p_);
    p_ = nullptr;
  }
  T* p_ = nullptr;
};

}  // namespace kelmon::owl
