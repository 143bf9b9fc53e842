// What the library panel needs of the player beside it: show a score, know
// and follow the path of the score it shows, and reach its page view. The
// player window implements it, so the panel knows nothing else of the player.
#pragma once
#include <string>

class CScoreListUI;

class IScorePlayer {
public:
    // Loads and shows the score at path; false when the engine refused the
    // file, and the user was told why.
    virtual bool OpenScore(const std::wstring& path) = 0;
    virtual const std::wstring& CurrentScorePath() const = 0;
    // The open score's file was renamed or moved with its folder.
    virtual void SetCurrentScorePath(const std::wstring& path) = 0;
    // The player's page view, or null.
    virtual CScoreListUI* ScoreView() const = 0;

protected:
    ~IScorePlayer() = default;
};
