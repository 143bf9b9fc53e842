#include "host/keyboard_view.h"

#include "abi/host_messages.h"

void CKeyboardView::ApplyNoteWord(DWORD word) {
    if (word == kResetNotesWord) {
        Clear();
        return;
    }
    int note = static_cast<int>(word & 0xFF);
    bool on = ((word >> 16) & 0xFF) == 1;
    int hand = static_cast<int>((word >> 24) & 0xFF);
    if (note < kFirstNote || note > kLastNote) return;
    lit_[note - kFirstNote] = on ? static_cast<unsigned char>(hand == 1 ? 2 : 1) : 0;
}

int CKeyboardView::LitBy(int note) const {
    return (note < kFirstNote || note > kLastNote) ? 0 : lit_[note - kFirstNote];
}

int CKeyboardView::LitCount() const {
    int n = 0;
    for (unsigned char v : lit_) n += v ? 1 : 0;
    return n;
}

bool CKeyboardView::IsBlack(int note) {
    switch (note % 12) {
    case 1: case 3: case 6: case 8: case 10: return true;
    default: return false;
    }
}

static int WhiteIndex(int note) {
    int n = 0;
    for (int k = CKeyboardView::kFirstNote; k < note; ++k)
        if (!CKeyboardView::IsBlack(k)) ++n;
    return n;
}

RECT CKeyboardView::KeyRect(int note, const RECT& area) {
    int width = area.right - area.left;
    int height = area.bottom - area.top;
    auto edge = [&](int whiteIndex) { return area.left + whiteIndex * width / kWhiteKeys; };
    if (!IsBlack(note)) {
        int i = WhiteIndex(note);
        return RECT{edge(i), area.top, edge(i + 1), area.bottom};
    }
    // A black key straddles the edge between its two white neighbours.
    int boundary = edge(WhiteIndex(note));
    int half = (width / kWhiteKeys) * 3 / 10 + 1;
    return RECT{boundary - half, area.top, boundary + half, area.top + height * 62 / 100};
}

void CKeyboardView::Paint(HDC dc, const RECT& area) const {
    const COLORREF handColour[3] = {0, RGB(64, 140, 220), RGB(80, 180, 110)};
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(90, 90, 90));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    for (int pass = 0; pass < 2; ++pass) {
        for (int note = kFirstNote; note <= kLastNote; ++note) {
            if (IsBlack(note) != (pass == 1)) continue;
            int who = LitBy(note);
            COLORREF fill = who ? handColour[who] : (pass ? RGB(30, 30, 34) : RGB(252, 250, 244));
            HBRUSH brush = CreateSolidBrush(fill);
            HGDIOBJ oldBrush = SelectObject(dc, brush);
            RECT r = KeyRect(note, area);
            Rectangle(dc, r.left, r.top, r.right + 1, r.bottom);
            SelectObject(dc, oldBrush);
            DeleteObject(brush);
        }
    }
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}
