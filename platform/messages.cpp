// The thread's message queue: posted messages in order, and the quit message after them.
#include "platform/messages.h"

#include "platform/testing.h"

#include <deque>

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

bool Matches(const MSG& message, HWND window, UINT filterMin, UINT filterMax) {
    if (window != nullptr && message.hwnd != window) return false;
    if (filterMin == 0 && filterMax == 0) return true;
    return message.message >= filterMin && message.message <= filterMax;
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
    return TakeQueuedMessage(*message, window, filterMin, filterMax, (removal & PM_REMOVE) != 0)
               ? TRUE
               : FALSE;
}

namespace platform::testing {

void ClearMessages() { ClearMessageQueue(); }

}  // namespace platform::testing
