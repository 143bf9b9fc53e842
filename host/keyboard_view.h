// The host's on-screen 88-key keyboard: which keys are lit, and where each
// key is drawn.
#pragma once
#include <windows.h>

#include <array>

class CKeyboardView {
public:
    static constexpr int kFirstNote = 21;  // A0
    static constexpr int kLastNote = 108;  // C8
    static constexpr int kWhiteKeys = 52;

    // Applies one plug-in note word; the reset word clears every key.
    void ApplyNoteWord(DWORD word);
    void Clear() { lit_.fill(0); }
    // 0 = not lit, 1 = lit by the right hand, 2 = lit by the left hand.
    int LitBy(int note) const;
    int LitCount() const;

    static bool IsBlack(int note);
    // The key's rectangle inside a keyboard drawn in `area`.
    static RECT KeyRect(int note, const RECT& area);
    void Paint(HDC dc, const RECT& area) const;

private:
    std::array<unsigned char, kLastNote - kFirstNote + 1> lit_{};
};
