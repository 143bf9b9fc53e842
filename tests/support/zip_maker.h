// Builds ZIP archives in memory for the tests, the fuzz loop and the
// benchmarks: stored or deflated entries, written by the book.
#pragma once
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace uikit_test {

class ZipMaker {
public:
    void Add(const std::string& name, const std::string& data, bool deflate = true) {
        Entry e;
        e.name = name;
        e.crc = crc32(0L, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size()));
        e.size = static_cast<uint32_t>(data.size());
        e.method = deflate ? 8 : 0;
        e.payload = deflate ? Deflate(data) : data;
        e.offset = static_cast<uint32_t>(out_.size());
        Put32(0x04034b50);
        Put16(20); Put16(0); Put16(e.method); Put16(0); Put16(0);
        Put32(e.crc); Put32(static_cast<uint32_t>(e.payload.size())); Put32(e.size);
        Put16(static_cast<uint16_t>(name.size())); Put16(0);
        out_ += name;
        out_ += e.payload;
        entries_.push_back(e);
    }
    std::string Finish() {
        uint32_t dirOffset = static_cast<uint32_t>(out_.size());
        for (const Entry& e : entries_) {
            Put32(0x02014b50);
            Put16(20); Put16(20); Put16(0); Put16(e.method); Put16(0); Put16(0);
            Put32(e.crc); Put32(static_cast<uint32_t>(e.payload.size())); Put32(e.size);
            Put16(static_cast<uint16_t>(e.name.size())); Put16(0); Put16(0); Put16(0); Put16(0);
            Put32(0); Put32(e.offset);
            out_ += e.name;
        }
        uint32_t dirSize = static_cast<uint32_t>(out_.size()) - dirOffset;
        Put32(0x06054b50);
        Put16(0); Put16(0);
        Put16(static_cast<uint16_t>(entries_.size())); Put16(static_cast<uint16_t>(entries_.size()));
        Put32(dirSize); Put32(dirOffset); Put16(0);
        return out_;
    }

    static std::string Deflate(const std::string& data) {
        z_stream z = {};
        deflateInit2(&z, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
        std::string out(deflateBound(&z, static_cast<uLong>(data.size())) + 16, '\0');
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
        z.avail_in = static_cast<uInt>(data.size());
        z.next_out = reinterpret_cast<Bytef*>(&out[0]);
        z.avail_out = static_cast<uInt>(out.size());
        deflate(&z, Z_FINISH);
        out.resize(z.total_out);
        deflateEnd(&z);
        return out;
    }

private:
    struct Entry {
        std::string name, payload;
        uint32_t crc = 0, size = 0, offset = 0;
        uint16_t method = 0;
    };
    void Put16(uint16_t v) { out_ += static_cast<char>(v & 0xFF); out_ += static_cast<char>(v >> 8); }
    void Put32(uint32_t v) { Put16(static_cast<uint16_t>(v & 0xFFFF)); Put16(static_cast<uint16_t>(v >> 16)); }
    std::string out_;
    std::vector<Entry> entries_;
};

}  // namespace uikit_test
