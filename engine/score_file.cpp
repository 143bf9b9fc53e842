#include "engine/score_file.h"

#include <windows.h>

#include "abi/score_engine.h"

namespace zyqn {

int LoadCodeOf(ParseStatus status) {
    switch (status) {
    case ParseStatus::Ok: return SCORE_LOAD_OK;
    case ParseStatus::NotScore: return SCORE_E_NOT_SCORE;
    case ParseStatus::NewerVersion: return SCORE_E_VERSION;
    case ParseStatus::Unreadable: break;
    }
    return SCORE_E_UNREADABLE;
}

int LoadZyqnFile(const wchar_t* path, ParseResult* result) {
    ParseResult local;
    ParseResult& out = result ? *result : local;
    out = ParseResult();
    out.status = ParseStatus::Unreadable;
    if (!path || !*path) return SCORE_E_UNREADABLE;
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        out.message = "the file cannot be opened";
        return SCORE_E_UNREADABLE;
    }
    LARGE_INTEGER size{};
    std::string bytes;
    bool ok = GetFileSizeEx(file, &size) != 0;
    if (ok && size.QuadPart > static_cast<LONGLONG>(kMaxFileBytes)) {
        out.message = "the file is larger than 4 MB";
        ok = false;
    } else if (ok) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        ok = bytes.empty() || (ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr) &&
                               read == bytes.size());
        if (!ok) out.message = "the file cannot be read";
    }
    CloseHandle(file);
    if (!ok) return SCORE_E_UNREADABLE;
    out = ParseZyqn(bytes);
    return LoadCodeOf(out.status);
}

}  // namespace zyqn
