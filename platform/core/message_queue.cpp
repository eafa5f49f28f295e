// The thread's message loop: posted messages in order, desktop input, the quit message, and
// WM_PAINT for a window that needs painting, in Win32's order of priority. What was drawn on
// a window reaches the desktop at the next look at the queue.
#include "platform/core/message_queue.h"

#include <deque>
#include <vector>

#include "platform/core/display.h"
#include "platform/core/instance.h"
#include "platform/core/keyboard.h"
#include "platform/core/window.h"

namespace platform {
namespace {

// A message waiting, and for a key's message the key itself; taking it moves what
// GetKeyState answers, as does taking the loss of the focus.
constexpr int kFocusLoss = -1;
struct Posted {
    MSG message;
    int key = 0;
};

struct Queue {
    std::deque<Posted> posted;
    bool quitPosted = false;
    int exitCode = 0;
};

Queue& TheQueue() {
    static Queue queue;
    return queue;
}

// Waits while the picture moves, or the child has just touched it, keep animation and
// redraw timing within a millisecond or two. Once nothing has been presented, posted or
// touched for a second, and no key or stylus is held, nothing in the program is due on time
// alone (animations and hold rings present as they go, sounds play on their own), so the
// wait is for the next event however long it takes: an idle game never wakes.
constexpr DWORD kActiveWindow = 1000;
constexpr int kActiveWait = 1;
constexpr int kWaitForever = -1;
constexpr DWORD kRaiseCheckInterval = 50;

DWORD lastActivity = 0;
DWORD lastRaiseCheck = 0;
bool pointerHeld = false;

void Enqueue(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int key = 0) {
    const DWORD now = GetTickCount();
    lastActivity = now;
    TheQueue().posted.push_back({MSG{window, message, wParam, lParam, now, {0, 0}}, key});
}

int WaitWhenEmpty() {
    const bool still =
        GetTickCount() - lastActivity >= kActiveWindow && !pointerHeld && !AnyKeyHeld();
    return still ? kWaitForever : kActiveWait;
}

void EnqueueKey(HWND window, int key, bool down, bool repeat) {
    KeyMessage made{};
    if (KeyMessageFor(key, down, repeat, made)) {
        Enqueue(window, made.message, made.wParam, made.lParam, key);
    }
}

bool Matches(const MSG& message, HWND window, UINT filterMin, UINT filterMax) {
    if (window != nullptr && message.hwnd != window) return false;
    if (filterMin == 0 && filterMax == 0) return true;
    return message.message >= filterMin && message.message <= filterMax;
}

void PresentDrawnWindows(DisplayBackend& display) {
    for (Window* window : LiveWindows()) {
        if (window->showPending && window->visible && window->displayWindow != 0) {
            window->showPending = false;
            display.Show(window->displayWindow);
        }
        if (!window->drawn || window->displayWindow == 0 || !window->visible) continue;
        window->drawn = false;
        display.Present(window->displayWindow, window->client.pixels.data(), window->client.width,
                        window->client.height);
        lastActivity = GetTickCount();
    }
}

void Deliver(const DisplayEvent& event) {
    Window* window = WindowOnDisplay(event.window);
    if (window == nullptr) return;
    const HWND handle = HandleOf(window);
    switch (event.kind) {
        case DisplayEvent::Kind::PointerDown:
        case DisplayEvent::Kind::PointerUp: {
            const bool down = event.kind == DisplayEvent::Kind::PointerDown;
            // A press may change the picture only after the screen's next redraw falls due,
            // and a held one rings on while it lasts.
            pointerHeld = down;
            Enqueue(handle, down ? WM_LBUTTONDOWN : WM_LBUTTONUP, down ? 1 : 0,
                    MAKELPARAM(event.x, event.y));
            break;
        }
        case DisplayEvent::Kind::Close: Enqueue(handle, WM_CLOSE, 0, 0); break;
        case DisplayEvent::Kind::Activate: Enqueue(handle, WM_ACTIVATE, 1, 0); break;
        case DisplayEvent::Kind::Deactivate:
            pointerHeld = false;
            FocusLost();
            Enqueue(handle, WM_ACTIVATE, 0, 0, kFocusLoss);
            break;
        case DisplayEvent::Kind::Exposed: MarkDrawn(*window); break;
        case DisplayEvent::Kind::KeyDown:
        case DisplayEvent::Kind::KeyUp:
            EnqueueKey(handle, event.key, event.kind == DisplayEvent::Kind::KeyDown, event.repeat);
            break;
    }
}

// Looked for at most every kRaiseCheckInterval, and always after a wait for ever, which only
// an event, or another process's request, ends.
void RaiseRequested(bool always) {
    InstanceBackend* instances = CurrentInstanceBackend();
    const DWORD now = GetTickCount();
    if (instances == nullptr || (!always && now - lastRaiseCheck < kRaiseCheckInterval)) return;
    lastRaiseCheck = now;
    std::vector<int> claims;
    instances->TakeRaiseRequests(claims);
    for (Window* window : LiveWindows()) {
        for (int claim : claims) {
            if (window->instanceClaim == claim) SetForegroundWindow(HandleOf(window));
        }
    }
}

// Drawings reach the desktop, the desktop's events become messages, and other instances are
// heard. False when there is no desktop, so nothing can arrive but what the program posts.
bool Pump(int wait) {
    DisplayBackend* display = CurrentDisplay();
    if (display == nullptr) return false;
    PresentDrawnWindows(*display);
    std::vector<DisplayEvent> events;
    display->Pump(wait, events);
    for (const DisplayEvent& event : events) Deliver(event);
    RaiseRequested(wait < 0);
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

bool TakeQueuedMessage(MSG& out, HWND window, UINT filterMin, UINT filterMax, bool remove) {
    Queue& queue = TheQueue();
    for (auto it = queue.posted.begin(); it != queue.posted.end(); ++it) {
        if (!Matches(it->message, window, filterMin, filterMax)) continue;
        out = it->message;
        if (!remove) return true;
        if (it->key == kFocusLoss) FocusLossTaken();
        if (it->key > 0) KeyMessageTaken(it->key, out.message == WM_KEYDOWN);
        queue.posted.erase(it);
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

bool Next(MSG& out, HWND window, UINT filterMin, UINT filterMax, bool remove) {
    if (TakeQueuedMessage(out, window, filterMin, filterMax, remove)) return true;
    // WM_PAINT comes last and stays until the window is painted (BeginPaint validates it).
    return (filterMin == 0 && filterMax == 0) || (WM_PAINT >= filterMin && WM_PAINT <= filterMax)
               ? PaintMessage(out, window)
               : false;
}

}  // namespace

void ClearMessageQueue() {
    TheQueue() = Queue{};
    pointerHeld = false;
    ResetKeyboard();
}

void DeliverKeyTo(HWND window, int virtualKey, bool down, bool repeat) {
    if (LookupWindow(window) != nullptr) EnqueueKey(window, virtualKey, down, repeat);
}

}  // namespace platform

using namespace platform;

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window != nullptr && LookupWindow(window) == nullptr) return FALSE;
    Enqueue(window, message, wParam, lParam);
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
    Pump(WaitWhenEmpty());
    return Next(*message, window, filterMin, filterMax, remove) ? TRUE : FALSE;
}

BOOL GetMessageW(LPMSG message, HWND window, UINT filterMin, UINT filterMax) {
    if (message == nullptr) return -1;
    Pump(0);
    while (!Next(*message, window, filterMin, filterMax, true)) {
        // Without a desktop nothing can arrive: an error rather than a wait for ever.
        if (!Pump(WaitWhenEmpty())) return -1;
    }
    return message->message == WM_QUIT ? FALSE : TRUE;
}

// The program reads keys, never characters: none are made.
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
