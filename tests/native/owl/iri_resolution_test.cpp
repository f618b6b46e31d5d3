#include <gtest/gtest.h>

#include "owl/iri_resolution.h"

namespace kelmon::owl {
namespace {

struct ResolveCase {
  const char* reference;
  const char* target;
};

class ResolveIri : public ::testing::TestWithParam<ResolveCase> {};

// The reference resolution examples of RFC 3986 (section 5.4), base http://a/b/c/d;p?q.
TEST_P(ResolveIri, FollowsTheRfcExamples) {
  EXPECT_EQ(resolve_iri("http://a/b/c/d;p?q", GetParam().reference), GetParam().target);
}

INSTANTIATE_TEST_SUITE_P(
    Rfc3986, ResolveIri,
    ::testing::Values(
        ResolveCase{"g:h", "g:h"}, ResolveCase{"g", "http://a/b/c/g"},
        ResolveCase{"./g", "http://a/b/c/g"}, ResolveCase{"g/", "http://a/b/c/g/"},
        ResolveCase{"/g", "http://a/g"}, ResolveCase{"//g", "http://g"},
        ResolveCase{"?y", "http://a/b/c/d;p?y"}, ResolveCase{"g?y", "http://a/b/c/g?y"},
        ResolveCase{"#s", "http://a/b/c/d;p?q#s"}, ResolveCase{"g#s", "http://a/b/c/g#s"},
        ResolveCase{"g?y#s", "http://a/b/c/g?y#s"}, ResolveCase{";x", "http://a/b/c/;x"},
        ResolveCase{"g;x", "http://a/b/c/g;x"}, ResolveCase{"g;x?y#s", "http://a/b/c/g;x?y#s"},
        ResolveCase{"", "http://a/b/c/d;p?q"}, ResolveCase{".", "http://a/b/c/"},
        ResolveCase{"./", "http://a/b/c/"}, ResolveCase{"..", "http://a/b/"},
        ResolveCase{"../", "http://a/b/"}, ResolveCase{"../g", "http://a/b/g"},
        ResolveCase{"../..", "http://a/"}, ResolveCase{"../../", "http://a/"},
        ResolveCase{"../../g", "http://a/g"}, ResolveCase{"../../../g", "http://a/g"},
        ResolveCase{"../../../../g", "http://a/g"}, ResolveCase{"/./g", "http://a/g"},
        ResolveCase{"/../g", "http://a/g"}, ResolveCase{"g.", "http://a/b/c/g."},
        ResolveCase{".g", "http://a/b/c/.g"}, ResolveCase{"g..", "http://a/b/c/g.."},
        ResolveCase{"..g", "http://a/b/c/..g"}, ResolveCase{"./../g", "http://a/b/g"},
        ResolveCase{"./g/.", "http://a/b/c/g/"}, ResolveCase{"g/./h", "http://a/b/c/g/h"},
        ResolveCase{"g/../h", "http://a/b/c/h"}, ResolveCase{"g;x=1/./y", "http://a/b/c/g;x=1/y"},
        ResolveCase{"g;x=1/../y", "http://a/b/c/y"}, ResolveCase{"g?y/./x", "http://a/b/c/g?y/./x"},
        ResolveCase{"g#s/../x", "http://a/b/c/g#s/../x"}));

TEST(ResolveIri, KeepsTheReferenceWithoutABaseOrWithAScheme) {
  EXPECT_EQ(resolve_iri("", "#A"), "#A");
  EXPECT_EQ(resolve_iri("http://x/y", "urn:isbn:0451450523"), "urn:isbn:0451450523");
  EXPECT_EQ(resolve_iri("http://x/y", "http://z/./a/../b"), "http://z/./a/../b");
  EXPECT_EQ(resolve_iri("http://x", "a"), "http://x/a");  // authority without a path
  EXPECT_EQ(resolve_iri("urn:a:b", "#f"), "urn:a:b#f");
}

TEST(ResolveIri, HasSchemeNeedsALetterFirstAndAColon) {
  EXPECT_TRUE(has_scheme("http://x"));
  EXPECT_TRUE(has_scheme("a+b-c.d:x"));
  EXPECT_FALSE(has_scheme("1a:x"));
  EXPECT_FALSE(has_scheme("#a:b"));
  EXPECT_FALSE(has_scheme("./a:b"));
  EXPECT_FALSE(has_scheme("abc"));
}

}  // namespace
}  // namespace kelmon::owl
