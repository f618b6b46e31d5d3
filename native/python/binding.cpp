#include "python/binding.h"

#include <cstring>
#include <string>

#include "python/pyref.h"

namespace kelmon::py {

namespace {

std::string type_name(PyObject* obj) {
  PyRef name(PyType_GetName(Py_TYPE(obj)));
  if (!name) {
    PyErr_Clear();
    return "object";
  }
  Py_ssize_t len = 0;
  const char* text = PyUnicode_AsUTF8AndSize(name.get(), &len);
  if (text == nullptr) {
    PyErr_Clear();
    return "object";
  }
  return std::string(text, static_cast<size_t>(len));
}

bool is_numpy_bool(PyObject* obj) {
  PyObject* type = reinterpret_cast<PyObject*>(Py_TYPE(obj));
  PyRef module(PyObject_GetAttrString(type, "__module__"));
  if (!module) {
    PyErr_Clear();
    return false;
  }
  Py_ssize_t len = 0;
  const char* text = PyUnicode_Check(module.get()) ? PyUnicode_AsUTF8AndSize(module.get(), &len) : nullptr;
  if (text == nullptr) {
    PyErr_Clear();
    return false;
  }
  if (std::string_view(text, static_cast<size_t>(len)) != "numpy") return false;
  std::string name = type_name(obj);
  return name == "bool_" || name == "bool";
}

}  // namespace

void raise_argument_type_error(const char* arg, const char* expected, PyObject* got) {
  PyErr_Format(PyExc_TypeError, "argument '%s': expected %s, got '%s'", arg, expected, type_name(got).c_str());
}

bool bind_arguments(const char* function, std::span<const ArgSpec> specs, PyObject* const* args, Py_ssize_t nargs,
                    PyObject* kwnames, std::span<PyObject*> out) {
  for (auto& slot : out) slot = nullptr;
  Py_ssize_t positional = 0;
  for (const auto& spec : specs) {
    if (spec.kind == ArgKind::PositionalOrKeyword) ++positional;
  }
  if (nargs > positional) {
    PyErr_Format(PyExc_TypeError, "%s() takes %zd positional argument%s but %zd %s given", function, positional,
                 positional == 1 ? "" : "s", nargs, nargs == 1 ? "was" : "were");
    return false;
  }
  for (Py_ssize_t i = 0; i < nargs; ++i) out[static_cast<size_t>(i)] = args[i];

  Py_ssize_t nkw = kwnames ? PyTuple_Size(kwnames) : 0;
  for (Py_ssize_t k = 0; k < nkw; ++k) {
    PyObject* key = PyTuple_GetItem(kwnames, k);
    if (key == nullptr) return false;
    Py_ssize_t len = 0;
    const char* text = PyUnicode_AsUTF8AndSize(key, &len);
    if (text == nullptr) return false;
    std::string_view name(text, static_cast<size_t>(len));
    size_t index = specs.size();
    for (size_t i = 0; i < specs.size(); ++i) {
      if (name == specs[i].name) {
        index = i;
        break;
      }
    }
    if (index == specs.size()) {
      PyErr_Format(PyExc_TypeError, "%s() got an unexpected keyword argument '%U'", function, key);
      return false;
    }
    if (out[index] != nullptr) {
      PyErr_Format(PyExc_TypeError, "%s() got multiple values for argument '%s'", function, specs[index].name);
      return false;
    }
    out[index] = args[nargs + k];
  }

  std::string missing_positional, missing_keyword;
  int count_positional = 0, count_keyword = 0;
  for (size_t i = 0; i < specs.size(); ++i) {
    if (!specs[i].required || out[i] != nullptr) continue;
    bool keyword = specs[i].kind == ArgKind::KeywordOnly;
    std::string& list = keyword ? missing_keyword : missing_positional;
    (keyword ? count_keyword : count_positional)++;
    if (!list.empty()) list += ", ";
    list += "'" + std::string(specs[i].name) + "'";
  }
  if (count_positional > 0) {
    PyErr_Format(PyExc_TypeError, "%s() missing %d required positional argument%s: %s", function, count_positional,
                 count_positional == 1 ? "" : "s", missing_positional.c_str());
    return false;
  }
  if (count_keyword > 0) {
    PyErr_Format(PyExc_TypeError, "%s() missing %d required keyword-only argument%s: %s", function, count_keyword,
                 count_keyword == 1 ? "" : "s", missing_keyword.c_str());
    return false;
  }
  return true;
}

std::optional<std::string> to_string(PyObject* obj, const char* arg) {
  if (!PyUnicode_Check(obj)) {
    raise_argument_type_error(arg, "str", obj);
    return std::nullopt;
  }
  Py_ssize_t len = 0;
  const char* text = PyUnicode_AsUTF8AndSize(obj, &len);
  if (text == nullptr) return std::nullopt;  // lone surrogates: UnicodeEncodeError passes unchanged
  return std::string(text, static_cast<size_t>(len));
}

std::optional<std::vector<std::string>> to_string_list(PyObject* obj, const char* arg) {
  if (PyUnicode_Check(obj)) {
    PyErr_Format(PyExc_TypeError, "argument '%s': a str is not a sequence of str", arg);
    return std::nullopt;
  }
  if (!PySequence_Check(obj)) {
    raise_argument_type_error(arg, "a sequence of str", obj);
    return std::nullopt;
  }
  Py_ssize_t n = PySequence_Size(obj);
  if (n < 0) return std::nullopt;
  std::vector<std::string> items;
  items.reserve(static_cast<size_t>(n));
  for (Py_ssize_t i = 0; i < n; ++i) {
    PyRef item(PySequence_GetItem(obj, i));
    if (!item) return std::nullopt;
    if (!PyUnicode_Check(item.get())) {
      PyErr_Format(PyExc_TypeError, "argument '%s': item %zd is not a str", arg, i);
      return std::nullopt;
    }
    Py_ssize_t len = 0;
    const char* text = PyUnicode_AsUTF8AndSize(item.get(), &len);
    if (text == nullptr) return std::nullopt;
    items.emplace_back(text, static_cast<size_t>(len));
  }
  return items;
}

std::optional<std::uint64_t> to_u64(PyObject* obj, const char* arg) {
  if (PyBool_Check(obj) == 0 && PyLong_Check(obj) == 0 && PyIndex_Check(obj) == 0) {
    raise_argument_type_error(arg, "an integer", obj);
    return std::nullopt;
  }
  PyRef index(PyNumber_Index(obj));
  if (!index) return std::nullopt;
  unsigned long long value = PyLong_AsUnsignedLongLong(index.get());
  if (value == static_cast<unsigned long long>(-1) && PyErr_Occurred()) return std::nullopt;
  return static_cast<std::uint64_t>(value);
}

std::optional<std::optional<std::uint64_t>> to_optional_u64(PyObject* obj, const char* arg) {
  if (obj == Py_None) return std::optional<std::uint64_t>();
  auto value = to_u64(obj, arg);
  if (!value) return std::nullopt;
  return std::optional<std::uint64_t>(*value);
}

std::optional<bool> to_bool(PyObject* obj, const char* arg) {
  if (PyBool_Check(obj)) return obj == Py_True;
  if (is_numpy_bool(obj)) {
    int truth = PyObject_IsTrue(obj);
    if (truth < 0) return std::nullopt;
    return truth == 1;
  }
  raise_argument_type_error(arg, "bool", obj);
  return std::nullopt;
}

std::optional<std::string_view> to_bytes(PyObject* obj, const char* arg) {
  if (!PyBytes_Check(obj)) {
    raise_argument_type_error(arg, "bytes", obj);
    return std::nullopt;
  }
  char* data = nullptr;
  Py_ssize_t len = 0;
  if (PyBytes_AsStringAndSize(obj, &data, &len) < 0) return std::nullopt;
  return std::string_view(data, static_cast<size_t>(len));
}

}  // namespace kelmon::py
