// The saturation-only oracle mode: while a search runs on an ontology that
// ABox saturation alone already finds inconsistent, its inconsistency tests
// are answered by saturation, so the justifications found are minimal with
// respect to what saturation detects. The mode is one byte per thread.
#pragma once

#include <cstdint>
#include <vector>

#include "owl/model.h"
#include "reasoner/explanation/oracle.h"
#include "reasoner/explanation/query.h"

namespace kelmon::explain {

// 0: full consistency tests; 1: ABox saturation alone. 0 at thread start.
std::uint8_t saturation_oracle_mode();
void set_saturation_oracle_mode(std::uint8_t mode);

// Returned by enable_saturation_oracle when it changed nothing.
inline constexpr std::uint8_t kOracleModeUnchanged = 2;

// For an Inconsistent query on an ontology that saturation alone finds
// inconsistent (and unless KELMON_JUSTIFY_SAT_ORACLE is "0"): sets this
// thread's mode to 1 and returns the previous mode; otherwise returns
// kOracleModeUnchanged.
std::uint8_t enable_saturation_oracle(EntailmentOracle& oracle, const std::vector<owl::Axiom>& non_logical,
                                      const std::vector<owl::Axiom>& logical, const JustifyQuery& query);

// Puts the mode back when a search ends, on every way out.
class OracleModeRestore {
 public:
  explicit OracleModeRestore(std::uint8_t previous) : previous_(previous) {}
  OracleModeRestore(const OracleModeRestore&) = delete;
  OracleModeRestore& operator=(const OracleModeRestore&) = delete;
  ~OracleModeRestore() {
    if (previous_ != kOracleModeUnchanged) set_saturation_oracle_mode(previous_);
  }

 private:
  std::uint8_t previous_;
};

// The process-wide number of the next "[justify-trace]" inconsistency line
// (1 for the first); atomic, never reset.
std::uint64_t next_justify_trace_call();

}  // namespace kelmon::explain
