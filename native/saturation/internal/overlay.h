// Containers of the engine that a look-ahead probe can layer over a finished
// engine's: reads fall through to the base, writes stay in the layer. A probe
// touches a handful of ids, so it pays for those instead of a copy of every
// list of the engine. A base must outlive its layers and not change meanwhile.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include <tsl/robin_set.h>

#include "common/invariant.h"

namespace kelmon::sat {

// One list per id. Lists are read by reference: a layer keeps its changed
// lists in a node map, so a list read stays valid while other ids' lists grow.
template <class T>
class IdLists {
 public:
  void assign(std::size_t n) {
    own_.assign(n, {});
    count_ = n;
  }
  void resize(std::size_t n) {
    if (n <= count_) return;
    count_ = n;
    if (base_ == nullptr) own_.resize(n);
  }
  std::size_t size() const { return count_; }

  const std::vector<T>& operator[](std::size_t id) const {
    invariant(id < count_, "engine list: id past the end");
    if (base_ == nullptr) return own_[id];
    if (auto it = delta_.find(id); it != delta_.end()) return it->second;
    return id < base_->count_ ? (*base_)[id] : empty_;
  }

  void push(std::size_t id, T value) { mutable_list(id).push_back(value); }

  static IdLists layer_over(const IdLists& base) {
    IdLists l;
    l.base_ = &base;
    l.count_ = base.count_;
    return l;
  }

 private:
  std::vector<T>& mutable_list(std::size_t id) {
    invariant(id < count_, "engine list: id past the end");
    if (base_ == nullptr) return own_[id];
    auto it = delta_.find(id);
    if (it == delta_.end())
      it = delta_.emplace(id, id < base_->count_ ? (*base_)[id] : std::vector<T>{}).first;
    return it->second;
  }

  std::vector<std::vector<T>> own_;
  std::size_t count_ = 0;
  const IdLists* base_ = nullptr;
  std::unordered_map<std::size_t, std::vector<T>> delta_;
  inline static const std::vector<T> empty_{};
};

// An append-only log of items: indices below the base's length read the base.
template <class T>
class AppendLog {
 public:
  std::size_t size() const { return base_size_ + own_.size(); }
  bool empty() const { return size() == 0; }
  const T& operator[](std::size_t i) const { return i < base_size_ ? (*base_)[i] : own_[i - base_size_]; }
  const T& at(std::size_t i) const {
    invariant(i < size(), "engine log: index past the end");
    return (*this)[i];
  }
  void push_back(const T& item) { own_.push_back(item); }
  // Every item in order, base first.
  std::vector<T> to_vector() const {
    std::vector<T> out;
    out.reserve(size());
    for (std::size_t i = 0; i < size(); ++i) out.push_back((*this)[i]);
    return out;
  }

  static AppendLog layer_over(const AppendLog& base) {
    AppendLog l;
    l.base_ = &base;
    l.base_size_ = base.size();
    return l;
  }

 private:
  const AppendLog* base_ = nullptr;
  std::size_t base_size_ = 0;
  std::vector<T> own_;
};

// A set that only grows: a layer holds what was added over its base.
template <class T, class Hash>
class GrowingSet {
 public:
  bool contains(const T& item) const {
    return own_.contains(item) || (base_ != nullptr && base_->contains(item));
  }
  // True when the item was not there.
  bool insert(const T& item) {
    if (base_ != nullptr && base_->contains(item)) return false;
    return own_.insert(item).second;
  }

  static GrowingSet layer_over(const GrowingSet& base) {
    GrowingSet s;
    s.base_ = &base;
    return s;
  }

 private:
  const GrowingSet* base_ = nullptr;
  tsl::robin_set<T, Hash> own_;
};

}  // namespace kelmon::sat
