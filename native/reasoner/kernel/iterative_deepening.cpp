#include "reasoner/kernel/iterative_deepening.h"

#include <algorithm>

#include "reasoner/kernel/deepening_schedule.h"

namespace kelmon::reasoner {

namespace {

// b − a in whole microseconds, 0 when negative.
std::uint64_t micros_between(Instant a, Instant b) { return b <= a ? 0 : elapsed_us(a, b); }

}  // namespace

completion::SearchOutcome run_tableau_iterative(completion::TableauContext& ctx, Instant deadline,
                                                TableauIdStats& stats) {
  using completion::SearchOutcome;
  const DeepeningSettings settings = deepening_settings();
  const std::vector<std::uint64_t>& schedule = settings.schedule;
  const std::size_t last = schedule.size() - 1;
  const Instant start = Clock::now();

  Instant shallow_deadline = deadline;
  if (settings.shallow_ms != 0) {
    const Clock::duration remaining = deadline > start ? deadline - start : Clock::duration::zero();
    const Clock::duration budget = std::min<Clock::duration>(*timeout_from_ms(settings.shallow_ms), remaining / 4);
    shallow_deadline = std::min(deadline, *deadline_after(start, budget));
  }

  const bool skip_shallow = settings.waste_threshold_us != 0 && stats.waste_us.load() >= settings.waste_threshold_us;
  std::size_t pass = skip_shallow ? last : 0;
  SearchOutcome outcome = SearchOutcome::no_verdict();
  bool decided_shallow = false;
  while (true) {
    if (pass == last) {
      ctx.timed_out = false;
      ctx.deadline = deadline;
    } else {
      ctx.deadline = shallow_deadline;
    }
    outcome = completion::search(ctx, schedule[pass]);
    if (pass == last) break;
    if (outcome.tag != SearchOutcome::Tag::NoVerdict) {
      decided_shallow = true;
      break;
    }
    const Instant now = Clock::now();
    if (now >= deadline) {
      ctx.deadline = deadline;
      ctx.timed_out = true;
      outcome = SearchOutcome::no_verdict();
      break;
    }
    pass = now >= shallow_deadline ? last : pass + 1;
  }

  if (!skip_shallow) {
    if (decided_shallow) {
      stats.decided.fetch_add(1);
    } else {
      stats.missed.fetch_add(1);
      const Instant now = Clock::now();
      stats.waste_us.fetch_add(std::min(micros_between(start, shallow_deadline), micros_between(start, now)));
    }
  }
  return outcome;
}

}  // namespace kelmon::reasoner
