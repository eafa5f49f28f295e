// testing.h on Windows: windows on the adapter's display, the test's clock, sound and
// registry through the adapter's seams, and pixels read with GDI.
#include <optional>

#include "platform/testing/testing.h"

namespace platform::testing {
namespace {

constexpr LPCWSTR kWindowClass = L"ChalkmereTestWindow";

std::optional<DWORD> tickCount;
std::optional<SYSTEMTIME> localTime;
SoundRecorder* recorder = nullptr;

DWORD TestTickCount() { return *tickCount; }
void TestLocalTime(LPSYSTEMTIME time) { *time = *localTime; }

}  // namespace

void InstallTestBackends() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassW(&windowClass);
    // The adapter's loop waits for ever once all has been still for a second by the test's
    // clock; a test's wait ends after 100 ms at most, as its clock may stand still.
    win32adapter::TestSeams().waitForInput = [](DWORD timeout) {
        MsgWaitForMultipleObjectsEx(0, nullptr, timeout < 100 ? timeout : 100, QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
    };
}

// The adapter's displays are 240 × 320, the only size the program draws at.
HeadlessWindow::HeadlessWindow(int, int)
    : handle_(CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr)) {}

HeadlessWindow::~HeadlessWindow() { DestroyWindow(handle_); }

COLORREF HeadlessWindow::Pixel(int x, int y) const {
    return win32adapter::DisplayPixel(handle_, x, y);
}

void SetTickCount(DWORD now) {
    tickCount = now;
    win32adapter::TestSeams().tickCount = TestTickCount;
}

void UseRealTickCount() {
    tickCount.reset();
    win32adapter::TestSeams().tickCount = nullptr;
}

void SetLocalTime(const SYSTEMTIME& time) {
    localTime = time;
    win32adapter::TestSeams().localTime = TestLocalTime;
}

void UseRealLocalTime() {
    localTime.reset();
    win32adapter::TestSeams().localTime = nullptr;
}

// Wine does not count a process's drawing objects; where it reports none the check is moot.
int LiveGdiObjectCount() {
    return static_cast<int>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
}

COLORREF PixelAt(HDC dc, int x, int y) { return GetPixel(dc, x, y); }

void SetPixelAt(HDC dc, int x, int y, COLORREF colour) { SetPixel(dc, x, y, colour); }

void DestroyWindows() {
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM) -> BOOL {
            DestroyWindow(window);
            return TRUE;
        },
        0);
}

void ClearMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
}

int ResourceLoadCount(int id) { return win32adapter::ResourceLoadCount(id); }

std::vector<ACCESSIBLE_ITEM> AccessibleItems(HWND window) {
    return win32adapter::AccessibleItems(window);
}

// A key of the test's own under HKEY_CURRENT_USER\Software\ChalkmereTests, deleted at the end.
class TemporaryRegistry::Store {
public:
    HKEY root = nullptr;
    std::wstring path;
};

TemporaryRegistry::TemporaryRegistry() : store_(std::make_unique<Store>()) {
    static int made = 0;
    store_->path = L"Software\\ChalkmereTests\\" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                   std::to_wstring(++made);
    ::RegCreateKeyExW(HKEY_CURRENT_USER, store_->path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                      nullptr, &store_->root, nullptr);
    win32adapter::TestSeams().registryRoot = store_->root;
}

TemporaryRegistry::~TemporaryRegistry() {
    win32adapter::TestSeams().registryRoot = nullptr;
    win32adapter::TestSeams().registryRefused = false;
    RegCloseKey(store_->root);
    RegDeleteTreeW(HKEY_CURRENT_USER, store_->path.c_str());
}

void TemporaryRegistry::SetAvailable(bool available) {
    win32adapter::TestSeams().registryRefused = !available;
}

class SoundRecorder::Output {};

SoundRecorder::SoundRecorder() : previous_(nullptr) {
    recorder = this;
    win32adapter::TestSeams().playSound = [](LPCWSTR sound, UINT flags) -> BOOL {
        const SoundCall call = {sound, sound != nullptr ? flags : 0u};
        recorder->calls.push_back(call);
        if (recorder->onPlay) recorder->onPlay(call);
        return TRUE;
    };
}

SoundRecorder::~SoundRecorder() {
    win32adapter::TestSeams().playSound = nullptr;
    recorder = nullptr;
}

}  // namespace platform::testing
