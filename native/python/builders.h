// Builders of the Python values the module returns. Each keeps its input's
// order and length exactly: none sorts, filters or deduplicates.
#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "python/py.h"

namespace kelmon::py {

using StrPair = std::pair<std::string, std::string>;
using StrTriple = std::array<std::string, 3>;
using DataValue = std::array<std::string, 5>;   // subject, property, lexical, datatype, lang
using Successor = std::array<std::string, 4>;   // subject, property, witness_blank_id, filler_class

// All return a new reference; a failed allocation is an invariant failure.
PyObject* to_py_str(std::string&& s);
PyObject* to_py_str_list(std::vector<std::string>&& items);
PyObject* to_py_pair(std::string&& a, std::string&& b);
PyObject* to_py_pair_list(std::vector<StrPair>&& items);
PyObject* to_py_str_list_list(std::vector<std::vector<std::string>>&& items);
PyObject* to_py_hierarchy(std::vector<std::vector<std::string>>&& groups, std::vector<StrPair>&& edges);
PyObject* to_py_triple(StrTriple&& t);
PyObject* to_py_triple_list(std::vector<StrTriple>&& items);
PyObject* to_py_data_value_tuple(DataValue&& v);
PyObject* to_py_data_value_list(std::vector<DataValue>&& items);
PyObject* to_py_successor_tuple(Successor&& s);
PyObject* to_py_successor_list(std::vector<Successor>&& items);
PyObject* to_py_derived_entry(std::string&& cls, std::vector<std::string>&& roots);
// (consistent, roots, [(derived, [root, ...]), ...]).
PyObject* to_py_diagnosis(bool consistent, std::vector<std::string>&& roots,
                          std::vector<std::pair<std::string, std::vector<std::string>>>&& derived);
// (answer, incomplete): the shape of every bounded query. Steals `answer`.
PyObject* to_py_with_incomplete(PyObject* answer, bool incomplete);

}  // namespace kelmon::py
