// The score library on disk: a two-level folder tree under one root folder,
// with no index of its own. The panel lists what Enumerate returns and applies
// its changes through the operations here, which touch only the entries they
// are given, all directly inside the root.
#pragma once
#include <functional>
#include <string>
#include <vector>

// Asked when a score being added already exists in the folder; name is the
// file name. True replaces the existing file.
using OverwriteQuestion = std::function<bool(const std::wstring& name)>;

enum class CopyResult {
    Copied,    // a new file in the folder
    Replaced,  // an existing file overwritten after the question
    Skipped,   // nothing to copy, the question answered No, or the file already is that score
    Failed,    // the file system refused; the folder is as it was
};

struct CopyOutcome {
    CopyResult result = CopyResult::Skipped;
    std::wstring dest;  // the path in the library, when there is one
};

class CScoreLibrary {
public:
    // root: the library folder, normally LibraryRootOf(PluginFolder()).
    explicit CScoreLibrary(std::wstring root);

    const std::wstring& Root() const { return root_; }
    std::wstring FolderPath(const std::wstring& folderName) const;
    std::wstring ScorePath(const std::wstring& folderName, const std::wstring& scoreName) const;

    // Each score folder's path (ending in a backslash) followed by its score
    // paths, in the order the file system returns them. Creates a missing
    // root (one level) and then returns nothing.
    std::vector<std::wstring> Enumerate() const;

    bool FolderNameExists(const std::wstring& name) const;
    // Whether a score called name exists beside the selected score. Anything
    // that cannot be checked (no score selected, its folder gone) counts as
    // taken so that the name is refused.
    bool ScoreNameExists(const std::wstring& selectedScorePath, const std::wstring& name) const;

    // True when the folder exists afterwards.
    bool CreateFolder(const std::wstring& name) const;
    // The new path, or empty when nothing was renamed. An existing entry of
    // the new name is never replaced.
    std::wstring RenameFolder(const std::wstring& folderPath, const std::wstring& newName) const;
    std::wstring RenameScore(const std::wstring& scorePath, const std::wstring& newName) const;

    // True when the score is gone afterwards. A refused delete (read-only, in
    // use) leaves the file where it is.
    bool DeleteScore(const std::wstring& scorePath) const;
    // Depth first: the given scores of this folder, then the folder itself if
    // it is empty by then. Files the library does not list stay, and so does
    // the folder holding them. True when the folder is gone afterwards.
    bool DeleteFolder(const std::wstring& folderPath, const std::vector<std::wstring>& scorePaths) const;

    // Copies source into the folder under its own file name; ask decides when
    // that name is taken.
    CopyOutcome CopyScoreIn(const std::wstring& source, const std::wstring& folderName,
                            const OverwriteQuestion& ask) const;
    // Removes a new copy again (the engine refused it). Only a Copied outcome
    // is removed: a replaced file has no earlier version to go back to, and
    // deleting it would lose the user's score.
    bool UndoCopy(const CopyOutcome& outcome) const;

private:
    bool ReachesOnlyLibrary(const std::wstring& path) const;

    std::wstring root_;
};
