// Test-only access to the platform layer: a headless display whose pixels can be read back,
// a display whose input and time the test scripts, a settable clock, a registry and a sound
// recorder of the test's own, and a look inside resources. Never included by program code.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace platform {
class SoundOutput;
}

namespace platform::testing {

// The backends every test program runs on: the desktop's text (tests pin widths and pictures
// to DejaVu Sans Bold with bi-level hinting). Test mains and test tools call it once.
void InstallTestBackends();

// --- Display and clock ------------------------------------------------------------------

// A window on a headless display of the given size; what is drawn through its display
// context can be read back. The display size is what GetDeviceCaps reports while it lives.
class HeadlessWindow {
public:
    explicit HeadlessWindow(int width = 240, int height = 320);
    ~HeadlessWindow();
    HeadlessWindow(const HeadlessWindow&) = delete;
    HeadlessWindow& operator=(const HeadlessWindow&) = delete;

    operator HWND() const { return handle_; }
    // CLR_INVALID (0xFFFFFFFF) outside the window.
    COLORREF Pixel(int x, int y) const;

private:
    HWND handle_;
};

// GetTickCount returns `tickCount` until UseRealTickCount is called.
void SetTickCount(DWORD tickCount);
void UseRealTickCount();
// GetLocalTime returns `time` until UseRealLocalTime is called.
void SetLocalTime(const SYSTEMTIME& time);
void UseRealLocalTime();

// A desktop of the test's own while it lives: windows open on it, what they present is kept,
// and input arrives when the test says. Time is the test's too: waiting for input moves the
// tick count on (to the next scripted event, or by the whole wait), so a message loop runs
// in simulated time at no cost.
class ScriptedDisplay {
public:
    struct Frame {
        DWORD time;
        std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, the window's width a row
        int width;
        COLORREF Pixel(int x, int y) const;
    };

    ScriptedDisplay();
    ~ScriptedDisplay();

    // Input for the first window opened, delivered once the tick count reaches `time`.
    void PressAt(DWORD time, int x, int y);
    void ReleaseAt(DWORD time, int x, int y);
    void CloseAt(DWORD time);
    // The window loses the input focus (another window took it).
    void DeactivateAt(DWORD time);
    // A key of the keyboard (a virtual-key code) going down, or repeating while held, and up.
    void KeyDownAt(DWORD time, int virtualKey, bool repeat = false);
    void KeyUpAt(DWORD time, int virtualKey);

    std::vector<Frame> frames;  // every present, in order
    // Every wait the display was asked for, in order (a negative time: for ever).
    struct Wait {
        DWORD time;
        int timeoutMs;
    };
    std::vector<Wait> waits;

private:
    class Backend;
    std::unique_ptr<Backend> backend_;
};

// Drawing objects created and not yet deleted (stock objects do not count).
int LiveGdiObjectCount();

// Pixels of the surface a drawing context draws on; CLR_INVALID outside it.
COLORREF PixelAt(HDC dc, int x, int y);
void SetPixelAt(HDC dc, int x, int y, COLORREF colour);

// What SetAccessibleItems last gave the window (names zero-filled after their end); none for
// a window that is not there.
std::vector<ACCESSIBLE_ITEM> AccessibleItems(HWND window);

// Destroys every window, each told WM_DESTROY first (what a test leaves behind).
void DestroyWindows();

// --- Registry -------------------------------------------------------------------------

// A registry of the test's own, in memory, in use while the object lives.
class TemporaryRegistry {
public:
    TemporaryRegistry();
    ~TemporaryRegistry();

    // While unavailable, every registry call fails as with a locked or unreadable store.
    void SetAvailable(bool available);

private:
    class Store;
    std::unique_ptr<Store> store_;
};

// A fresh folder in the temporary folder, removed with everything in it at the end.
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// While it lives, SQLite's exclusive lock on the file is held as another program writing to it
// in exclusive locking mode holds it.
class ForeignLock {
public:
    explicit ForeignLock(const std::string& file);
    ~ForeignLock();
    ForeignLock(const ForeignLock&) = delete;
    ForeignLock& operator=(const ForeignLock&) = delete;

    bool Held() const { return held_; }

private:
    int file_ = -1;
    bool held_ = false;
};

// This test program again, in a process of its own that runs only `test`, a disabled one
// ("Suite.DISABLED_Name"), with the environment as it is now; its output is dropped when
// `quiet`. What a test would fork for: a forked child of a sanitized build can hang in its
// first allocation. The process's id, or -1.
int StartTestProcess(const char* test, bool quiet);

// --- Sound and messages ---------------------------------------------------------------

// One call of sndPlaySoundW that reached the output; a stop has null data.
struct SoundCall {
    const void* data;
    UINT flags;
};

// Takes the place of the sound output while it lives and records every call.
class SoundRecorder {
public:
    SoundRecorder();
    ~SoundRecorder();

    std::vector<SoundCall> calls;
    // Runs at each call, for tests that check what happened before or after it.
    std::function<void(const SoundCall&)> onPlay;

private:
    class Output;
    std::unique_ptr<Output> output_;
    SoundOutput* previous_;
};

// Empties the message queue, the quit message included, and lets go of every key.
void ClearMessages();

// A key going down (or repeating) and up in a window, headless or not, as the desktop would
// deliver it: WM_KEYDOWN / WM_KEYUP queued for it; GetKeyState follows as they are taken.
void KeyDown(HWND window, int virtualKey, bool repeat = false);
void KeyUp(HWND window, int virtualKey);

// How often LoadResource has handed out the program's resource with this identifier.
int ResourceLoadCount(int id);

}  // namespace platform::testing
