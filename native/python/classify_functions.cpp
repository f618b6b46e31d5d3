// classify and classify_bytes.
#include <array>

#include "python/binding.h"
#include "python/classification_type.h"
#include "python/errors.h"
#include "python/implementations.h"
#include "python/loading.h"
#include "reasoner/classify/classify_driver.h"

namespace kelmon::py {

namespace {

struct ClassifyOptions {
  std::optional<std::uint64_t> per_pair_timeout_ms = 100;
  std::optional<std::uint64_t> global_deadline_ms = 60000;
  bool saturation_only = false;
};

// The three keyword-only bounds, from bound[first..first+2]; absent ones keep their defaults.
bool read_options(PyObject* const* bound, ClassifyOptions& out) {
  if (bound[0] != nullptr) {
    auto v = to_optional_u64(bound[0], "per_pair_timeout_ms");
    if (!v) return false;
    out.per_pair_timeout_ms = *v;
  }
  if (bound[1] != nullptr) {
    auto v = to_optional_u64(bound[1], "global_deadline_ms");
    if (!v) return false;
    out.global_deadline_ms = *v;
  }
  if (bound[2] != nullptr) {
    auto v = to_bool(bound[2], "saturation_only");
    if (!v) return false;
    out.saturation_only = *v;
  }
  return true;
}

PyObject* classify_loaded(const owl::LoadedOntology& loaded, const ClassifyOptions& options) {
  auto result = reasoner::run_classify(loaded, options.per_pair_timeout_ms, options.global_deadline_ms,
                                       options.saturation_only);
  if (!result) return reasoner_error_to_py(std::move(result.error()));
  return wrap_classification(std::move(*result));
}

}  // namespace

PyObject* impl_classify(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static constexpr std::array<ArgSpec, 4> kSpecs = {{{"path"},
                                                     {"per_pair_timeout_ms", ArgKind::KeywordOnly, false},
                                                     {"global_deadline_ms", ArgKind::KeywordOnly, false},
                                                     {"saturation_only", ArgKind::KeywordOnly, false}}};
  std::array<PyObject*, 4> bound{};
  if (!bind_arguments("classify", kSpecs, args, nargs, kwnames, bound)) return nullptr;
  auto path = to_string(bound[0], "path");
  if (!path) return nullptr;
  ClassifyOptions options;
  if (!read_options(&bound[1], options)) return nullptr;
  auto loaded = load_or_raise(*path);
  if (!loaded) return nullptr;
  return classify_loaded(*loaded, options);
}

PyObject* impl_classify_bytes(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static constexpr std::array<ArgSpec, 5> kSpecs = {{{"data"},
                                                     {"format", ArgKind::KeywordOnly, true},
                                                     {"per_pair_timeout_ms", ArgKind::KeywordOnly, false},
                                                     {"global_deadline_ms", ArgKind::KeywordOnly, false},
                                                     {"saturation_only", ArgKind::KeywordOnly, false}}};
  std::array<PyObject*, 5> bound{};
  if (!bind_arguments("classify_bytes", kSpecs, args, nargs, kwnames, bound)) return nullptr;
  auto data = to_bytes(bound[0], "data");
  if (!data) return nullptr;
  auto format = to_string(bound[1], "format");
  if (!format) return nullptr;
  ClassifyOptions options;
  if (!read_options(&bound[2], options)) return nullptr;
  auto loaded = parse_bytes_or_raise(*data, *format);
  if (!loaded) return nullptr;
  return classify_loaded(*loaded, options);
}

}  // namespace kelmon::py
