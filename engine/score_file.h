// Reading a "*.zyqn" file from disk into a parsed score, with the load codes
// the plug-in understands.
#pragma once
#include "engine/zyqn_parser.h"

namespace zyqn {

// The plug-in's load code for a parse result.
int LoadCodeOf(ParseStatus status);

// Reads and parses the file; returns its load code. A file above the size cap
// is refused before it is read.
int LoadZyqnFile(const wchar_t* path, ParseResult* result);

}  // namespace zyqn
