#include "automation/ooxml/xml_memory.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

#include <pugixml.hpp>

namespace automation::ooxml {

namespace {

// pugixml asks for its pages in one size: 32 KiB of nodes and strings plus a small header. Anything
// else (a large string, a parse buffer) is left to malloc.
constexpr std::size_t kPageData = 32768;
constexpr std::size_t kPage = kPageData + 256;
constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kBlock = std::size_t{32} << 20;
constexpr std::size_t kPagesPerBlock = kBlock / kPage;

struct Block {
    char* base = nullptr;
    std::size_t used = 0;  // pages handed out from the start, in use or freed since
    std::size_t live = 0;
    std::vector<char*> freed;

    bool holds(const void* pointer) const {
        const auto* p = static_cast<const char*>(pointer);
        return p >= base && p < base + kBlock;
    }
};

// Buffers of at least this size (the text a large part is parsed in) are mapped on their own.
constexpr std::size_t kLargeBuffer = std::size_t{4} << 20;

std::mutex mutex;
std::vector<std::unique_ptr<Block>> blocks;
std::vector<std::pair<void*, std::size_t>> largeBuffers;

void adviseHugePages(void* start, std::size_t size) {
#ifdef MADV_HUGEPAGE
    madvise(start, size, MADV_HUGEPAGE);  // only a wish: without huge pages the memory works as well
#else
    (void)start;
    (void)size;
#endif
}

// A block aligned to the huge page size, so that every part of it can be backed by huge pages.
std::unique_ptr<Block> newBlock() {
    void* raw = mmap(nullptr, kBlock + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) return nullptr;
    char* start = static_cast<char*>(raw);
    const auto address = reinterpret_cast<std::uintptr_t>(start);
    char* aligned = start + ((kHugePage - address % kHugePage) % kHugePage);
    if (aligned > start) munmap(start, static_cast<std::size_t>(aligned - start));
    char* end = aligned + kBlock;
    if (start + kBlock + kHugePage > end) munmap(end, static_cast<std::size_t>(start + kBlock + kHugePage - end));
    adviseHugePages(aligned, kBlock);
    auto block = std::make_unique<Block>();
    block->base = aligned;
    return block;
}

// A mapping of its own, advised for huge pages; null when there is none.
void* mapAdvised(std::size_t size) {
    void* mapped = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) return nullptr;
    adviseHugePages(mapped, size);
    return mapped;
}

void* allocateLarge(std::size_t size) {
    void* buffer = mapAdvised(size);
    if (!buffer) return nullptr;
    std::lock_guard<std::mutex> lock(mutex);
    largeBuffers.emplace_back(buffer, size);
    return buffer;
}

void* allocate(std::size_t size) {
    if (size >= kLargeBuffer) return allocateLarge(size);
    if (size < kPageData || size > kPage) return std::malloc(size);
    std::lock_guard<std::mutex> lock(mutex);
    Block* chosen = nullptr;
    for (auto it = blocks.rbegin(); it != blocks.rend() && !chosen; ++it)
        if (!(*it)->freed.empty() || (*it)->used < kPagesPerBlock) chosen = it->get();
    if (!chosen) {
        std::unique_ptr<Block> block = newBlock();
        if (!block) return std::malloc(size);
        blocks.push_back(std::move(block));
        chosen = blocks.back().get();
    }
    ++chosen->live;
    if (!chosen->freed.empty()) {
        char* page = chosen->freed.back();
        chosen->freed.pop_back();
        return page;
    }
    return chosen->base + kPage * chosen->used++;
}

void deallocate(void* pointer) {
    if (!pointer) return;
    std::lock_guard<std::mutex> lock(mutex);
    for (auto it = blocks.begin(); it != blocks.end(); ++it) {
        Block& block = **it;
        if (!block.holds(pointer)) continue;
        --block.live;
        block.freed.push_back(static_cast<char*>(pointer));
        // An empty block goes back to the system, unless it is the last one (documents come and go).
        if (block.live == 0 && blocks.size() > 1) {
            munmap(block.base, kBlock);
            blocks.erase(it);
        }
        return;
    }
    for (auto it = largeBuffers.begin(); it != largeBuffers.end(); ++it) {
        if (it->first != pointer) continue;
        munmap(it->first, it->second);
        largeBuffers.erase(it);
        return;
    }
    std::free(pointer);
}

}  // namespace

void* allocateLargeArray(std::size_t bytes) {
    if (bytes < kHugePage) return ::operator new(bytes);
    if (void* mapped = mapAdvised(bytes)) return mapped;
    throw std::bad_alloc();
}

void freeLargeArray(void* pointer, std::size_t bytes) {
    if (!pointer) return;
    if (bytes < kHugePage) return ::operator delete(pointer);
    munmap(pointer, bytes);
}

void useLargePagesForXml() {
    static std::once_flag installed;
    std::call_once(installed, [] { pugi::set_memory_management_functions(allocate, deallocate); });
}

XmlMemoryUse xmlMemoryUse() {
    std::lock_guard<std::mutex> lock(mutex);
    XmlMemoryUse use;
    use.blocks = blocks.size();
    use.largeBuffers = largeBuffers.size();
    for (const auto& block : blocks) use.pagesInUse += block->live;
    return use;
}

}  // namespace automation::ooxml
