#include "tableau/hyper/internal/stack_guard.h"

#include <pthread.h>
#include <sys/mman.h>
#include <ucontext.h>

#include <cstdint>
#include <exception>
#include <new>

namespace kelmon::hyper_internal {

namespace {

// The lowest usable address of the stack this thread runs on now: the
// thread's own stack (learned once) or the segment it is on.
struct StackBounds {
  bool known = false;
  std::uintptr_t low = 0;
};

thread_local bool t_thread_bounds_read = false;
thread_local StackBounds t_thread_bounds;
thread_local StackBounds t_segment;  // set while running on a segment

StackBounds thread_bounds() {
  if (!t_thread_bounds_read) {
    t_thread_bounds_read = true;
    pthread_attr_t attr;
    if (pthread_getattr_np(pthread_self(), &attr) == 0) {
      void* addr = nullptr;
      std::size_t size = 0;
      std::size_t guard = 0;
      if (pthread_attr_getstack(&attr, &addr, &size) == 0 && addr != nullptr && size != 0) {
        pthread_attr_getguardsize(&attr, &guard);
        t_thread_bounds = {true, reinterpret_cast<std::uintptr_t>(addr) + guard};
      }
      pthread_attr_destroy(&attr);
    }
  }
  return t_thread_bounds;
}

struct SegmentCall {
  void (*fn)(void*) = nullptr;
  void* arg = nullptr;
  std::exception_ptr error;
  ucontext_t caller{};
};

thread_local SegmentCall* t_call = nullptr;

void segment_entry() {
  SegmentCall* call = t_call;
  try {
    call->fn(call->arg);
  } catch (...) {
    call->error = std::current_exception();
  }
  // Returning lets uc_link switch back to the caller.
}

}  // namespace

std::size_t stack_remaining() {
  const StackBounds bounds = t_segment.known ? t_segment : thread_bounds();
  if (!bounds.known) return 0;
  char marker = 0;
  const auto here = reinterpret_cast<std::uintptr_t>(&marker);
  return here > bounds.low ? here - bounds.low : 0;
}

void run_on_fresh_segment(void (*fn)(void*), void* arg) {
  // A guard page below the segment turns an overrun into a fault, not corruption.
  const std::size_t page = 4096;
  void* mem = mmap(nullptr, kSegmentSize + page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
  if (mem == MAP_FAILED) throw std::bad_alloc();
  mprotect(mem, page, PROT_NONE);
  SegmentCall call;
  call.fn = fn;
  call.arg = arg;
  ucontext_t segment{};
  getcontext(&segment);
  segment.uc_stack.ss_sp = static_cast<char*>(mem) + page;
  segment.uc_stack.ss_size = kSegmentSize;
  segment.uc_link = &call.caller;
  makecontext(&segment, segment_entry, 0);

  SegmentCall* outer_call = t_call;
  const StackBounds outer_segment = t_segment;
  t_call = &call;
  t_segment = {true, reinterpret_cast<std::uintptr_t>(mem) + page};
  swapcontext(&call.caller, &segment);
  t_call = outer_call;
  t_segment = outer_segment;
  munmap(mem, kSegmentSize + page);
  if (call.error) std::rethrow_exception(call.error);
}

}  // namespace kelmon::hyper_internal
