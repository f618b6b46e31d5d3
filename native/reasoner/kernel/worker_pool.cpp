#include "reasoner/kernel/worker_pool.h"

#include <atomic>
#include <limits>
#include <memory>
#include <mutex>

#include <oneapi/tbb/global_control.h>

#include "common/switches.h"

namespace kelmon::reasoner {

namespace {

struct Pool {
  explicit Pool(std::size_t stack_bytes)
      : stack(oneapi::tbb::global_control::thread_stack_size, stack_bytes), stack_bytes(stack_bytes) {
    arena.initialize();
  }
  // Kept alive with the arena: the setting holds only while the object exists.
  oneapi::tbb::global_control stack;
  oneapi::tbb::task_arena arena;
  std::size_t stack_bytes;
};

std::mutex g_create_mutex;
// Never freed: the pool lives until the process ends, past static destructors.
std::atomic<Pool*> g_pool{nullptr};
std::once_flag g_configure_once;

Pool& pool_with_stack(std::size_t stack_bytes) {
  std::lock_guard lock(g_create_mutex);
  Pool* pool = g_pool.load(std::memory_order_acquire);
  if (pool == nullptr) {
    pool = new Pool(stack_bytes);
    g_pool.store(pool, std::memory_order_release);
  }
  return *pool;
}

}  // namespace

std::size_t configured_worker_stack_bytes() {
  std::optional<std::uint64_t> mib = switch_number_if_set(SwitchId::WorkerStackMb);
  if (!mib || *mib == 0 || *mib > (std::numeric_limits<std::size_t>::max() >> 20)) return kDefaultWorkerStackBytes;
  return static_cast<std::size_t>(*mib) << 20;
}

void init_global_pool() {
  std::call_once(g_configure_once, [] { pool_with_stack(configured_worker_stack_bytes()); });
}

oneapi::tbb::task_arena& global_pool() {
  if (Pool* pool = g_pool.load(std::memory_order_acquire)) return pool->arena;
  return pool_with_stack(kDefaultWorkerStackBytes).arena;
}

std::size_t global_pool_stack_bytes() {
  Pool* pool = g_pool.load(std::memory_order_acquire);
  return pool == nullptr ? 0 : pool->stack_bytes;
}

}  // namespace kelmon::reasoner
