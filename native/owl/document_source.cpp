#include "owl/document_source.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace kelmon::owl {

namespace {

std::string os_error_text(int err) { return std::string(std::strerror(err)) + " (os error " + std::to_string(err) + ")"; }

bool continuation(int b) { return (b & 0xC0) == 0x80; }

struct Utf8Step {
  size_t length;   // length of a valid sequence, 0 if invalid
  size_t invalid;  // when invalid: bytes to report, 0 meaning "incomplete"
};

// One UTF-8 sequence at `i`. An invalid one reports its maximal valid prefix
// (1 to 3 bytes); input ending inside a so-far-valid sequence is "incomplete".
Utf8Step utf8_step(std::string_view s, size_t i) {
  auto at = [&](size_t k) -> int { return i + k < s.size() ? static_cast<unsigned char>(s[i + k]) : -1; };
  int b0 = at(0);
  if (b0 < 0x80) return {1, 0};
  size_t need;
  int lo = 0x80, hi = 0xBF;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    need = 2;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    need = 3;
    if (b0 == 0xE0) lo = 0xA0;
    if (b0 == 0xED) hi = 0x9F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    need = 4;
    if (b0 == 0xF0) lo = 0x90;
    if (b0 == 0xF4) hi = 0x8F;
  } else {
    return {0, 1};
  }
  int b1 = at(1);
  if (b1 < 0) return {0, 0};
  if (b1 < lo || b1 > hi) return {0, 1};
  for (size_t k = 2; k < need; ++k) {
    int b = at(k);
    if (b < 0) return {0, 0};
    if (!continuation(b)) return {0, k};
  }
  return {need, 0};
}

}  // namespace

std::optional<std::string> utf8_error(std::string_view data) {
  size_t i = 0;
  while (i < data.size()) {
    while (i < data.size() && static_cast<unsigned char>(data[i]) < 0x80) ++i;  // ASCII runs
    if (i == data.size()) break;
    Utf8Step step = utf8_step(data, i);
    if (step.length == 0) {
      if (step.invalid == 0) return "incomplete utf-8 byte sequence from index " + std::to_string(i);
      return "invalid utf-8 sequence of " + std::to_string(step.invalid) + " bytes from index " + std::to_string(i);
    }
    i += step.length;
  }
  return std::nullopt;
}

std::expected<std::string, std::string> read_document_file(const std::string& path) {
  auto fail = [&](const std::string& reason) { return std::unexpected("read " + path + ": " + reason); };
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return fail(os_error_text(errno));
  std::string text;
  char buffer[1 << 16];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      return fail(os_error_text(err));
    }
    if (n == 0) break;
    text.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  if (utf8_error(text)) return fail("stream did not contain valid UTF-8");
  return text;
}

std::expected<std::string, std::string> format_from_extension(std::string_view path) {
  auto no_extension = [&] {
    return std::unexpected("no extension on `" + std::string(path) +
                           "` \u2014 pass format= explicitly via classify_bytes()");
  };
  // The last component must be a plain file name; trailing "/" and "/." name the component before them.
  std::string_view rest = path;
  for (;;) {
    while (rest.size() > 1 && rest.back() == '/') rest.remove_suffix(1);
    if (rest.size() > 2 && rest.ends_with("/.")) {
      rest.remove_suffix(1);
      continue;
    }
    break;
  }
  size_t slash = rest.find_last_of('/');
  std::string_view name = slash == std::string_view::npos ? rest : rest.substr(slash + 1);
  if (name.empty() || name == "." || name == "..") return no_extension();
  size_t dot = name.find_last_of('.');
  if (dot == std::string_view::npos || dot == 0) return no_extension();
  std::string ext(name.substr(dot + 1));
  for (char& c : ext) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  if (ext == "ofn") return std::string("ofn");
  if (ext == "owx") return std::string("owx");
  if (ext == "rdf" || ext == "owl") return std::string("rdf-xml");
  if (ext == "omn") return std::string("omn");
  return std::unexpected("unknown extension `." + ext +
                         "` \u2014 pass format= explicitly via classify_bytes() or rename file to .ofn / .owx / .rdf "
                         "/ .omn");
}

std::optional<DocumentFormat> format_by_name(std::string_view name) {
  if (name == "ofn") return DocumentFormat::Functional;
  if (name == "owx") return DocumentFormat::OwlXml;
  if (name == "rdf-xml" || name == "rdf") return DocumentFormat::RdfXml;
  if (name == "omn" || name == "manchester") return DocumentFormat::Manchester;
  return std::nullopt;
}

std::string unknown_format_message(std::string_view name) {
  return "unknown format `" + std::string(name) + "` \u2014 expected one of: ofn, owx, rdf-xml, omn";
}

}  // namespace kelmon::owl
