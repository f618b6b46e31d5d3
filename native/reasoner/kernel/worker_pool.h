// The process-wide worker pool: one oneTBB arena whose worker threads get the
// configured stack size. Classification and materialization configure it
// before their first parallel work; any other parallel work creates it with
// the default stack size, and a later configuration then has no effect.
#pragma once

#include <cstddef>

#include <oneapi/tbb/task_arena.h>

namespace kelmon::reasoner {

inline constexpr std::size_t kDefaultWorkerStackBytes = std::size_t{32} << 20;

// The worker stack size KELMON_WORKER_STACK_MB (MiB) asks for: 32 MiB when
// unset, invalid, overflowing or 0.
std::size_t configured_worker_stack_bytes();

// Once per process: creates the pool with the stack size of KELMON_WORKER_STACK_MB.
// Does nothing when the pool already exists.
void init_global_pool();

// The pool's arena, created on first use with the default stack size.
oneapi::tbb::task_arena& global_pool();

// The worker stack size the pool was created with (0 before it exists).
std::size_t global_pool_stack_bytes();

}  // namespace kelmon::reasoner
