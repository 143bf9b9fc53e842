#include "tests/skin/skin_zip.h"

#include <zlib.h>

#include <cstdint>

namespace skin_test {
namespace {

uint32_t Le(const std::string& b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
    return v;
}

bool Inflate(const std::string& in, int windowBits, std::string& out, size_t limit) {
    z_stream zs{};
    if (inflateInit2(&zs, windowBits) != Z_OK) return false;
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    zs.avail_in = static_cast<uInt>(in.size());
    out.clear();
    char buf[16384];
    int rc = Z_OK;
    while (rc == Z_OK && out.size() <= limit) {
        zs.next_out = reinterpret_cast<Bytef*>(buf);
        zs.avail_out = sizeof(buf);
        rc = inflate(&zs, Z_NO_FLUSH);
        out.append(buf, sizeof(buf) - zs.avail_out);
        if (rc == Z_BUF_ERROR && zs.avail_in == 0) break;
    }
    inflateEnd(&zs);
    return rc == Z_STREAM_END;
}

}  // namespace

bool InflateRaw(const std::string& in, size_t expectedSize, std::string& out) {
    return Inflate(in, -MAX_WBITS, out, expectedSize) && out.size() == expectedSize;
}

bool InflateZlib(const std::string& in, std::string& out) {
    return Inflate(in, MAX_WBITS, out, 64u << 20);
}

ZipContents ReadZip(const std::string& z) {
    ZipContents result;
    auto fail = [&](const std::string& why) {
        result.entries.clear();
        result.error = why;
        return result;
    };
    if (z.size() < 22) return fail("too small for a zip archive");
    size_t eocd = std::string::npos;
    for (size_t i = z.size() - 22 + 1; i-- > 0 && z.size() - i <= 22 + 65535;) {
        if (Le(z, i, 4) == 0x06054b50) {
            eocd = i;
            break;
        }
    }
    if (eocd == std::string::npos) return fail("no end of central directory");
    const uint32_t count = Le(z, eocd + 10, 2);
    const uint32_t dirSize = Le(z, eocd + 12, 4);
    size_t at = Le(z, eocd + 16, 4);
    if (at + dirSize > eocd) return fail("central directory outside the archive");
    for (uint32_t n = 0; n < count; ++n) {
        if (at + 46 > eocd || Le(z, at, 4) != 0x02014b50) return fail("broken central directory");
        const uint32_t method = Le(z, at + 10, 2), crc = Le(z, at + 16, 4);
        const uint32_t packed = Le(z, at + 20, 4), size = Le(z, at + 24, 4);
        const uint32_t nameLen = Le(z, at + 28, 2), extraLen = Le(z, at + 30, 2), commentLen = Le(z, at + 32, 2);
        const size_t local = Le(z, at + 42, 4);
        if (at + 46 + nameLen > eocd) return fail("entry name outside the directory");
        const std::string name = z.substr(at + 46, nameLen);
        at += 46 + nameLen + extraLen + commentLen;
        if (local + 30 > z.size() || Le(z, local, 4) != 0x04034b50) return fail(name + ": no local header");
        if (Le(z, local + 26, 2) != nameLen || z.compare(local + 30, nameLen, name) != 0)
            return fail(name + ": local header names another file");
        const size_t data = local + 30 + nameLen + Le(z, local + 28, 2);
        if (data + packed > z.size()) return fail(name + ": data outside the archive");
        std::string bytes;
        if (method == 0) {
            bytes = z.substr(data, packed);
            if (bytes.size() != size) return fail(name + ": stored size mismatch");
        } else if (method == 8) {
            if (!InflateRaw(z.substr(data, packed), size, bytes)) return fail(name + ": does not inflate");
        } else {
            return fail(name + ": unsupported compression method");
        }
        if (crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())) != crc)
            return fail(name + ": CRC mismatch");
        if (!result.entries.emplace(name, bytes).second) return fail(name + ": stored twice");
    }
    return result;
}

}  // namespace skin_test
