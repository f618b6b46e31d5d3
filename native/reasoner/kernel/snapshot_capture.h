// What pair verification needs to test subsumptions against snapshots of
// finished hypertableau runs: the DL-clauses of the whole ontology, the two
// snapshot caches (filled and read by the pair tests themselves), time
// accumulators and the id bound. Built only when KELMON_SNAPSHOT_CAPTURE is on.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include <oneapi/tbb/concurrent_hash_map.h>

#include "core/ir.h"
#include "tableau/hyper/hyper.h"

namespace kelmon::reasoner {

struct SnapshotCapture {
  std::vector<DlClause> clauses;
  // Class -> the snapshot of a finished run from that class.
  oneapi::tbb::concurrent_hash_map<std::uint32_t, std::shared_ptr<const HyperSnapshot>> snapshot_cache;
  // Superclass -> its refutation clause.
  oneapi::tbb::concurrent_hash_map<std::uint32_t, std::shared_ptr<const std::vector<DlClause>>> snapshot_aux_cache;
  std::atomic<std::uint64_t> build_us{0};  // spent building snapshots
  std::atomic<std::uint64_t> test_us{0};   // spent in snapshot tests
  // Above every class id of a concept or existential atom, and at least the class count.
  std::uint32_t id_bound = 0;
  std::uint8_t logic_profile = 5;
};

// KELMON_SNAPSHOT_CAPTURE is "1", "on", "yes" or "true".
bool snapshot_capture_enabled();

std::unique_ptr<SnapshotCapture> build_snapshot_capture(const InternalOntology& ir);

// Classes whose own logic profile is the plain one (5), and the others.
std::array<std::uint64_t, 2> count_class_profiles(const InternalOntology& ir);

}  // namespace kelmon::reasoner
