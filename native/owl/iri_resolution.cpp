#include "owl/iri_resolution.h"

#include <optional>

namespace kelmon::owl {

namespace {

bool is_alpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool is_scheme_char(char c) {
  return is_alpha(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

// The five components of a reference; an absent one is nullopt (an empty query "?"
// differs from no query).
struct Parts {
  std::optional<std::string_view> scheme, authority;
  std::string_view path;
  std::optional<std::string_view> query, fragment;
};

Parts split(std::string_view s) {
  Parts p;
  if (has_scheme(s)) {
    size_t colon = s.find(':');
    p.scheme = s.substr(0, colon);
    s.remove_prefix(colon + 1);
  }
  if (size_t hash = s.find('#'); hash != std::string_view::npos) {
    p.fragment = s.substr(hash + 1);
    s = s.substr(0, hash);
  }
  if (size_t q = s.find('?'); q != std::string_view::npos) {
    p.query = s.substr(q + 1);
    s = s.substr(0, q);
  }
  if (s.starts_with("//")) {
    s.remove_prefix(2);
    size_t slash = s.find('/');
    p.authority = s.substr(0, slash);
    s = slash == std::string_view::npos ? std::string_view() : s.substr(slash);
  }
  p.path = s;
  return p;
}

// RFC 3986, 5.2.4.
std::string remove_dot_segments(std::string_view in) {
  std::string out;
  while (!in.empty()) {
    if (in.starts_with("../")) {
      in.remove_prefix(3);
    } else if (in.starts_with("./")) {
      in.remove_prefix(2);
    } else if (in.starts_with("/./")) {
      in.remove_prefix(2);
    } else if (in == "/.") {
      in = "/";
    } else if (in.starts_with("/../") || in == "/..") {
      in = in.size() == 3 ? std::string_view("/") : in.substr(3);
      size_t last = out.rfind('/');
      out.resize(last == std::string::npos ? 0 : last);
    } else if (in == "." || in == "..") {
      in = {};
    } else {
      size_t next = in.find('/', in[0] == '/' ? 1 : 0);
      if (next == std::string_view::npos) next = in.size();
      out.append(in.substr(0, next));
      in.remove_prefix(next);
    }
  }
  return out;
}

}  // namespace

bool has_scheme(std::string_view r) {
  if (r.empty() || !is_alpha(r[0])) return false;
  for (size_t i = 1; i < r.size(); ++i) {
    if (r[i] == ':') return true;
    if (!is_scheme_char(r[i])) return false;
  }
  return false;
}

std::string resolve_iri(std::string_view base_text, std::string_view reference) {
  if (base_text.empty() || has_scheme(reference)) return std::string(reference);
  Parts base = split(base_text);
  Parts ref = split(reference);
  std::optional<std::string_view> authority, query;
  std::string path;
  if (ref.authority) {
    authority = ref.authority;
    path = remove_dot_segments(ref.path);
    query = ref.query;
  } else {
    authority = base.authority;
    if (ref.path.empty()) {
      path = std::string(base.path);
      query = ref.query ? ref.query : base.query;
    } else {
      if (ref.path.starts_with('/')) {
        path = remove_dot_segments(ref.path);
      } else {
        // Merge: the base path up to its last "/", or "/" for an authority with no path.
        std::string merged;
        if (base.authority && base.path.empty()) {
          merged = "/";
        } else {
          size_t slash = base.path.rfind('/');
          if (slash != std::string_view::npos) merged.assign(base.path.substr(0, slash + 1));
        }
        merged.append(ref.path);
        path = remove_dot_segments(merged);
      }
      query = ref.query;
    }
  }
  std::string out;
  out.reserve(base_text.size() + reference.size());
  if (base.scheme) out.append(*base.scheme).push_back(':');
  if (authority) out.append("//").append(*authority);
  out.append(path);
  if (query) out.append("?").append(*query);
  if (ref.fragment) out.append("#").append(*ref.fragment);
  return out;
}

}  // namespace kelmon::owl
