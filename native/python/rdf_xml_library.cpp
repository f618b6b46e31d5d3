#include "python/rdf_xml_library.h"

#include <dlfcn.h>
#include <unistd.h>

#include <string>

#include "owl/rdf_xml_syntax.h"

namespace kelmon::py {

namespace {

// The parser library's file name; CMake passes it in.
constexpr const char* kLibraryName = KELMON_RDF_XML_LIBRARY;

// Its full path, noted at import: a relative module path would no longer hold
// after the process changes its working folder.
std::string& library_path() {
  static std::string path;
  return path;
}

std::expected<KelmonRdfXmlParse, std::string> open_library() {
  const std::string& path = library_path();
  if (path.empty()) return std::unexpected(std::string("the RDF/XML parser library was not found beside the module"));
  // Kept open for the life of the process: raptor and libxml2 do not support being unloaded.
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) return std::unexpected("cannot load the RDF/XML parser library: " + std::string(dlerror()));
  void* parse = dlsym(handle, KELMON_RDF_XML_PARSE_SYMBOL);
  if (!parse) return std::unexpected("the RDF/XML parser library " + path + " has no " KELMON_RDF_XML_PARSE_SYMBOL);
  return reinterpret_cast<KelmonRdfXmlParse>(parse);
}

}  // namespace

void locate_rdf_xml_library() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&locate_rdf_xml_library), &info) == 0 || !info.dli_fname) return;
  std::string module = info.dli_fname;
  if (!module.starts_with('/')) {
    char cwd[4096];
    if (!getcwd(cwd, sizeof cwd)) return;
    module = std::string(cwd) + "/" + module;
  }
  library_path() = module.substr(0, module.rfind('/') + 1) + kLibraryName;
}

}  // namespace kelmon::py

namespace kelmon::owl {

std::expected<KelmonRdfXmlParse, std::string> rdf_xml_syntax_parser() {
  static const std::expected<KelmonRdfXmlParse, std::string> parser = py::open_library();
  return parser;
}

}  // namespace kelmon::owl
