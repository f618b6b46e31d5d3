// Argument binding and conversion for the module's fast-call functions.
// Every converter returns nullopt with a Python exception set on failure.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "python/py.h"

namespace kelmon::py {

// The C signature of every module function and method (METH_FASTCALL | METH_KEYWORDS).
using FastFn = PyObject* (*)(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames);

enum class ArgKind { PositionalOrKeyword, KeywordOnly };

struct ArgSpec {
  const char* name;
  ArgKind kind = ArgKind::PositionalOrKeyword;
  bool required = true;
};

// Binds the call's arguments to `specs` by name. `out[i]` receives a borrowed
// reference for specs[i], or nullptr when a defaulted argument was not given.
// A missing, surplus or duplicated argument raises TypeError naming `function`.
bool bind_arguments(const char* function, std::span<const ArgSpec> specs, PyObject* const* args, Py_ssize_t nargs,
                    PyObject* kwnames, std::span<PyObject*> out);

// str -> UTF-8 text.
std::optional<std::string> to_string(PyObject* obj, const char* arg);
// Any sequence whose items are all str; a str itself is refused.
std::optional<std::vector<std::string>> to_string_list(PyObject* obj, const char* arg);
// An int or an object with __index__; negative values and values above 2^64-1
// raise OverflowError, anything else TypeError naming the argument.
std::optional<std::uint64_t> to_u64(PyObject* obj, const char* arg);
// None, or what to_u64 accepts. The outer optional is the failure signal.
std::optional<std::optional<std::uint64_t>> to_optional_u64(PyObject* obj, const char* arg);
// A Python bool or a numpy boolean scalar; an int is refused.
std::optional<bool> to_bool(PyObject* obj, const char* arg);
// bytes only (checked by type before its buffer is read); the view lives as long as obj.
std::optional<std::string_view> to_bytes(PyObject* obj, const char* arg);

// Binds arguments that are all str and extracts them, in order.
template <std::size_t N>
std::optional<std::array<std::string, N>> bind_strings(const char* function, const std::array<ArgSpec, N>& specs,
                                                        PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  std::array<PyObject*, N> bound{};
  if (!bind_arguments(function, specs, args, nargs, kwnames, bound)) return std::nullopt;
  std::array<std::string, N> text;
  for (std::size_t i = 0; i < N; ++i) {
    auto s = to_string(bound[i], specs[i].name);
    if (!s) return std::nullopt;
    text[i] = std::move(*s);
  }
  return text;
}

// "argument 'name': <detail>" as a TypeError.
void raise_argument_type_error(const char* arg, const char* expected, PyObject* got);

}  // namespace kelmon::py
