#include "automation/ooxml/package.h"

#include <algorithm>

#include "automation/error.h"
#include "automation/ooxml/package_parts.h"
#include "automation/ooxml/unicode.h"

namespace automation::ooxml {

void failOpen(const std::string& path, const std::string& reason) {
    throw Error(errors::FileError, "无法打开文件“" + path + "”：" + reason);
}

std::string sizeText(std::uint64_t bytes) {
    if (bytes >= kMiB && bytes % kMiB == 0) return std::to_string(bytes / kMiB) + " MB";
    if (bytes >= 1024 && bytes % 1024 == 0) return std::to_string(bytes / 1024) + " KB";
    return std::to_string(bytes) + " 字节";
}

std::string normalName(const std::string& name) {
    std::size_t start = 0;
    while (start < name.size() && name[start] == '/') ++start;
    return name.substr(start);
}

void Package::Impl::addToIndex(std::size_t i) {
    byName.emplace(entries[i].name, i);
    byLowerName.emplace(lowerAscii(entries[i].name), i);
}

const Package::Impl::Entry* Package::Impl::find(const std::string& rawName) const {
    const std::string name = normalName(rawName);
    if (auto it = byName.find(name); it != byName.end())
        return entries[it->second].directory ? nullptr : &entries[it->second];
    if (auto it = byLowerName.find(lowerAscii(name)); it != byLowerName.end())
        return entries[it->second].directory ? nullptr : &entries[it->second];
    return nullptr;
}

std::string Package::Impl::bytesOf(const Entry& entry) const {
    if (entry.held) return entry.bytes;
    if (!entry.zipped.empty()) return readEntry(entry.zipped, 0, entry.name);
    return readEntry(source, entry.index, entry.name);
}

Package::Impl::Entry& Package::Impl::entryFor(const std::string& rawName) {
    const std::string name = normalName(rawName);
    if (name.empty() || name.back() == '/') throw errors::badParameter("部件名“" + rawName + "”无效");
    relationships.erase(name);
    if (const Entry* found = find(name)) {
        auto& entry = entries[static_cast<std::size_t>(found - entries.data())];
        relationships.erase(entry.name);
        return entry;
    }
    Entry entry;
    entry.name = name;
    entry.fromSource = false;
    entry.replaced = true;
    entries.push_back(std::move(entry));
    addToIndex(entries.size() - 1);
    return entries.back();
}

Package::Package() : impl_(std::make_unique<Impl>()) {}
Package::Package(Package&&) noexcept = default;
Package& Package::operator=(Package&&) noexcept = default;
Package::~Package() = default;

Package Package::open(const std::string& path, const PackageLimits& limits) {
    Package package;
    Impl& impl = *package.impl_;
    impl.path = path;
    impl.readFile(limits);
    impl.findMainPart();
    return package;
}

std::vector<std::string> Package::partNames() const {
    std::vector<std::string> names;
    names.reserve(impl_->entries.size());
    for (const auto& entry : impl_->entries)
        if (!entry.directory) names.push_back(entry.name);
    return names;
}

bool Package::hasPart(const std::string& name) const { return impl_->find(name) != nullptr; }

std::optional<std::string> Package::part(const std::string& name) const {
    if (const auto* entry = impl_->find(name)) return impl_->bytesOf(*entry);
    return std::nullopt;
}

std::optional<std::string> Package::takePart(const std::string& name) {
    const auto* found = impl_->find(name);
    if (!found) return std::nullopt;
    auto& entry = impl_->entries[static_cast<std::size_t>(found - impl_->entries.data())];
    if (!entry.held || entry.replaced || !entry.fromSource) return impl_->bytesOf(entry);
    entry.held = false;
    return std::move(entry.bytes);
}

void Package::setPart(const std::string& rawName, std::string bytes) {
    Impl::Entry& entry = impl_->entryFor(rawName);
    // Writing back what was read leaves the part as it was stored.
    if (!entry.replaced && entry.fromSource && entry.size == bytes.size() && impl_->bytesOf(entry) == bytes) return;
    entry.bytes = std::move(bytes);
    entry.zipped.clear();
    entry.held = true;
    entry.replaced = true;
    ++impl_->edits;
}

void Package::removePart(const std::string& rawName) {
    Impl& impl = *impl_;
    const Impl::Entry* found = impl.find(rawName);
    if (!found) return;
    impl.relationships.erase(found->name);
    impl.entries.erase(impl.entries.begin() + (found - impl.entries.data()));
    impl.byName.clear();
    impl.byLowerName.clear();
    for (std::size_t i = 0; i < impl.entries.size(); ++i) impl.addToIndex(i);
    impl.partsRemoved = true;
    ++impl.edits;
}

std::uint64_t Package::edits() const { return impl_->edits; }

const std::string& Package::mainPartName() const { return impl_->mainPart; }

}  // namespace automation::ooxml
