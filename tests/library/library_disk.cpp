#include "tests/library/library_disk.h"

#include "abi/module.h"

namespace {
void Walk(const std::wstring& base, const std::wstring& relative, DiskSnapshot* out) {
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW((base + relative + L"*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..") continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            (*out)[relative + name + L"\\"] = "";
            Walk(base, relative + name + L"\\", out);
        } else {
            (*out)[relative + name] = testing_support::ReadFileBytes(base + relative + name);
        }
    } while (FindNextFileW(find, &fd));
    FindClose(find);
}
}  // namespace

DiskSnapshot Snapshot(const std::wstring& folder) {
    DiskSnapshot out;
    Walk(folder, L"", &out);
    return out;
}

LibraryDisk::LibraryDisk() : root_(LibraryRootOf(dir_.Path())), lib_(root_) {}

std::wstring LibraryDisk::Folder(const std::wstring& relative) {
    CreateDirectoryW(root_.c_str(), nullptr);
    std::wstring path = root_;
    size_t start = 0;
    while (start < relative.size()) {
        size_t slash = relative.find(L'\\', start);
        if (slash == std::wstring::npos) slash = relative.size();
        path += relative.substr(start, slash - start) + L"\\";
        CreateDirectoryW(path.c_str(), nullptr);
        start = slash + 1;
    }
    return path;
}

std::wstring LibraryDisk::Put(const std::wstring& relative, const std::string& content) {
    size_t slash = relative.find_last_of(L'\\');
    if (slash == std::wstring::npos)
        CreateDirectoryW(root_.c_str(), nullptr);
    else
        Folder(relative.substr(0, slash));
    std::wstring path = root_ + relative;
    testing_support::WriteFileBytes(path, content);
    return path;
}

HeldOpen::HeldOpen(const std::wstring& path, DWORD share)
    : h_(CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr)) {}

HeldOpen::~HeldOpen() {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
}

void SetReadOnly(const std::wstring& path, bool on) {
    SetFileAttributesW(path.c_str(), on ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
}

namespace {
std::string UnixPath(const std::wstring& path) {
    using Fn = char*(CDECL*)(const wchar_t*);
    auto fn = GetProc<Fn>(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name");
    if (!fn) return std::string();
    char* unix = fn(path.c_str());
    if (!unix) return std::string();
    std::string out(unix);
    HeapFree(GetProcessHeap(), 0, unix);
    return out;
}
}  // namespace

bool MakeLink(const std::wstring& link, const std::wstring& target, bool folder) {
    const std::string unixTarget = UnixPath(target), unixLink = UnixPath(link);
    if (!unixTarget.empty() && !unixLink.empty()) {
        // Wine starts Unix programs given by their Unix path on drive Z:.
        std::string cmd = "/bin/ln -s \"" + unixTarget + "\" \"" + unixLink + "\"";
        std::wstring wcmd(cmd.begin(), cmd.end());
        STARTUPINFOW si = {};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi = {};
        if (CreateProcessW(L"Z:\\bin\\ln", &wcmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
            WaitForSingleObject(pi.hProcess, 10000);
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
        }
    } else {
        CreateSymbolicLinkW(link.c_str(), target.c_str(),
                            (folder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0) | 0x2 /* unprivileged create */);
    }
    // The Unix program runs on its own; its process handle does not say when
    // it is done, so wait for the link to show.
    for (int i = 0; i < 250; ++i) {
        WIN32_FIND_DATAW fd;
        HANDLE h = FindFirstFileW(link.c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            FindClose(h);
            return true;
        }
        Sleep(20);
    }
    return false;
}
