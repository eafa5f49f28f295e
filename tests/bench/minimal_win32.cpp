// The baseline for windows_bench.sh: the least a Win32 program does to show the same window as
// Chalkmere. One 240 × 320 DIB section, filled once, is stretched at the largest whole scale
// that fits the primary monitor's work area into a window of the program's style; then the
// program waits in GetMessageW until it is closed. With CHALKMERE_TRACE=<file> it appends
// "present <ns since 1970> <hash>" after each paint, as the program does. With --sound it
// also plays 1.7 s of silence at start, asynchronously, as the program plays its tune: what
// the system's sound costs alone.
#ifndef UNICODE
#define UNICODE
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// After windows.h, which it needs.
#include <mmsystem.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <vector>

namespace {

constexpr int kWidth = 240;
constexpr int kHeight = 320;
HDC pictureDC = nullptr;
HANDLE trace = INVALID_HANDLE_VALUE;

void Trace(const char* what, std::uint32_t hash) {
    if (trace == INVALID_HANDLE_VALUE) return;
    FILETIME now;
    GetSystemTimePreciseAsFileTime(&now);
    const std::uint64_t ticks = (std::uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime;
    char line[64];
    const int length = std::snprintf(line, sizeof line, "%s %llu %u\n", what,
                                     static_cast<unsigned long long>(
                                         (ticks - 116444736000000000ULL) * 100),
                                     static_cast<unsigned>(hash));
    DWORD written = 0;
    WriteFile(trace, line, static_cast<DWORD>(length), &written, nullptr);
}

LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            RECT client;
            GetClientRect(window, &client);
            StretchBlt(dc, 0, 0, client.right, client.bottom, pictureDC, 0, 0, kWidth, kHeight,
                       SRCCOPY);
            EndPaint(window, &paint);
            Trace("present", 1);  // the one picture
            return 0;
        }
        case WM_ERASEBKGND: return 1;
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

// A RIFF/WAVE image of `samples` 8-bit mono samples of silence at 22050 Hz.
std::vector<unsigned char> Silence(std::uint32_t samples) {
    const std::uint32_t rate = 22050;
    const std::uint32_t fields[] = {16, 1 | (1u << 16), rate, rate, 1 | (8u << 16)};
    std::vector<unsigned char> wave(44 + samples, 128);
    auto put = [&wave](std::size_t at, const void* bytes, std::size_t size) {
        std::memcpy(wave.data() + at, bytes, size);
    };
    const std::uint32_t riffSize = 36 + samples;
    put(0, "RIFF", 4);
    put(4, &riffSize, 4);
    put(8, "WAVEfmt ", 8);
    put(16, fields, sizeof fields);
    put(36, "data", 4);
    put(40, &samples, 4);
    return wave;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int showCommand) {
    wchar_t path[MAX_PATH];
    if (GetEnvironmentVariableW(L"CHALKMERE_TRACE", path, MAX_PATH) - 1 < MAX_PATH - 1) {
        trace = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    }

    // A board-green gradient, as the SDL baseline paints.
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP picture = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (picture == nullptr) return 1;
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            pixels[y * kWidth + x] = (0x20u << 16) | ((0x40u + y / 4) << 8) | (0x30u + x / 8);
        }
    }
    pictureDC = CreateCompatibleDC(nullptr);
    SelectObject(pictureDC, picture);

    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = Proc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = L"MinimalWin32";
    RegisterClassW(&windowClass);

    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
    RECT frame = {0, 0, 0, 0};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
    const int frameWidth = frame.right - frame.left;
    const int frameHeight = frame.bottom - frame.top;
    const int scale = std::max(
        1L, std::min((monitor.rcWork.right - monitor.rcWork.left - frameWidth) / kWidth,
                     (monitor.rcWork.bottom - monitor.rcWork.top - frameHeight) / kHeight));
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"minimal-win32",
                                  WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                  kWidth * scale + frameWidth, kHeight * scale + frameHeight,
                                  nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    const std::vector<unsigned char> silence = Silence(38000);
    if (std::wcsstr(commandLine, L"--sound") != nullptr) {
        sndPlaySoundW(reinterpret_cast<LPCWSTR>(silence.data()), SND_ASYNC | SND_MEMORY);
    }

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
