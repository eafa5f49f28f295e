// The settings: the level chosen by its box, automatic levelling switched by its box, the
// share of first-try answers at each level, and a reset of statistics and score that takes
// effect only when RESET is held for two seconds, a ring of chalk filling round it meanwhile:
// a child tapping about where the drill's cards were must not wipe the record.
#pragma once

#include <cstdint>

#include "drill/Progress.h"
#include "scene/Animation.h"
#include "scene/Image.h"
#include "scene/ObjectList.h"
#include "scene/Screen.h"
#include "scene/ScreenListener.h"
#include "scene/Text.h"

class SettingsScreen : public Screen, public FigureListener {
public:
    SettingsScreen(HWND window, HINSTANCE instance);
    ~SettingsScreen() override;
    void Paint(HDC dc, bool full) override;
    void Tick(DWORD time) override;

    void OnFigureDown(Figure* figure, std::int32_t x, std::int32_t y) override;
    void OnFigureUp(Figure* figure, std::int32_t x, std::int32_t y) override;

    void PlaceLevelMarker();
    void RebuildPercentages();
    // Shows the picture (1 and up) of the child whose settings these are; 0 for a household
    // of one.
    void ShowChild(std::int32_t picture);

    Image* checkMark = nullptr;
    Image* levelMarker = nullptr;
    ObjectList<ScreenListener*> screenListeners;
    Progress* progress = nullptr;
    ObjectList<Text*> percentTexts;  // level 1 first; empty until the first paint
    const void* resetSound = nullptr;
    const void* exitSound = nullptr;
    Image* exitBox = nullptr;
    // The heading, and the picture of the child while there are several, lead to the
    // children; with one child nothing new is drawn.
    Figure* childrenSpot = nullptr;
    Figure* autoBox = nullptr;
    Figure* levelBoxes[Progress::kLevels] = {};
    Animation* childPicture = nullptr;

    static constexpr DWORD kResetHold = 2000;
    static constexpr std::int32_t kResetRingFrames = 20;
    // Shown from the press of RESET to its release; its frame follows the time held.
    Animation* resetRing = nullptr;
    DWORD resetPressed = 0;
    bool resetArmed = false;  // held, and not yet taken effect in this press
};
