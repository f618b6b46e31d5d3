# Third-party libraries of each layer, beyond TBB and robin-map which every layer gets.
# One block per library; add yours here (and its Debian package to scripts/apt-packages.txt).

# GMP (C++ interface): exact arithmetic for reading float and double literals
# with a single correct rounding.
find_path(GMPXX_INCLUDE_DIR gmpxx.h REQUIRED)
find_library(GMPXX_LIBRARY gmpxx REQUIRED)
find_library(GMP_LIBRARY gmp REQUIRED)
target_include_directories(kelmon_core SYSTEM PUBLIC "${GMPXX_INCLUDE_DIR}")
target_link_libraries(kelmon_core PUBLIC "${GMPXX_LIBRARY}" "${GMP_LIBRARY}")

# Expat: the streaming XML parser under the OWL/XML reader.
find_package(EXPAT REQUIRED)
target_link_libraries(kelmon_owl PUBLIC EXPAT::EXPAT)

# raptor2: RDF/XML documents are parsed into triples (native/raptor/) before the OWL
# mapping reads them. The parser stays out of kelmon_owl so that only programs that read
# RDF/XML load raptor and the many libraries it links: C++ programs link it in through
# the object library below; the Python module opens it as a library of its own on the
# first RDF/XML read (native/python/CMakeLists.txt).
find_package(PkgConfig REQUIRED)
pkg_check_modules(RAPTOR2 REQUIRED IMPORTED_TARGET raptor2)
add_library(kelmon_rdf_xml_linked OBJECT "${PROJECT_SOURCE_DIR}/native/raptor/raptor_rdf_xml.cpp"
                                         "${PROJECT_SOURCE_DIR}/native/raptor/linked_parser.cpp")
target_link_libraries(kelmon_rdf_xml_linked PUBLIC kelmon_owl PkgConfig::RAPTOR2)
