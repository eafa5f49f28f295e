// Test-only access to the platform layer: a headless display whose pixels can be read back,
// a settable clock, a registry and a sound recorder of the test's own, and a look inside
// resources. Never included by program code.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace platform {
class SoundOutput;
}

namespace platform::testing {

// --- Display and clock ------------------------------------------------------------------

// A window on a headless display of the given size; what is drawn through its display
// context can be read back. The display size is what GetDeviceCaps reports while it lives.
class HeadlessWindow {
public:
    explicit HeadlessWindow(int width = 240, int height = 320);
    ~HeadlessWindow();
    HeadlessWindow(const HeadlessWindow&) = delete;
    HeadlessWindow& operator=(const HeadlessWindow&) = delete;

    HWND Handle() const { return handle_; }
    operator HWND() const { return handle_; }
    // CLR_INVALID (0xFFFFFFFF) outside the window.
    COLORREF Pixel(int x, int y) const;

private:
    HWND handle_;
};

// With true, windows made by CreateWindowExW stay off the desktop, as HeadlessWindow's do.
void UseHeadlessDisplay(bool headless);

// GetTickCount returns `tickCount` until UseRealTickCount is called.
void SetTickCount(DWORD tickCount);
void UseRealTickCount();
// GetLocalTime returns `time` until UseRealLocalTime is called.
void SetLocalTime(const SYSTEMTIME& time);
void UseRealLocalTime();

// Drawing objects created and not yet deleted (stock objects do not count).
int LiveGdiObjectCount();

// Pixels of the surface a drawing context draws on; CLR_INVALID outside it.
COLORREF PixelAt(HDC dc, int x, int y);
void SetPixelAt(HDC dc, int x, int y, COLORREF colour);

// --- Resources ------------------------------------------------------------------------

// What SDL's WAV loader reads from a RIFF/WAVE image; `valid` is false when it cannot.
struct WaveFormat {
    bool valid = false;
    int rate = 0;
    int bitsPerSample = 0;
    int channels = 0;
    int frames = 0;
};
WaveFormat DescribeWave(const void* data, DWORD size);

// A BMP file as stored: its size, bits per pixel and palette entries (0 without a palette).
struct BitmapFileFormat {
    bool valid = false;
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    int paletteColours = 0;
};
BitmapFileFormat DescribeBitmapFile(const void* data, DWORD size);

// The images of an icon from LoadIconW, as (width, height) pairs.
std::vector<SIZE> IconImageSizes(HICON icon);

// How often LoadResource has handed out the resource with this identifier.
int ResourceLoadCount(int id);

// --- Registry -------------------------------------------------------------------------

// The registry database used from now on; an empty path goes back to the user's own.
// Closes the database in use.
void SetRegistryPath(const std::string& path);
// Why the registry store last failed, for test diagnostics.
std::string RegistryLastError();

// A registry in a fresh temporary folder for the life of the object.
class TemporaryRegistry {
public:
    TemporaryRegistry();
    ~TemporaryRegistry();
    TemporaryRegistry(const TemporaryRegistry&) = delete;
    TemporaryRegistry& operator=(const TemporaryRegistry&) = delete;

    const std::string& Folder() const { return folder_; }
    std::string File() const { return folder_ + "/registry.db"; }

private:
    std::string folder_;
};

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
    SoundRecorder(const SoundRecorder&) = delete;
    SoundRecorder& operator=(const SoundRecorder&) = delete;

    std::vector<SoundCall> calls;
    // Runs at each call, for tests that check what happened before or after it.
    std::function<void(const SoundCall&)> onPlay;

private:
    class Output;
    Output* output_;
    SoundOutput* previous_;
};

// Empties the message queue, the quit message included.
void ClearMessages();

}  // namespace platform::testing
