#include "owl/document_source.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace kelmon::owl {
namespace {

const std::string kDash = "\u2014";

struct ExtensionCase {
  std::string path;
  std::string expected;  // format name, or the full message
  bool ok;
};

class Extensions : public ::testing::TestWithParam<ExtensionCase> {};

TEST_P(Extensions, FormatFollowsTheLowercasedThreeByteExtension) {
  const auto& c = GetParam();
  auto got = format_from_extension(c.path);
  ASSERT_EQ(got.has_value(), c.ok) << c.path;
  EXPECT_EQ(c.ok ? *got : got.error(), c.expected);
}

std::string no_ext(const std::string& p) {
  return "no extension on `" + p + "` " + kDash + " pass format= explicitly via classify_bytes()";
}
std::string bad_ext(const std::string& e) {
  return "unknown extension `." + e + "` " + kDash +
         " pass format= explicitly via classify_bytes() or rename file to .ofn / .owx / .rdf / .omn";
}

INSTANTIATE_TEST_SUITE_P(
    Table, Extensions,
    ::testing::Values(ExtensionCase{"a/pizza.ofn", "ofn", true}, ExtensionCase{"x.OWX", "owx", true},
                      ExtensionCase{"dir.d/x.OWL", "rdf-xml", true}, ExtensionCase{"x.rdf", "rdf-xml", true},
                      ExtensionCase{"x.Omn", "omn", true}, ExtensionCase{"x.tar.ofn", "ofn", true},
                      ExtensionCase{"x.ttl", bad_ext("ttl"), false},
                      ExtensionCase{"x.TTL", bad_ext("ttl"), false},
                      ExtensionCase{"x.manchester", bad_ext("manchester"), false},
                      ExtensionCase{"x.", bad_ext(""), false}, ExtensionCase{"x.of", bad_ext("of"), false},
                      ExtensionCase{"dir.ofn/noext", no_ext("dir.ofn/noext"), false},
                      ExtensionCase{"dir/.ofn", no_ext("dir/.ofn"), false},
                      ExtensionCase{"..", no_ext(".."), false}, ExtensionCase{"/", no_ext("/"), false},
                      ExtensionCase{"x.ofn/", "ofn", true}, ExtensionCase{"d/x.owx/.", "owx", true},
                      ExtensionCase{".", no_ext("."), false}, ExtensionCase{"a/..", no_ext("a/.."), false}, ExtensionCase{"", no_ext(""), false}));

struct Utf8Case {
  std::string bytes;
  std::string error;  // empty: valid
};

class Utf8 : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8, ErrorTextGivesIndexAndLength) {
  auto got = utf8_error(GetParam().bytes);
  if (GetParam().error.empty()) {
    EXPECT_FALSE(got.has_value()) << *got;
  } else {
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(*got, GetParam().error);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, Utf8,
    ::testing::Values(Utf8Case{"", ""}, Utf8Case{"plain ascii", ""}, Utf8Case{"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", ""},
                      Utf8Case{"ab\xFF", "invalid utf-8 sequence of 1 bytes from index 2"},
                      Utf8Case{"\x80", "invalid utf-8 sequence of 1 bytes from index 0"},
                      Utf8Case{"\xC0\x80", "invalid utf-8 sequence of 1 bytes from index 0"},
                      Utf8Case{"x\xE2\x82", "incomplete utf-8 byte sequence from index 1"},
                      Utf8Case{"x\xE2\x82z", "invalid utf-8 sequence of 2 bytes from index 1"},
                      Utf8Case{"\xED\xA0\x80", "invalid utf-8 sequence of 1 bytes from index 0"},
                      Utf8Case{"\xF0\x9F\x98", "incomplete utf-8 byte sequence from index 0"},
                      Utf8Case{"\xF0\x9F\x98z", "invalid utf-8 sequence of 3 bytes from index 0"},
                      Utf8Case{"\xF4\x90\x80\x80", "invalid utf-8 sequence of 1 bytes from index 0"},
                      Utf8Case{"ok\xC3", "incomplete utf-8 byte sequence from index 2"}));

TEST(FormatNames, ExactAndCaseSensitive) {
  EXPECT_EQ(format_by_name("ofn"), DocumentFormat::Functional);
  EXPECT_EQ(format_by_name("owx"), DocumentFormat::OwlXml);
  EXPECT_EQ(format_by_name("rdf"), DocumentFormat::RdfXml);
  EXPECT_EQ(format_by_name("rdf-xml"), DocumentFormat::RdfXml);
  EXPECT_EQ(format_by_name("manchester"), DocumentFormat::Manchester);
  EXPECT_EQ(format_by_name("omn"), DocumentFormat::Manchester);
  EXPECT_FALSE(format_by_name("RDF"));
  EXPECT_FALSE(format_by_name("owl"));
  EXPECT_EQ(unknown_format_message("RDF"), "unknown format `RDF` " + kDash + " expected one of: ofn, owx, rdf-xml, omn");
}

TEST(ReadFile, ReportsMissingFilesAndNonUtf8Content) {
  auto missing = read_document_file("/nonexistent/x.ttl");
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error(), "read /nonexistent/x.ttl: No such file or directory (os error 2)");

  std::string path = ::testing::TempDir() + "kelmon_bad_utf8.ofn";
  { std::ofstream(path, std::ios::binary) << "Ontology(\xFF)"; }
  auto bad = read_document_file(path);
  ASSERT_FALSE(bad);
  EXPECT_EQ(bad.error(), "read " + path + ": stream did not contain valid UTF-8");

  { std::ofstream(path, std::ios::binary) << "Ontology()"; }
  auto good = read_document_file(path);
  ASSERT_TRUE(good);
  EXPECT_EQ(*good, "Ontology()");
  std::remove(path.c_str());

  auto dir = read_document_file("/tmp");
  ASSERT_FALSE(dir);
  EXPECT_EQ(dir.error(), "read /tmp: Is a directory (os error 21)");
}

}  // namespace
}  // namespace kelmon::owl
