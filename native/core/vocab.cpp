#include "core/vocab.h"

#include <limits>

#include "common/invariant.h"

namespace kelmon {

NameTable::NameTable() : seed_(fresh_hash_seed()) {}

std::uint32_t NameTable::short_hash(std::string_view name) const {
  auto h = static_cast<std::uint32_t>(hash_bytes(name, seed_) >> 32);
  return h == 0xffffffffu ? 0xfffffffeu : h;  // all ones with id all ones would read as empty
}

std::size_t NameTable::probe(std::string_view name, std::uint32_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    const std::uint64_t s = slots_[i];
    if (s == kEmptySlot) return i;
    if (static_cast<std::uint32_t>(s >> 32) == hash && *names_[static_cast<std::uint32_t>(s)] == name) return i;
  }
}

void NameTable::grow_index(std::size_t at_least) {
  std::size_t size = slots_.empty() ? 64 : slots_.size();
  while (size < 2 * at_least) size *= 2;
  if (size == slots_.size()) return;
  std::vector<std::uint64_t> old = std::move(slots_);
  slots_.assign(size, kEmptySlot);
  const std::size_t mask = size - 1;
  for (std::uint64_t s : old) {
    if (s == kEmptySlot) continue;
    std::size_t i = (s >> 32) & mask;
    while (slots_[i] != kEmptySlot) i = (i + 1) & mask;
    slots_[i] = s;
  }
}

void NameTable::reserve(std::size_t n) {
  names_.reserve(n);
  grow_index(n);
}

std::uint32_t NameTable::intern(std::string_view name) {
  const std::uint32_t hash = short_hash(name);
  if (!slots_.empty()) {
    const std::uint64_t s = slots_[probe(name, hash)];
    if (s != kEmptySlot) return static_cast<std::uint32_t>(s);
  }
  invariant(names_.size() <= std::numeric_limits<std::uint32_t>::max(), "Vocabulary: namespace exceeds u32::MAX");
  grow_index(names_.size() + 1);
  auto id = static_cast<std::uint32_t>(names_.size());
  names_.push_back(std::make_shared<const std::string>(name));
  slots_[probe(name, hash)] = (std::uint64_t{hash} << 32) | id;
  return id;
}

std::optional<std::uint32_t> NameTable::find(std::string_view name) const {
  if (slots_.empty()) return std::nullopt;
  const std::uint64_t s = slots_[probe(name, short_hash(name))];
  if (s == kEmptySlot) return std::nullopt;
  return static_cast<std::uint32_t>(s);
}

const std::shared_ptr<const std::string>& NameTable::shared_name(std::uint32_t id) const {
  invariant(id < names_.size(), "Namespace: name id out of range");
  return names_[id];
}

}  // namespace kelmon
