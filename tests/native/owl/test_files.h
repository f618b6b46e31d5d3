#pragma once
// Reading the reader tests' fixtures (tests/data) and the shared corpus documents.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "owl/document_source.h"

namespace kelmon::owl {

// The whole file, read as the loader reads it; a missing or unreadable file fails the test.
inline std::string slurp(const std::filesystem::path& p) {
  auto text = read_document_file(p.string());
  EXPECT_TRUE(text.has_value()) << text.error();
  return text ? std::move(*text) : std::string();
}

// A fixture by its path below tests/data, e.g. "owl/all_constructs.ofn".
inline std::string fixture(const std::string& relative) {
  return slurp(std::filesystem::path(KELMON_TEST_DATA_DIR) / relative);
}

// A corpus ontology by file name, e.g. "pizza.owx".
inline std::filesystem::path corpus(const std::string& name) {
  return std::filesystem::path(KELMON_CORPUS_DIR) / "ontologies" / name;
}

}  // namespace kelmon::owl
