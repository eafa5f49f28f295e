// The platform's own call by which a program tells screen readers what its window shows, for
// every build. Included by platform/win32.h and the Windows adapter once the Win32 types are
// declared.
#pragma once

// Not a Win32 call: the platform layer's own. What screen readers and switches find beside
// the window's picture, in reading order; each call replaces the whole list.
#define ACCESSIBLE_LIVE 1      // a status line: its text is announced whenever it changes
#define ACCESSIBLE_TEXT 2      // plain text
#define ACCESSIBLE_BUTTON 3
#define ACCESSIBLE_RADIO 4     // consecutive radios form one group; `checked` marks the chosen
#define ACCESSIBLE_CHECKBOX 5
struct ACCESSIBLE_ITEM {
    UINT role;
    WCHAR name[80];    // terminated
    BOOL checked;      // radios and checkboxes
    BOOL focused;      // has the program's keyboard focus
    RECT bounds;       // display pixels; pressing the item taps the middle of this
};
BOOL SetAccessibleItems(HWND window, const ACCESSIBLE_ITEM* items, UINT count);
