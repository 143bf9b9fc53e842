#include "uikit/markup/zip_reader.h"

#include <windows.h>
#include <zlib.h>

#include <cwctype>

namespace UiKit {
namespace {

const uint32_t kEndOfDirSig = 0x06054b50;
const uint32_t kDirEntrySig = 0x02014b50;
const uint32_t kLocalSig = 0x04034b50;
const size_t kEndOfDirSize = 22;
const size_t kDirEntrySize = 46;
const size_t kLocalSize = 30;

uint16_t Le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Le32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

// True when [offset, offset + length) lies inside a buffer of size bytes,
// without overflowing.
bool Inside(size_t size, uint64_t offset, uint64_t length) { return offset <= size && length <= size - offset; }

std::wstring DecodeName(const unsigned char* p, size_t n, bool utf8) {
    if (n == 0) return std::wstring();
    UINT cp = utf8 ? CP_UTF8 : CP_ACP;
    int len = MultiByteToWideChar(cp, 0, reinterpret_cast<const char*>(p), static_cast<int>(n), nullptr, 0);
    if (len <= 0) return std::wstring();
    std::wstring s(static_cast<size_t>(len), L'\0');
    MultiByteToWideChar(cp, 0, reinterpret_cast<const char*>(p), static_cast<int>(n), &s[0], len);
    return s;
}

wchar_t Fold(wchar_t c) { return c == L'\\' ? L'/' : static_cast<wchar_t>(towupper(c)); }

bool SameName(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Fold(a[i]) != Fold(b[i])) return false;
    return true;
}

}  // namespace

bool ZipArchive::Open(const void* data, size_t size) {
    Close();
    data_ = static_cast<const unsigned char*>(data);
    size_ = data ? size : 0;
    open_ = ReadDirectory();
    if (!open_) Close();
    return open_;
}

bool ZipArchive::OpenFile(const std::wstring& path) {
    Close();
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER sz;
    bool ok = GetFileSizeEx(f, &sz) && sz.QuadPart > 0 && sz.QuadPart < (1LL << 30);
    if (ok) {
        std::vector<unsigned char> bytes(static_cast<size_t>(sz.QuadPart));
        DWORD got = 0;
        ok = ReadFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) && got == bytes.size();
        if (ok) owned_.swap(bytes);
    }
    CloseHandle(f);
    if (!ok) return false;
    data_ = owned_.data();
    size_ = owned_.size();
    open_ = ReadDirectory();
    if (!open_) Close();
    return open_;
}

void ZipArchive::Close() {
    owned_.clear();
    owned_.shrink_to_fit();
    data_ = nullptr;
    size_ = 0;
    open_ = false;
    entries_.clear();
}

bool ZipArchive::ReadDirectory() {
    if (!data_ || size_ < kEndOfDirSize) return false;
    // The end record sits at the end, after a comment of up to 65535 bytes.
    size_t last = size_ - kEndOfDirSize;
    size_t first = last > 65535 ? last - 65535 : 0;
    const unsigned char* end = nullptr;
    for (size_t i = last + 1; i-- > first;) {
        if (Le32(data_ + i) == kEndOfDirSig) {
            end = data_ + i;
            break;
        }
    }
    if (!end) return false;
    uint16_t count = Le16(end + 10);
    uint32_t dirSize = Le32(end + 12);
    uint32_t dirOffset = Le32(end + 16);
    if (!Inside(size_, dirOffset, dirSize)) return false;
    const unsigned char* p = data_ + dirOffset;
    const unsigned char* dirEnd = p + dirSize;
    entries_.reserve(count);
    for (uint16_t i = 0; i < count; ++i) {
        if (static_cast<size_t>(dirEnd - p) < kDirEntrySize || Le32(p) != kDirEntrySig) return false;
        uint16_t flags = Le16(p + 8);
        size_t nameLen = Le16(p + 28), extraLen = Le16(p + 30), commentLen = Le16(p + 32);
        size_t total = kDirEntrySize + nameLen + extraLen + commentLen;
        if (static_cast<size_t>(dirEnd - p) < total) return false;
        ZipEntry e;
        e.method = Le16(p + 10);
        e.crc = Le32(p + 16);
        e.compressedSize = Le32(p + 20);
        e.uncompressedSize = Le32(p + 24);
        e.localHeaderOffset = Le32(p + 42);
        e.name = DecodeName(p + kDirEntrySize, nameLen, (flags & 0x800) != 0);
        // Encrypted entries cannot be read; leave them out.
        if (!(flags & 1)) entries_.push_back(std::move(e));
        p += total;
    }
    return true;
}

const ZipEntry* ZipArchive::Find(const std::wstring& name) const {
    for (const ZipEntry& e : entries_)
        if (SameName(e.name, name)) return &e;
    return nullptr;
}

ZipExtract ZipArchive::Extract(const ZipEntry& e, std::string& out, size_t limit) const {
    out.clear();
    if (!open_) return ZipExtract::Corrupt;
    if (e.uncompressedSize > limit) return ZipExtract::TooLarge;
    if (!Inside(size_, e.localHeaderOffset, kLocalSize)) return ZipExtract::Corrupt;
    const unsigned char* local = data_ + e.localHeaderOffset;
    if (Le32(local) != kLocalSig) return ZipExtract::Corrupt;
    uint64_t dataOffset = uint64_t(e.localHeaderOffset) + kLocalSize + Le16(local + 26) + Le16(local + 28);
    if (!Inside(size_, dataOffset, e.compressedSize)) return ZipExtract::Corrupt;
    const unsigned char* src = data_ + dataOffset;

    if (e.method == 0) {
        if (e.compressedSize != e.uncompressedSize) return ZipExtract::Corrupt;
        out.assign(reinterpret_cast<const char*>(src), e.compressedSize);
        return crc32(0L, src, e.compressedSize) == e.crc ? ZipExtract::Ok : ZipExtract::Corrupt;
    }
    if (e.method != 8) return ZipExtract::Corrupt;
    // Deflate expands at most about 1032 to 1; a larger stated size is a lie
    // that would only make us allocate for nothing.
    if (uint64_t(e.uncompressedSize) > uint64_t(e.compressedSize) * 1032 + 1024) return ZipExtract::Corrupt;
    out.resize(e.uncompressedSize);
    z_stream z = {};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return ZipExtract::Corrupt;
    z.next_in = const_cast<Bytef*>(src);
    z.avail_in = e.compressedSize;
    Bytef scratch = 0;
    z.next_out = out.empty() ? &scratch : reinterpret_cast<Bytef*>(&out[0]);
    z.avail_out = static_cast<uInt>(out.size());
    int rc = inflate(&z, Z_FINISH);
    size_t produced = z.total_out;
    inflateEnd(&z);
    if (rc == Z_STREAM_END) {
        if (produced != e.uncompressedSize || crc32(0L, reinterpret_cast<const Bytef*>(out.data()), produced) != e.crc) {
            out.clear();
            return ZipExtract::Corrupt;
        }
        return ZipExtract::Ok;
    }
    // The output is full while the stream goes on: the entry is longer than
    // it says. What was asked for is there; take it.
    if ((rc == Z_OK || rc == Z_BUF_ERROR) && z.avail_out == 0 && produced == out.size()) return ZipExtract::Ok;
    out.clear();
    return ZipExtract::Corrupt;
}

}  // namespace UiKit
