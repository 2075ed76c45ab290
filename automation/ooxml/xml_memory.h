// Memory for parsed parts: pugixml's pages come from large blocks that the kernel may back with huge
// pages. A format run of a large report touches a few hundred megabytes of fresh nodes; in 4 KiB pages
// that costs tens of thousands of page faults, in 2 MiB pages a few hundred.
#pragma once

#include <cstddef>

namespace automation::ooxml {

// Makes pugixml take its pages from here; the first call does it, later ones do nothing. Memory that
// pugixml had before is still given back correctly.
void useLargePagesForXml();

// How many blocks are held, how many of their pages are in use, and how many large buffers (for tests).
struct XmlMemoryUse {
    std::size_t blocks = 0;
    std::size_t pagesInUse = 0;
    std::size_t largeBuffers = 0;
};
XmlMemoryUse xmlMemoryUse();

}  // namespace automation::ooxml
