// The practice host's keyboard: what lights up for which note word.
#include <gtest/gtest.h>

#include "abi/host_messages.h"
#include "host/keyboard_view.h"

TEST(PracticeKeyboard, NoteWordsLightAndReleaseKeysByHand) {
    CKeyboardView kb;
    kb.ApplyNoteWord(PackNoteWord(60, 90, 0, 0, 1));  // right hand middle C on
    kb.ApplyNoteWord(PackNoteWord(48, 90, 0, 1, 1));  // left hand C3 on
    EXPECT_EQ(kb.LitBy(60), 1);
    EXPECT_EQ(kb.LitBy(48), 2);
    kb.ApplyNoteWord(PackNoteWord(60, 0, 0, 0, 0));
    EXPECT_EQ(kb.LitBy(60), 0);
    EXPECT_EQ(kb.LitCount(), 1);
    kb.ApplyNoteWord(kResetNotesWord);
    EXPECT_EQ(kb.LitCount(), 0);
}

TEST(PracticeKeyboard, NotesOffTheKeyboardAreIgnored) {
    CKeyboardView kb;
    kb.ApplyNoteWord(PackNoteWord(20, 90, 0, 0, 1));
    kb.ApplyNoteWord(PackNoteWord(109, 90, 0, 0, 1));
    EXPECT_EQ(kb.LitCount(), 0);
    kb.ApplyNoteWord(PackNoteWord(21, 90, 0, 0, 1));
    kb.ApplyNoteWord(PackNoteWord(108, 90, 0, 0, 1));
    EXPECT_EQ(kb.LitCount(), 2);
}

TEST(PracticeKeyboard, KeysTileTheAreaInPitchOrder) {
    RECT area = {10, 20, 10 + 52 * 20, 140};
    int whites = 0;
    RECT previousWhite = {};
    for (int note = CKeyboardView::kFirstNote; note <= CKeyboardView::kLastNote; ++note) {
        RECT r = CKeyboardView::KeyRect(note, area);
        EXPECT_GE(r.left, area.left - 6) << note;
        EXPECT_LE(r.right, area.right) << note;
        if (CKeyboardView::IsBlack(note)) {
            // A black key sits on the edge after the previous white key and is shorter.
            EXPECT_LT(r.left, previousWhite.right) << note;
            EXPECT_GT(r.right, previousWhite.right) << note;
            EXPECT_LT(r.bottom, area.bottom) << note;
        } else {
            if (whites) {
                EXPECT_EQ(r.left, previousWhite.right) << note;
            }
            previousWhite = r;
            ++whites;
        }
    }
    EXPECT_EQ(whites, CKeyboardView::kWhiteKeys);
    EXPECT_EQ(previousWhite.right, area.right);
}
