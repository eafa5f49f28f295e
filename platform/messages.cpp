// The thread's message loop: posted messages in order, desktop input, the quit message, and
// WM_PAINT for a window that needs painting, in Win32's order of priority. What was drawn on
// a window reaches the desktop at the next look at the queue.
#include "platform/messages.h"

#include <deque>

#include "platform/sdl_display.h"
#include "platform/single_instance.h"
#include "platform/testing.h"
#include "platform/window.h"

namespace platform {
namespace {

struct Queue {
    std::deque<MSG> posted;
    bool quitPosted = false;
    int exitCode = 0;
};

Queue& TheQueue() {
    static Queue queue;
    return queue;
}

// Waits while the picture is moving keep animation timing within a millisecond or two;
// once it has been still for a second, longer waits let an idle game use no processor.
constexpr DWORD kMovingWindow = 1000;
constexpr int kMovingWait = 1;
constexpr int kStillWait = 100;
constexpr DWORD kRaiseCheckInterval = 50;

DWORD lastPresent = 0;
DWORD lastRaiseCheck = 0;

bool Matches(const MSG& message, HWND window, UINT filterMin, UINT filterMax) {
    if (window != nullptr && message.hwnd != window) return false;
    if (filterMin == 0 && filterMax == 0) return true;
    return message.message >= filterMin && message.message <= filterMax;
}

void PresentDrawnWindows() {
    for (Window* window : LiveWindows()) {
        if (!window->presentPending || window->desktop == nullptr || !window->visible) continue;
        window->presentPending = false;
        PresentDesktopWindow(window->desktop, window->client);
        lastPresent = GetTickCount();
    }
}

// Desktop events become messages; drawings reach the desktop; other instances are heard.
// False when there is no desktop, so nothing can arrive but what the program posts.
bool Pump(int wait) {
    PresentDrawnWindows();
    if (!PumpDesktopEvents(wait)) return false;
    const DWORD now = GetTickCount();
    if (now - lastRaiseCheck >= kRaiseCheckInterval) {
        lastRaiseCheck = now;
        ServeRaiseRequests();
    }
    return true;
}

bool PaintMessage(MSG& out, HWND filter) {
    for (Window* window : LiveWindows()) {
        if (!window->invalid || !window->visible) continue;
        if (filter != nullptr && HandleOf(window) != filter) continue;
        out = MSG{HandleOf(window), WM_PAINT, 0, 0, GetTickCount(), {0, 0}};
        return true;
    }
    return false;
}

bool Next(MSG& out, HWND window, UINT filterMin, UINT filterMax, bool remove) {
    if (TakeQueuedMessage(out, window, filterMin, filterMax, remove)) return true;
    // WM_PAINT comes last and stays until the window is painted (BeginPaint validates it).
    return (filterMin == 0 && filterMax == 0) || (WM_PAINT >= filterMin && WM_PAINT <= filterMax)
               ? PaintMessage(out, window)
               : false;
}

}  // namespace

void EnqueueMessage(const MSG& message) { TheQueue().posted.push_back(message); }

bool TakeQueuedMessage(MSG& out, HWND window, UINT filterMin, UINT filterMax, bool remove) {
    Queue& queue = TheQueue();
    for (auto it = queue.posted.begin(); it != queue.posted.end(); ++it) {
        if (!Matches(*it, window, filterMin, filterMax)) continue;
        out = *it;
        if (remove) queue.posted.erase(it);
        return true;
    }
    // As on Win32, the quit message comes once everything posted before it has been taken.
    if (queue.quitPosted && queue.posted.empty()) {
        out = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(queue.exitCode), 0, GetTickCount(), {0, 0}};
        if (remove) queue.quitPosted = false;
        return true;
    }
    return false;
}

void ClearMessageQueue() { TheQueue() = Queue{}; }

}  // namespace platform

namespace platform::testing {

void ClearMessages() { ClearMessageQueue(); }

}  // namespace platform::testing

using namespace platform;

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window != nullptr && LookupWindow(window) == nullptr) return FALSE;
    EnqueueMessage(MSG{window, message, wParam, lParam, GetTickCount(), {0, 0}});
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    TheQueue().quitPosted = true;
    TheQueue().exitCode = exitCode;
}

BOOL PeekMessageW(LPMSG message, HWND window, UINT filterMin, UINT filterMax, UINT removal) {
    if (message == nullptr) return FALSE;
    const bool remove = (removal & PM_REMOVE) != 0;
    Pump(0);
    if (Next(*message, window, filterMin, filterMax, remove)) return TRUE;
    const int wait = GetTickCount() - lastPresent < kMovingWindow ? kMovingWait : kStillWait;
    Pump(wait);
    return Next(*message, window, filterMin, filterMax, remove) ? TRUE : FALSE;
}

BOOL GetMessageW(LPMSG message, HWND window, UINT filterMin, UINT filterMax) {
    if (message == nullptr) return -1;
    Pump(0);
    while (!Next(*message, window, filterMin, filterMax, true)) {
        // Without a desktop nothing can arrive: an error rather than a wait for ever.
        if (!Pump(kStillWait)) return -1;
    }
    return message->message == WM_QUIT ? FALSE : TRUE;
}

// No keyboard messages reach the program, so there is nothing to turn into characters.
BOOL TranslateMessage(const MSG*) { return FALSE; }

LRESULT DispatchMessageW(const MSG* message) {
    if (message == nullptr) return 0;
    Window* window = LookupWindow(message->hwnd);
    if (window == nullptr) return 0;
    return window->procedure != nullptr
               ? window->procedure(message->hwnd, message->message, message->wParam,
                                   message->lParam)
               : DefWindowProcW(message->hwnd, message->message, message->wParam, message->lParam);
}
