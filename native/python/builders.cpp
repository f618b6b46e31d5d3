#include "python/builders.h"

#include "common/invariant.h"
#include "python/pyref.h"

namespace kelmon::py {

namespace {

constexpr const char* kCreateFailed = "Python object creation failed while building a result";

PyObject* checked(PyObject* obj) {
  if (obj == nullptr) {
    PyErr_Clear();
    invariant_failure(kCreateFailed);
  }
  return obj;
}

// Builds a list of exactly items.size() elements, in order, each made by `make`.
template <class T, class Make>
PyObject* build_list(std::vector<T>&& items, Make make) {
  PyRef list(checked(PyList_New(static_cast<Py_ssize_t>(items.size()))));
  Py_ssize_t i = 0;
  for (auto& item : items) {
    PyObject* element = make(std::move(item));  // throws on failure; `list` is released
    PyList_SetItem(list.get(), i++, element);   // steals element
    T().swap(item);                             // free each input as soon as its value exists
  }
  invariant(i == static_cast<Py_ssize_t>(items.size()), "list built short");
  return list.release();
}

template <size_t N>
PyObject* build_tuple(std::array<std::string, N>&& fields) {
  PyRef tuple(checked(PyTuple_New(N)));
  for (size_t i = 0; i < N; ++i) PyTuple_SetItem(tuple.get(), static_cast<Py_ssize_t>(i), to_py_str(std::move(fields[i])));
  return tuple.release();
}

}  // namespace

PyObject* to_py_str(std::string&& s) {
  PyObject* obj = PyUnicode_FromStringAndSize(s.data(), static_cast<Py_ssize_t>(s.size()));
  std::string().swap(s);
  return checked(obj);
}

PyObject* to_py_str_list(std::vector<std::string>&& items) {
  return build_list(std::move(items), [](std::string&& s) { return to_py_str(std::move(s)); });
}

PyObject* to_py_pair(std::string&& a, std::string&& b) {
  return build_tuple<2>({std::move(a), std::move(b)});
}

PyObject* to_py_pair_list(std::vector<StrPair>&& items) {
  return build_list(std::move(items), [](StrPair&& p) { return to_py_pair(std::move(p.first), std::move(p.second)); });
}

PyObject* to_py_str_list_list(std::vector<std::vector<std::string>>&& items) {
  return build_list(std::move(items), [](std::vector<std::string>&& l) { return to_py_str_list(std::move(l)); });
}

PyObject* to_py_hierarchy(std::vector<std::vector<std::string>>&& groups, std::vector<StrPair>&& edges) {
  PyRef first(to_py_str_list_list(std::move(groups)));
  PyRef second(to_py_pair_list(std::move(edges)));
  PyRef tuple(checked(PyTuple_New(2)));
  PyTuple_SetItem(tuple.get(), 0, first.release());
  PyTuple_SetItem(tuple.get(), 1, second.release());
  return tuple.release();
}

PyObject* to_py_triple(StrTriple&& t) { return build_tuple<3>(std::move(t)); }

PyObject* to_py_triple_list(std::vector<StrTriple>&& items) {
  return build_list(std::move(items), [](StrTriple&& t) { return to_py_triple(std::move(t)); });
}

PyObject* to_py_data_value_tuple(DataValue&& v) { return build_tuple<5>(std::move(v)); }

PyObject* to_py_data_value_list(std::vector<DataValue>&& items) {
  return build_list(std::move(items), [](DataValue&& v) { return to_py_data_value_tuple(std::move(v)); });
}

PyObject* to_py_successor_tuple(Successor&& s) { return build_tuple<4>(std::move(s)); }

PyObject* to_py_successor_list(std::vector<Successor>&& items) {
  return build_list(std::move(items), [](Successor&& s) { return to_py_successor_tuple(std::move(s)); });
}

PyObject* to_py_derived_entry(std::string&& cls, std::vector<std::string>&& roots) {
  PyRef name(to_py_str(std::move(cls)));
  PyRef list(to_py_str_list(std::move(roots)));
  PyRef tuple(checked(PyTuple_New(2)));
  PyTuple_SetItem(tuple.get(), 0, name.release());
  PyTuple_SetItem(tuple.get(), 1, list.release());
  return tuple.release();
}

PyObject* to_py_diagnosis(bool consistent, std::vector<std::string>&& roots,
                          std::vector<std::pair<std::string, std::vector<std::string>>>&& derived) {
  PyRef root_list(to_py_str_list(std::move(roots)));
  PyRef derived_list(build_list(std::move(derived), [](std::pair<std::string, std::vector<std::string>>&& e) {
    return to_py_derived_entry(std::move(e.first), std::move(e.second));
  }));
  PyRef tuple(checked(PyTuple_New(3)));
  PyTuple_SetItem(tuple.get(), 0, PyBool_FromLong(consistent));
  PyTuple_SetItem(tuple.get(), 1, root_list.release());
  PyTuple_SetItem(tuple.get(), 2, derived_list.release());
  return tuple.release();
}

PyObject* to_py_with_incomplete(PyObject* answer, bool incomplete) {
  PyRef value(answer);
  PyRef tuple(checked(PyTuple_New(2)));
  PyTuple_SetItem(tuple.get(), 0, value.release());
  PyTuple_SetItem(tuple.get(), 1, PyBool_FromLong(incomplete ? 1 : 0));
  return tuple.release();
}

}  // namespace kelmon::py
