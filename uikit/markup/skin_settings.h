// Process-wide skin settings: where markup files and images are looked up
// (the resource module, a folder on disk, or a ZIP package in memory or on
// disk). Used on the user-interface thread only.
#pragma once
#include <windows.h>

#include <cstddef>
#include <string>

#include "uikit/markup/ui_string.h"
#include "uikit/markup/zip_reader.h"

namespace UiKit {

class CSkinSettings {
public:
    // The module that owns the toolkit's window classes (the plug-in); the
    // toolkit's own module when unset.
    static void SetInstance(HINSTANCE module);
    static HINSTANCE GetInstance();
    // The module searched by FindResource; the instance when unset.
    static void SetResourceInstance(HINSTANCE module);
    static HINSTANCE GetResourceInstance();

    // A non-empty path gets a trailing "\" unless it ends in "\" or "/".
    static void SetResourcePath(const CUIString& path);
    static const CUIString& GetResourcePath();

    // An archive file under the resource path; cached keeps it open between
    // lookups. An empty name means no package.
    static void SetResourceZip(const CUIString& fileName, bool cached = false);
    // Installs an archive in memory, once: while "membuffer" is installed a
    // second call changes nothing. The block is not copied.
    static void SetResourceZip(const void* data, size_t size);
    // Closes a cached package; the name stays, so later lookups fail.
    static void ReleasePackage();
    // Closes the package and forgets it (no package, not cached), so that a
    // later install takes effect: a UI thread that ends removes the package
    // whose memory it is about to free, and the next one installs it anew.
    static void RemovePackage();

    static const CUIString& GetPackageName();
    static bool IsPackageCached();
    static const ZipArchive* GetPackageHandle();
};

enum class SkinReadError { None, OpenFile, Empty, TooLarge, ReadFile, OpenZip, NotInZip, Unzip };
const wchar_t* SkinReadErrorText(SkinReadError error);

// Reads a skin file whole: from the package when one is set, else from the
// resource path. limit caps the size (markup); images pass a large one.
SkinReadError ReadSkinFile(const CUIString& name, std::string& bytes, size_t limit);
// Reads any file whole (used for absolute image paths).
SkinReadError ReadDiskFile(const CUIString& path, std::string& bytes, size_t limit);

}  // namespace UiKit
