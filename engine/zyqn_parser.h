// Reads the text of a "*.zyqn" score. A pure function over a byte buffer, so
// tests and the fuzz loop can call it without files or windows.
#pragma once
#include <cstddef>
#include <string>

#include "engine/zyqn_model.h"

namespace zyqn {

// Inputs above this size are refused before any parsing; loading stays
// bounded in time and memory whatever the file holds.
constexpr size_t kMaxFileBytes = 4 * 1024 * 1024;
constexpr int kMaxMeasures = 5000;
constexpr int kMaxEvents = 200000;
constexpr int kMaxChordHeads = 8;
constexpr size_t kMaxFieldBytes = 200;

enum class ParseStatus {
    Ok,
    NotScore,      // no "zyqn" signature: some other file, or binary data
    NewerVersion,  // written for a format version this engine does not know
    Unreadable,    // a zyqn file with a syntax error, bad text or too large
};

struct ParseResult {
    ParseStatus status = ParseStatus::Ok;
    int line = 0, column = 0;  // 1-based, columns in characters; 0 when the error has no place
    std::string message;
    Score score;
};

ParseResult ParseZyqn(const char* data, size_t size);
inline ParseResult ParseZyqn(const std::string& text) { return ParseZyqn(text.data(), text.size()); }

}  // namespace zyqn
