// The harness the other tests stand on: its deadline across the tick
// counter's wrap, and the host window and pump with real messages.
#include <gtest/gtest.h>

#include "tests/support/host_window.h"
#include "tests/support/message_pump.h"
#include "tests/support/screen_pixels.h"

using testing_support::BitmapPixels;
using testing_support::HostWindow;
using testing_support::PumpUntil;
using testing_support::TickDeadline;

namespace {

TEST(TickDeadline, HoldsAcrossTheCounterWrap) {
    struct Case {
        DWORD start, ms, now;
        bool passed;
        DWORD left;
    };
    const Case cases[] = {
        {1000, 50, 1000, false, 50},
        {1000, 50, 1049, false, 1},
        {1000, 50, 1050, true, 0},
        {1000, 0, 1000, true, 0},
        // Started just before the wrap, read before it: start + ms has wrapped.
        {0xFFFFFF00u, 5000, 0xFFFFFF10u, false, 4984},
        // Started before the wrap, read after it.
        {0xFFFFFFF0u, 0x20, 0x0000000Fu, false, 1},
        {0xFFFFFFF0u, 0x20, 0x00000010u, true, 0},
        {0xFFFFFFF0u, 0x20, 0x00001000u, true, 0},
    };
    for (const Case& c : cases) {
        const TickDeadline d(c.start, c.ms);
        EXPECT_EQ(c.passed, d.Passed(c.now)) << std::hex << c.start << " + " << c.ms << " at " << c.now;
        EXPECT_EQ(c.left, d.Left(c.now)) << std::hex << c.start << " + " << c.ms << " at " << c.now;
    }
}

TEST(HostWindow, KeepsItsRangeAndLetsTheHandlerAnswerFirst) {
    const UINT first = WM_APP + 10, last = WM_APP + 12;
    HostWindow w(HostWindow::Options().Keep(first, last).OnMessage([&](HWND, UINT msg, WPARAM wp, LPARAM, LRESULT& r) {
        if (msg != first + 1 || wp != 99) return false;
        r = 4242;
        return true;
    }));
    ASSERT_NE(nullptr, w.Hwnd());
    PostMessageW(w.Hwnd(), first, 1, 2);
    PostMessageW(w.Hwnd(), last + 1, 3, 4);  // outside the range
    PostMessageW(w.Hwnd(), last, 5, 6);
    EXPECT_TRUE(PumpUntil([&] { return w.messages.size() == 2; }, 2000));
    EXPECT_EQ(4242, SendMessageW(w.Hwnd(), first + 1, 99, 0));  // answered, so not kept
    EXPECT_EQ(0, SendMessageW(w.Hwnd(), first + 1, 7, 8));      // passed on, so kept
    ASSERT_EQ(3u, w.messages.size());
    EXPECT_EQ(first, w.messages[0].msg);
    EXPECT_EQ(1u, w.messages[0].wp);
    EXPECT_EQ(2, w.messages[0].lp);
    EXPECT_EQ(last, w.messages[1].msg);
    EXPECT_EQ(first + 1, w.messages[2].msg);
    EXPECT_EQ(1u, w.Of(last).size());
}

// Pixels come back as 0x00RRGGBB whatever the bitmap keeps in its top byte
// (layered drawing leaves alpha there), top row first.
TEST(BitmapPixels, ReadsColoursTopDownWithoutTheTopByte) {
    struct Case {
        DWORD stored;  // top row; the bottom row holds its complement
        DWORD read;
    };
    const Case cases[] = {
        {0xFF102030u, 0x00102030u},
        {0x80FFFFFFu, 0x00FFFFFFu},
        {0x00000000u, 0x00000000u},
        {0x01ABCDEFu, 0x00ABCDEFu},
    };
    for (const Case& c : cases) {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = 3;
        bi.bmiHeader.biHeight = -2;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        ASSERT_NE(nullptr, bitmap);
        DWORD* px = static_cast<DWORD*>(bits);
        for (int i = 0; i < 3; ++i) px[i] = c.stored, px[3 + i] = ~c.stored;
        int w = 0, h = 0;
        std::vector<DWORD> read = BitmapPixels(bitmap, &w, &h);
        DeleteObject(bitmap);
        ASSERT_EQ(3, w);
        ASSERT_EQ(2, h);
        ASSERT_EQ(6u, read.size());
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(c.read, read[i]) << std::hex << c.stored;
            EXPECT_EQ(~c.stored & 0x00FFFFFFu, read[3 + i]) << std::hex << c.stored;
        }
    }
    int w = 7, h = 7;
    EXPECT_TRUE(BitmapPixels(nullptr, &w, &h).empty());
    EXPECT_EQ(0, w);
    EXPECT_EQ(0, h);
}

TEST(MessagePump, RunsThisThreadsTimersUntilThePredicateHoldsOrTheTimeout) {
    int ticks = 0;
    HostWindow w(HostWindow::Options().OnMessage([&](HWND, UINT msg, WPARAM, LPARAM, LRESULT&) {
        if (msg == WM_TIMER) ++ticks;
        return msg == WM_TIMER;
    }));
    SetTimer(w.Hwnd(), 1, 10, nullptr);
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 3; }, 5000));
    KillTimer(w.Hwnd(), 1);
    EXPECT_FALSE(PumpUntil([] { return false; }, 30));
}

}  // namespace
