#include "reasoner/classify/label_cache.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "common/switches.h"
#include "core/told.h"
#include "reasoner/fragment.h"
#include "reasoner/kernel/parallel_loop.h"

namespace kelmon::reasoner {

namespace {

// The longest label budget, and the most a per-pair bound counts for.
constexpr std::uint64_t kLabelBudgetCapMs = 30000;

std::uint64_t whole_ms(Clock::duration t) {
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(t).count());
}

}  // namespace

std::uint64_t label_budget_ms(Timeout per_pair_timeout, std::uint64_t) {
  if (auto v = switch_number_if_set(SwitchId::LabelCacheTimeoutMs)) return *v;
  if (!per_pair_timeout) return kLabelBudgetCapMs;
  // A label run is worth about one pair test: the runs that outlast it are
  // the ones that diverge, and a larger budget only keeps workers from the
  // classes still waiting for theirs.
  return std::clamp<std::uint64_t>(whole_ms(*per_pair_timeout), 50, kLabelBudgetCapMs);
}

Instant label_phase_deadline(Deadline global) {
  const Instant two_seconds = *deadline_after(Clock::now(), std::chrono::seconds(2));
  return global && *global < two_seconds ? *global : two_seconds;
}

std::vector<bool> tainted_classes(const InternalOntology& ir, std::size_t class_count) {
  std::vector<bool> tainted(class_count, false);
  // Each axiom is judged beside the ontology's functional-role axioms, which
  // are all the context the Horn table needs besides the roles in use.
  InternalOntology one{ir.vocabulary, ir.concepts, {}, {}};
  std::vector<Axiom> context;
  for (const Axiom& a : ir.axioms)
    if (std::holds_alternative<FunctionalRole>(a) || std::holds_alternative<InverseFunctionalRole>(a))
      context.push_back(a);
  std::vector<ClassId> signature;
  for (const Axiom& a : ir.axioms) {
    one.axioms = context;
    one.axioms.push_back(a);
    if (is_horn(one, false)) continue;
    axiom_class_signature(a, ir.concepts, signature);
    for (ClassId c : signature)
      if (c.v < class_count) tainted[c.v] = true;
  }
  return tainted;
}

std::string label_dump_text(const std::vector<ClassLabel>& labels, const sat::ElResult& saturation,
                            const std::vector<std::uint64_t>& times_us, const std::vector<bool>& tainted,
                            const ReportableClasses& reportable) {
  std::string out;
  for (std::size_t i = 0; i < labels.size(); ++i) {
    out += std::to_string(i);
    if (const auto* sat = std::get_if<LabelSat>(&labels[i])) {
      std::vector<std::uint32_t> ids(sat->label.begin(), sat->label.end());
      std::sort(ids.begin(), ids.end());
      out += " sat";
      for (std::uint32_t id : ids) out += " " + std::to_string(id);
      out += "\n";
    } else {
      out += std::holds_alternative<LabelUnsat>(labels[i]) ? " unsat\n" : " noverdict\n";
    }
  }
  out += "#tainted\n";
  for (std::size_t c = 0; c < tainted.size(); ++c)
    if (tainted[c]) out += std::to_string(c) + "\n";
  out += "#times\n";
  for (std::size_t i = 0; i < times_us.size(); ++i) out += std::to_string(i) + " " + std::to_string(times_us[i]) + "\n";
  out += "#closure\n";
  for (std::size_t i = 0; i < reportable.ids.size(); ++i) {
    out += std::to_string(i);
    for (std::uint32_t id : saturation.subsumers.row_sorted(reportable.ids[i].v)) out += " " + std::to_string(id);
    out += "\n";
  }
  return out;
}

namespace {

// The budgets of the label runs tried again, in pair tests.
constexpr std::array<std::uint64_t, 2> kLabelRetryPairs{10, 100};

// Writes the dump; failures are reported and never stop the classification.
void write_dump(const std::string& path, const std::string& text, std::size_t count) {
  std::string error;
  if (path.find('\0') != std::string::npos) {
    error = "path contains a NUL byte";
  } else {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
      error = std::strerror(errno);
    } else {
      std::size_t done = 0;
      while (done < text.size()) {
        ssize_t w = ::write(fd, text.data() + done, text.size() - done);
        if (w < 0) {
          if (errno == EINTR) continue;
          error = std::strerror(errno);
          break;
        }
        done += static_cast<std::size_t>(w);
      }
      if (::close(fd) != 0 && error.empty()) error = std::strerror(errno);
    }
  }
  if (error.empty())
    std::fprintf(stderr, "label dump: %zu classes -> %s\n", count, path.c_str());
  else
    std::fprintf(stderr, "label dump failed (%s): %s\n", path.c_str(), error.c_str());
}

bool decided(const ClassLabel& label) { return !std::holds_alternative<LabelNoVerdict>(label); }

bool out_of_time(const ClassLabel& label) {
  const auto* none = std::get_if<LabelNoVerdict>(&label);
  return none != nullptr && none->out_of_time;
}

// Runs the labels cut by their per-class budget again with longer ones. A
// row without a label is searched with a bounded test per candidate, each
// about as costly as the label run itself, and a label that never branched
// decides every candidate of its row at once. Each round may take at most half
// the time left, so that runs which never end leave the rest to the search.
void retry_out_of_time(const LabelPhaseInput& in, std::uint64_t budget, Deadline total,
                       std::vector<ClassLabel>& labels, std::vector<std::uint64_t>& times) {
  if (!in.per_pair_timeout || switch_number_if_set(SwitchId::LabelCacheTimeoutMs)) return;
  // Capped before it is multiplied, so that a huge bound cannot wrap around.
  const std::uint64_t pair_ms = std::min(whole_ms(*in.per_pair_timeout), kLabelBudgetCapMs);
  for (std::uint64_t pairs : kLabelRetryPairs) {
    const std::uint64_t retry_ms = std::min(pair_ms * pairs, kLabelBudgetCapMs);
    if (retry_ms <= budget) continue;
    budget = retry_ms;
    std::vector<std::size_t> rows;
    for (std::size_t row = 0; row < labels.size(); ++row)
      if (out_of_time(labels[row])) rows.push_back(row);
    if (rows.empty() || expired(total)) return;
    Deadline round = total;
    if (total) round = Clock::now() + (*total - Clock::now()) / 2;
    const Timeout per_class = timeout_from_ms(retry_ms);
    StopFlag stop;
    parallel_items(rows.size(), stop, [&](std::size_t i) {
      const std::size_t row = rows[i];
      if (expired(round)) return true;
      const Instant t = Clock::now();
      ClassLabel label = compute_class_label(in.prepared, in.reportable.ids[row], test_deadline(round, per_class));
      if (!times.empty()) times[row] += elapsed_us(t);
      if (decided(label)) labels[row] = std::move(label);
      return true;
    });
  }
}

}  // namespace

std::vector<ClassLabel> label_cache_phase(const LabelPhaseInput& in, ClassifyStats& stats) {
  const Instant t_label = Clock::now();
  const std::size_t n = in.reportable.ids.size();
  std::vector<std::uint64_t> times;
  if (switch_text(SwitchId::DumpLabels)) times.assign(n, 0);
  std::vector<ClassLabel> labels;

  if (!switch_flag(SwitchId::LabelHeuristic)) {
    labels.assign(n, LabelNoVerdict{});
  } else {
    std::uint64_t budget = label_budget_ms(in.per_pair_timeout, n);
    std::vector<std::optional<ClassLabel>> prefill(n);
    const bool given = switch_number_if_set(SwitchId::LabelCacheTimeoutMs).has_value();
    if (switch_flag(SwitchId::LabelCacheProbe) && n >= 2 && budget >= 1 && budget <= 999 && !given) {
      const std::size_t samples = std::min<std::size_t>(n, 8);
      const std::size_t stride = std::max<std::size_t>(n / samples, 1);
      for (std::size_t i = 0; i < samples; ++i) {
        const std::size_t row = std::min(i * stride, n - 1);
        const ClassId c = in.reportable.ids[row];
        Deadline d = earlier(deadline_after(Clock::now(), std::chrono::milliseconds(budget)), in.deadline);
        ClassLabel label = compute_class_label(in.prepared, c, d);
        if (decided(label)) {
          prefill[row] = std::move(label);
          continue;
        }
        ClassLabel retry = compute_class_label(in.prepared, c, label_phase_deadline(in.deadline));
        if (decided(retry)) {
          prefill[row] = std::move(retry);
          budget = 1000;
        }
        break;
      }
    }
    const Timeout per_class = timeout_from_ms(budget);
    Deadline total = in.deadline;
    if (auto m = switch_number_if_set(SwitchId::LabelCacheTotalMs); m && *m != 0)
      total = earlier(deadline_after(t_label, timeout_from_ms(*m)), in.deadline);

    std::vector<std::optional<ClassLabel>> slots(n);
    StopFlag stop;
    parallel_items(n, stop, [&](std::size_t row) {
      if (prefill[row]) {
        slots[row] = *prefill[row];
        return true;
      }
      if (expired(total)) {
        slots[row] = LabelNoVerdict{};
        return true;
      }
      const Instant t = Clock::now();
      slots[row] = compute_class_label(in.prepared, in.reportable.ids[row], test_deadline(total, per_class));
      if (!times.empty()) times[row] = elapsed_us(t);
      return true;
    });
    labels.reserve(n);
    for (auto& s : slots) labels.push_back(std::move(*s));
    retry_out_of_time(in, budget, total, labels, times);
  }
  stats.label_ms = elapsed_ms(t_label);
  if (auto path = switch_text(SwitchId::DumpLabels)) {
    std::string text = label_dump_text(labels, in.saturation, times,
                                       tainted_classes(in.ir, in.ir.vocabulary.classes.size()), in.reportable);
    write_dump(*path, text, labels.size());
  }
  return labels;
}

}  // namespace kelmon::reasoner
