// A strict reader of the skin package archive, for checking what the build
// put into the plug-in: every entry is located through the central
// directory, cross-checked with its local header, inflated and CRC-checked.
#pragma once
#include <map>
#include <string>

namespace skin_test {

struct ZipContents {
    std::map<std::string, std::string> entries;  // entry name -> bytes
    std::string error;                           // empty when the archive is sound
};

ZipContents ReadZip(const std::string& archive);

// Inflates a raw deflate stream of a known size; false when it does not
// produce exactly that many bytes.
bool InflateRaw(const std::string& in, size_t expectedSize, std::string& out);

// Inflates a zlib stream (as PNG stores its pixels) completely.
bool InflateZlib(const std::string& in, std::string& out);

}  // namespace skin_test
