#include "core/concept_pool.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "common/invariant.h"
#include "common/seeded_hash.h"

namespace kelmon {

namespace {

constexpr std::uint64_t kU32Max = std::numeric_limits<std::uint32_t>::max();

std::uint32_t short_hash(std::uint64_t h) {
  auto s = static_cast<std::uint32_t>(h >> 32);
  // All-ones hash plus all-ones id would read as an empty slot.
  return s == 0xffffffffu ? 0xfffffffeu : s;
}

// Sorts ascending by unsigned id and removes duplicates.
void sort_unique(std::vector<ConceptId>& list) {
  std::sort(list.begin(), list.end());
  list.erase(std::unique(list.begin(), list.end()), list.end());
}

}  // namespace

ConceptPool::ConceptPool() : seed_(fresh_hash_seed()) {}

ConceptPool::ConceptPool(const ConceptPool& other)
    : size_(other.size_), slots_(other.slots_), seed_(other.seed_), bottom_(other.bottom_.load()) {
  chunks_.reserve(other.chunks_.size());
  for (std::size_t c = 0; c < other.chunks_.size(); ++c) {
    chunks_.push_back(std::make_unique<Concept[]>(kChunkSize));
    std::size_t begin = c * kChunkSize;
    std::size_t end = std::min(size_, begin + kChunkSize);
    for (std::size_t i = begin; i < end; ++i) chunks_[c][i - begin] = other.chunks_[c][i - begin];
  }
}

ConceptPool& ConceptPool::operator=(const ConceptPool& other) {
  if (this != &other) *this = ConceptPool(other);
  return *this;
}

ConceptPool::ConceptPool(ConceptPool&& other) noexcept
    : chunks_(std::move(other.chunks_)),
      size_(std::exchange(other.size_, 0)),
      slots_(std::move(other.slots_)),
      seed_(other.seed_),
      bottom_(other.bottom_.exchange(kBottomUnset)) {}

ConceptPool& ConceptPool::operator=(ConceptPool&& other) noexcept {
  if (this != &other) {
    chunks_ = std::move(other.chunks_);
    size_ = std::exchange(other.size_, 0);
    slots_ = std::move(other.slots_);
    seed_ = other.seed_;
    bottom_.store(other.bottom_.exchange(kBottomUnset));
  }
  return *this;
}

ConceptPool::~ConceptPool() = default;

const Concept& ConceptPool::get(ConceptId id) const {
  invariant(id.v < size_, "ConceptPool: value id out of range");
  return slot_ref(id.v);
}

std::optional<ConceptId> ConceptPool::find(const Concept& value, std::uint32_t hash) const {
  std::size_t mask = slots_.size() - 1;
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    std::uint64_t s = slots_[i];
    if (s == kEmptySlot) return std::nullopt;
    if (static_cast<std::uint32_t>(s >> 32) == hash) {
      auto id = static_cast<std::uint32_t>(s);
      if (slot_ref(id) == value) return ConceptId{id};
    }
  }
}

void ConceptPool::insert_slot(std::uint32_t hash, std::uint32_t id) {
  std::size_t mask = slots_.size() - 1;
  std::size_t i = hash & mask;
  while (slots_[i] != kEmptySlot) i = (i + 1) & mask;
  slots_[i] = (std::uint64_t{hash} << 32) | id;
}

void ConceptPool::grow_index() {
  std::vector<std::uint64_t> old = std::move(slots_);
  slots_.assign(old.empty() ? 64 : old.size() * 2, kEmptySlot);
  for (std::uint64_t s : old)
    if (s != kEmptySlot) insert_slot(static_cast<std::uint32_t>(s >> 32), static_cast<std::uint32_t>(s));
}

void ConceptPool::append(Concept&& value) {
  if ((size_ & (kChunkSize - 1)) == 0 && (size_ >> kChunkBits) == chunks_.size())
    chunks_.push_back(std::make_unique<Concept[]>(kChunkSize));
  slot_ref(size_) = std::move(value);
  ++size_;
}

namespace {

// The largest payload id of a concept, or nothing when it has none.
std::optional<std::uint32_t> largest_payload_id(const Concept& c) {
  auto list_max = [](const std::vector<ConceptId>& list) -> std::optional<std::uint32_t> {
    if (list.empty()) return std::nullopt;
    return std::max_element(list.begin(), list.end())->v;
  };
  switch (concept_kind(c)) {
    case ConceptKind::Not: return std::get<Not>(c).operand.v;
    case ConceptKind::And: return list_max(std::get<And>(c).members);
    case ConceptKind::Or: return list_max(std::get<Or>(c).members);
    case ConceptKind::Some: return std::get<Some>(c).filler.v;
    case ConceptKind::All: return std::get<All>(c).filler.v;
    case ConceptKind::Min: return std::get<Min>(c).filler.v;
    case ConceptKind::Max: return std::get<Max>(c).filler.v;
    default: return std::nullopt;
  }
}

}  // namespace

ConceptId ConceptPool::intern(Concept value) {
  // Payloads may only name stored concepts: this keeps the pool acyclic, so
  // every walk over it ends.
  if (auto largest = largest_payload_id(value))
    invariant(*largest < size_, "ConceptPool: value id out of range");
  std::uint32_t hash = short_hash(concept_hash(value, seed_));
  if (size_ > 0)
    if (auto found = find(value, hash)) return *found;
  invariant(size_ <= kU32Max, "ConceptPool size exceeds u32::MAX");
  // Keep the load factor at most one half so probes stay short.
  if ((size_ + 1) * 2 > slots_.size()) grow_index();
  auto id = static_cast<std::uint32_t>(size_);
  append(std::move(value));
  insert_slot(hash, id);
  return ConceptId{id};
}

ConceptId ConceptPool::mk_or(std::vector<ConceptId> members) {
  std::vector<ConceptId> work;
  work.reserve(members.size());
  bool saw_top = false;
  // Every member is looked up, also after a Top: an invalid id always fails.
  for (ConceptId m : members) {
    const Concept& c = get(m);
    if (std::holds_alternative<Top>(c)) {
      saw_top = true;
    } else if (std::holds_alternative<Bottom>(c)) {
      continue;
    } else if (const Or* nested = std::get_if<Or>(&c)) {
      work.insert(work.end(), nested->members.begin(), nested->members.end());
    } else {
      work.push_back(m);
    }
  }
  if (saw_top) return intern(Top{});
  sort_unique(work);
  if (work.size() == 1) return work.front();
  if (work.empty()) return intern(Bottom{});
  work.shrink_to_fit();
  return intern(Or{std::move(work)});
}

ConceptId ConceptPool::mk_and(std::vector<ConceptId> members) {
  std::vector<ConceptId> work;
  work.reserve(members.size());
  bool saw_bottom = false;
  for (ConceptId m : members) {
    const Concept& c = get(m);
    if (std::holds_alternative<Bottom>(c)) {
      saw_bottom = true;
    } else if (std::holds_alternative<Top>(c)) {
      continue;
    } else if (const And* nested = std::get_if<And>(&c)) {
      work.insert(work.end(), nested->members.begin(), nested->members.end());
    } else {
      work.push_back(m);
    }
  }
  if (saw_bottom) return intern(Bottom{});
  sort_unique(work);
  if (work.size() == 1) return work.front();
  if (work.empty()) return intern(Top{});
  work.shrink_to_fit();
  return intern(And{std::move(work)});
}

ConceptId ConceptPool::mk_and_pair(ConceptId a, ConceptId b) { return mk_and({a, b}); }

ConceptId ConceptPool::mk_min(std::uint32_t n, Role role, ConceptId filler) {
  if (n == 0) return intern(Top{});
  return intern(Min{n, filler, role});
}

std::optional<ConceptId> ConceptPool::bottom_id() const {
  std::uint64_t cached = bottom_.load(std::memory_order_acquire);
  if (cached != kBottomUnset) return ConceptId{static_cast<std::uint32_t>(cached)};
  for (std::size_t i = 0; i < size_; ++i) {
    invariant(i <= kU32Max, "pool size fits in u32");
    if (std::holds_alternative<Bottom>(slot_ref(i))) {
      std::uint64_t expected = kBottomUnset;
      // Another reader may have set it meanwhile; the concept is the same.
      bottom_.compare_exchange_strong(expected, i, std::memory_order_acq_rel);
      return ConceptId{static_cast<std::uint32_t>(i)};
    }
  }
  return std::nullopt;
}

}  // namespace kelmon
