// A read-only ZIP archive over a byte buffer: the central directory is read
// once, entries are found by name without regard to case and extracted whole
// (stored, or deflated and inflated with zlib). Every offset and size the
// archive states is checked against the buffer before it is used, so a
// truncated or lying archive yields "not found" or "corrupt", never a read
// outside the buffer.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace UiKit {

struct ZipEntry {
    std::wstring name;  // as stored, '\' and '/' both kept as written
    uint16_t method = 0;  // 0 stored, 8 deflated
    uint32_t crc = 0;
    uint32_t compressedSize = 0;
    uint32_t uncompressedSize = 0;
    uint32_t localHeaderOffset = 0;
};

enum class ZipExtract { Ok, TooLarge, Corrupt };

class ZipArchive {
public:
    ZipArchive() = default;
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // Reads the directory of an archive in memory; the block is not copied
    // and must outlive the archive.
    bool Open(const void* data, size_t size);
    // Reads a whole archive file into memory owned by this object.
    bool OpenFile(const std::wstring& path);
    void Close();
    bool IsOpen() const { return open_; }

    size_t Count() const { return entries_.size(); }
    const ZipEntry& EntryAt(size_t i) const { return entries_[i]; }
    // Case-insensitive; '/' and '\' are the same separator.
    const ZipEntry* Find(const std::wstring& name) const;

    // Extracts an entry whole. limit caps the stated uncompressed size (an
    // entry above it is TooLarge and nothing is read).
    ZipExtract Extract(const ZipEntry& entry, std::string& out, size_t limit = 64u << 20) const;

private:
    bool ReadDirectory();

    std::vector<unsigned char> owned_;
    const unsigned char* data_ = nullptr;
    size_t size_ = 0;
    bool open_ = false;
    std::vector<ZipEntry> entries_;
};

}  // namespace UiKit
