// The RDF/XML syntax parser of the extension module lives in a library of its own
// beside the module, opened on the first RDF/XML read: importing the module never
// loads raptor and the many libraries it links.
#pragma once

namespace kelmon::py {

// Notes where the parser library is (the folder of this module), while the module
// is being imported; the library itself is opened on first use.
void locate_rdf_xml_library();

}  // namespace kelmon::py
