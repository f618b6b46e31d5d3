#include "owl/reader_fault.h"

#include "common/invariant.h"

namespace kelmon::owl {

namespace {
thread_local bool g_armed = false;
}  // namespace

ReaderFault::ReaderFault() { g_armed = true; }
ReaderFault::~ReaderFault() { g_armed = false; }

void reader_fault_point() {
  if (!g_armed) return;
  g_armed = false;
  invariant_failure("reader fault set by a test");
}

}  // namespace kelmon::owl
