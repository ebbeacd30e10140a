// The tree a catalogue is made of, held compactly: every name in one arena of UTF-8 bytes
// (already in the escaped form the page carries), every folder and file a fixed-size record.
// A million files take about 50 MB, and nothing is ever moved once stored: the records and
// the arena grow in blocks, so growing never holds two copies.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace catalog {

// A sequence that grows in fixed blocks: appending never copies what is stored.
template <class T, std::size_t BlockSize = 16384>
class BlockArray {
public:
    T& Append(const T& value) {
        if (size_ % BlockSize == 0)
            blocks_.push_back(std::make_unique<T[]>(BlockSize));
        T& slot = blocks_.back()[size_ % BlockSize];
        slot = value;
        ++size_;
        return slot;
    }
    T& operator[](std::size_t i) { return blocks_[i / BlockSize][i % BlockSize]; }
    const T& operator[](std::size_t i) const { return blocks_[i / BlockSize][i % BlockSize]; }
    std::size_t Size() const { return size_; }

private:
    std::vector<std::unique_ptr<T[]>> blocks_;
    std::size_t size_ = 0;
};

// Folder flags, as the page's data block carries them.
enum FolderFlags : std::uint32_t {
    ffUnreadable = 1,  // could not be read at all
    ffLink = 2,        // a junction or symbolic link: listed, never followed
    ffPartial = 4,     // read only in part
};

struct NameRef {
    std::uint32_t block = 0;
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
};

struct FolderRecord {
    NameRef name;
    std::uint32_t parent = 0;     // the root is its own parent
    std::uint32_t fileCount = 0;  // files of this folder itself
    std::uint32_t attributes = 0;
    std::uint32_t flags = 0;
    std::int64_t modified = 0;    // seconds since 1970-01-01 UTC
};

struct FileRecord {
    NameRef name;
    std::uint32_t attributes = 0;
    std::uint64_t size = 0;
    std::int64_t modified = 0;
};

struct FolderError {
    std::uint32_t folder = 0;
    std::uint32_t code = 0;
};

// The names' arena: blocks of 1 MB, a name never split across two.
class NameArena {
public:
    NameRef Add(std::string_view utf8);
    std::string_view operator[](const NameRef& ref) const {
        return std::string_view(blocks_[ref.block].get() + ref.offset, ref.length);
    }
    std::size_t Bytes() const { return bytes_; }

private:
    static constexpr std::size_t kBlock = std::size_t{1} << 20;
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::size_t used_ = kBlock;  // room used in the last block
    std::size_t bytes_ = 0;
};

// Folders in pre-order (the root first, every folder before what is below it), files in the
// order of their folders.
struct CatalogTree {
    NameArena names;
    BlockArray<FolderRecord> folders;
    BlockArray<FileRecord> files;
    std::vector<FolderError> errors;  // in folder order
    std::uint64_t bytes = 0;          // of all files
};

// Appends `name` (UTF-16) to `out` as the inside of a JSON string: UTF-8, with `\\`, `\"`,
// control characters, `<` and unpaired surrogates written as JSON escapes, so the text can
// sit inside a page's script element and be read back exactly.
void AppendEscapedUtf8(std::string& out, std::wstring_view name);

// Appends the name an escaped name stands for (the inverse of AppendEscapedUtf8), as UTF-8.
// An unpaired surrogate, which a file system may hold and UTF-8 cannot carry, becomes U+FFFD.
void AppendUnescapedUtf8(std::string& out, std::string_view escaped);
// The same name in UTF-16.
std::wstring UnescapedName(std::string_view escaped);

// Seconds since 1970-01-01 UTC of a FILETIME's 100-ns ticks since 1601.
std::int64_t UnixSeconds(std::uint64_t filetime);

} // namespace catalog
