#include "reasoner/kernel/big_stack_thread.h"

#include <pthread.h>

#include <exception>

#include "common/invariant.h"

namespace kelmon::reasoner::detail {

namespace {

struct ThreadWork {
  void (*call)(void*);
  void* context;
  std::exception_ptr failure;
};

void* thread_main(void* arg) {
  auto* work = static_cast<ThreadWork*>(arg);
  try {
    work->call(work->context);
  } catch (...) {
    work->failure = std::current_exception();
  }
  return nullptr;
}

}  // namespace

void run_on_thread(std::size_t stack_bytes, void (*call)(void*), void* context, std::string_view spawn_failure) {
  ThreadWork work{call, context, nullptr};
  pthread_attr_t attr;
  invariant(pthread_attr_init(&attr) == 0, spawn_failure);
  bool ok = pthread_attr_setstacksize(&attr, stack_bytes) == 0;
  pthread_t thread{};
  ok = ok && pthread_create(&thread, &attr, thread_main, &work) == 0;
  pthread_attr_destroy(&attr);
  invariant(ok, spawn_failure);
  pthread_join(thread, nullptr);
  if (work.failure) std::rethrow_exception(work.failure);
}

}  // namespace kelmon::reasoner::detail
