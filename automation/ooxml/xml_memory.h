// Memory for parsed parts: pugixml's pages come from large blocks that the kernel may back with huge
// pages. A format run of a large report touches a few hundred megabytes of fresh nodes; in 4 KiB pages
// that costs tens of thousands of page faults, in 2 MiB pages a few hundred.
#pragma once

#include <cstddef>
#include <new>

namespace automation::ooxml {

// Makes pugixml take its pages from here; the first call does it, later ones do nothing. Memory that
// pugixml had before is still given back correctly.
void useLargePagesForXml();

// Memory for a large array: from 2 MiB up a mapping of its own that the kernel may back with huge pages
// (a position index of a large report is tens of megabytes), below that operator new. Throws
// std::bad_alloc when there is none.
void* allocateLargeArray(std::size_t bytes);
void freeLargeArray(void* pointer, std::size_t bytes);

template <typename T>
struct LargeArrayAllocator {
    using value_type = T;
    LargeArrayAllocator() = default;
    template <typename U>
    LargeArrayAllocator(const LargeArrayAllocator<U>&) noexcept {}
    T* allocate(std::size_t n) {
        if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_alloc();
        return static_cast<T*>(allocateLargeArray(n * sizeof(T)));
    }
    void deallocate(T* pointer, std::size_t n) noexcept { freeLargeArray(pointer, n * sizeof(T)); }
    template <typename U>
    bool operator==(const LargeArrayAllocator<U>&) const noexcept {
        return true;
    }
};

// How many blocks are held, how many of their pages are in use, and how many large buffers (for tests).
struct XmlMemoryUse {
    std::size_t blocks = 0;
    std::size_t pagesInUse = 0;
    std::size_t largeBuffers = 0;
};
XmlMemoryUse xmlMemoryUse();

}  // namespace automation::ooxml
