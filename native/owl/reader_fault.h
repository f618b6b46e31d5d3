// Lets a test break an invariant inside a reader, as a bug would, to check
// that the failure reaches the caller unchanged and not as a parse error.
#pragma once

namespace kelmon::owl {

// While one is alive on a thread, the next axiom or RDF statement a reader
// takes on that thread fails the invariant "reader fault set by a test".
class ReaderFault {
 public:
  ReaderFault();
  ~ReaderFault();
  ReaderFault(const ReaderFault&) = delete;
  ReaderFault& operator=(const ReaderFault&) = delete;
};

// Called by the readers at each axiom or statement they take.
void reader_fault_point();

}  // namespace kelmon::owl
