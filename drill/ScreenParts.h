// What the drill's screens share: the board they stand on, the exit box at the top right,
// the way the exit box ends the program, and the passing on of their figures' taps.
#pragma once

#include <cstdint>
#include <string>

#include "scene/Animation.h"
#include "scene/Image.h"
#include "scene/ObjectList.h"
#include "scene/Screen.h"
#include "scene/ScreenListener.h"

// The background picture, behind every other figure.
Image* AddBoard(Screen& screen, HWND window, std::int32_t resourceId);

// The exit box at the top right, heard by `listener`.
Image* AddExitBox(Screen& screen, HWND window, FigureListener* listener);

// Plays the exit click to its end, then asks the window to go; the program ends there.
void EndProgram(HWND window, const void* exitSound);

// Passes a figure's stylus event on to each listener of the screen, from a snapshot.
void ForwardToListeners(ObjectList<ScreenListener*>& listeners, Screen* screen, Figure* figure,
                        bool down, std::int32_t x, std::int32_t y);

// The string-table entry `id` for screen readers, each %d in it replaced by the next number
// and %s by `word`.
std::basic_string<WCHAR> Say(HINSTANCE instance, std::int32_t id, std::int32_t first = 0,
                             std::int32_t second = 0);
std::basic_string<WCHAR> Say(HINSTANCE instance, std::int32_t id,
                             const std::basic_string<WCHAR>& word);

// Shows picture `picture` (1 and up) of the small animals on `small`; 0 hides it.
void ShowSmallPicture(Animation* small, std::int32_t picture);

// Shows on `ring` (a strip of `frames`) how much of `hold` ms has been held; true once the
// whole time has been.
bool FollowHold(Animation* ring, DWORD held, DWORD hold, std::int32_t frames);
