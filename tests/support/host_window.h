// The tests' one plain top-level window: a host application's main window,
// the owner of a dialog or splash, the parent a shadow follows, the window an
// engine or a menu reports to. It keeps the messages of a chosen range and
// lets a test answer messages of its own.
#pragma once
#include <windows.h>

#include <functional>
#include <utility>
#include <vector>

namespace testing_support {

class HostWindow {
public:
    struct Message {
        UINT msg;
        WPARAM wp;
        LPARAM lp;
    };
    // Answers a message itself: returns true with result set. Runs before a
    // message is kept, and a message it answers is not kept.
    using Handler = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT& result)>;

    struct Options {
        int x = 0, y = 0, cx = 200, cy = 100;
        DWORD style = WS_OVERLAPPEDWINDOW;
        const wchar_t* title = L"test host";
        HBRUSH background = nullptr;  // the background is left unpainted without one
        UINT keepFirst = 1, keepLast = 0;  // an empty range keeps nothing
        Handler handler;

        Options& At(int left, int top, int width, int height) {
            x = left, y = top, cx = width, cy = height;
            return *this;
        }
        Options& Style(DWORD s) {
            style = s;
            return *this;
        }
        Options& Title(const wchar_t* t) {
            title = t;
            return *this;
        }
        Options& Background(HBRUSH b) {
            background = b;
            return *this;
        }
        Options& Keep(UINT first, UINT last) {
            keepFirst = first, keepLast = last;
            return *this;
        }
        Options& OnMessage(Handler h) {
            handler = std::move(h);
            return *this;
        }
    };

    HostWindow();
    explicit HostWindow(Options options);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND Hwnd() const { return hwnd_; }
    // Replaces the handler of the options (null for none).
    void SetHandler(Handler h) { options_.handler = std::move(h); }
    // The kept messages of one number, in order.
    std::vector<Message> Of(UINT msg) const;
    std::vector<Message> messages;

private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    Options options_;
    HWND hwnd_ = nullptr;
};

}  // namespace testing_support
