#include "drill/SettingsScreen.h"

#include "drill/ScreenParts.h"
#include "resources/ResourceIds.h"
#include "scene/Button.h"
#include "scene/Hotspot.h"
#include "scene/WaveResource.h"

namespace {

// The painted boxes: automatic levelling, then the levels in two rows of six.
constexpr std::int32_t kBoxesX = 30;
constexpr std::int32_t kAutoBoxY = 43;

std::int32_t LevelBoxX(std::int32_t level) { return kBoxesX + 30 * ((level - 1) % 6); }
std::int32_t LevelBoxY(std::int32_t level) { return 87 + 22 * ((level - 1) / 6); }

}  // namespace

SettingsScreen::SettingsScreen(HWND window, HINSTANCE instance) : Screen(window, instance) {
    progress = AcquireProgress();

    AddBoard(*this, window, IDB_SETTINGS_BOARD);

    auto* returnButton = new Button(this, window, IDB_OK_BUTTON);
    returnButton->SetEnabled(true);
    returnButton->SetX(35);
    returnButton->SetY(260);
    returnButton->AddListener(this);
    returnButton->accessibleName = Say(instance, IDS_SAY_OK);
    AddFigure(returnButton);

    auto* resetButton = new Button(this, window, IDB_RESET_BUTTON);
    resetButton->SetEnabled(true);
    resetButton->SetX(120);
    resetButton->SetY(260);
    resetButton->AddListener(this);
    resetButton->accessibleName = Say(instance, IDS_SAY_RESET);
    AddFigure(resetButton);

    // Played by hand, frame by frame as the press lasts, never started; under the buttons.
    resetRing = new Animation(this, window, IDB_RESET_RING, kResetRingFrames, 1);
    resetRing->SetX(resetButton->GetX() - 6);
    resetRing->SetY(resetButton->GetY() - 6);
    AddFigure(resetRing);

    checkMark = new Image(this, window, IDB_TICK);
    checkMark->SetVisible(progress->autoLevel);
    checkMark->SetX(kBoxesX);
    checkMark->SetY(kAutoBoxY);
    AddFigure(checkMark);

    levelMarker = new Image(this, window, IDB_TICK);
    levelMarker->SetX(kBoxesX);
    levelMarker->SetY(87);
    AddFigure(levelMarker);

    // Hotspots lie over the painted boxes and above the ticks, so a tap reaches them.
    auto* checkBox = new Hotspot(this, window, checkMark->GetWidth(), checkMark->GetHeight());
    checkBox->SetZOrder(40);
    checkBox->SetVisible(true);
    checkBox->SetX(kBoxesX);
    checkBox->SetY(kAutoBoxY);
    checkBox->tag = 0;
    checkBox->AddListener(this);
    checkBox->accessibleName = Say(instance, IDS_SAY_AUTO_LEVEL);
    checkBox->accessibleRole = ACCESSIBLE_CHECKBOX;
    autoBox = checkBox;
    AddFigure(checkBox);

    exitBox = AddExitBox(*this, window, this);

    childrenSpot = new Hotspot(this, window, 120, 30);
    childrenSpot->SetX(60);
    childrenSpot->SetY(6);
    childrenSpot->SetZOrder(40);
    childrenSpot->SetVisible(true);
    childrenSpot->AddListener(this);
    childrenSpot->accessibleName = Say(instance, IDS_SAY_CHILDREN);
    AddFigure(childrenSpot);
    childPicture = new Animation(this, window, IDB_ANIMALS_SMALL, 8, 1);
    childPicture->SetX(170);
    childPicture->SetY(kAutoBoxY - 7);
    childPicture->AddListener(this);
    AddFigure(childPicture);

    for (std::int32_t level = 1; level <= Progress::kLevels; ++level) {
        auto* box = new Hotspot(this, window, checkMark->GetWidth(), checkMark->GetHeight());
        box->SetZOrder(40);
        box->SetVisible(true);
        box->SetX(LevelBoxX(level));
        box->SetY(LevelBoxY(level));
        box->tag = level;
        box->AddListener(this);
        box->accessibleName = Say(instance, IDS_SAY_LEVEL, level);
        box->accessibleRole = ACCESSIBLE_RADIO;
        levelBoxes[level - 1] = box;
        AddFigure(box);
    }

    PlaceLevelMarker();
    resetSound = LoadWaveResource(IDW_NAVIGATE);
    exitSound = LoadWaveResource(IDW_TAP);
}

SettingsScreen::~SettingsScreen() {
    ReleaseProgress();
    progress = nullptr;
    DeleteAllFigures();
    screenListeners.Clear();
    percentTexts.Clear();
}

void SettingsScreen::PlaceLevelMarker() {
    levelMarker->SetX(LevelBoxX(progress->level));
    levelMarker->SetY(LevelBoxY(progress->level));
    for (std::int32_t level = 1; level <= Progress::kLevels; ++level) {
        levelBoxes[level - 1]->accessibleChecked = level == progress->level;
    }
}

void SettingsScreen::RebuildPercentages() {
    for (auto* node = percentTexts.head; node != nullptr; node = node->next) {
        RemoveFigure(node->value, true);
    }
    percentTexts.Clear();
    const LOGFONTW font = Text::BoldFont(12);
    for (std::int32_t level = 1; level <= Progress::kLevels; ++level) {
        const std::int32_t percent = progress->CorrectPercent(level);
        WCHAR digits[12];
        wsprintfW(digits, TEXT("%d"), percent);
        auto* text = new Text(this, window, digits, RGB(0xFF, 0xFF, 0xFF), font);
        const std::int32_t i = level - 1;
        text->SetX(66 + 70 * (i % 3));
        text->SetY(153 + 21 * (i / 3));
        text->SetEnabled(false);
        text->accessibleName = Say(instance, IDS_SAY_PERCENT, level, percent);
        text->accessibleRole = ACCESSIBLE_TEXT;
        percentTexts.InsertAt(text, percentTexts.count);
        AddFigure(text);
    }
}

void SettingsScreen::Paint(HDC dc, bool full) {
    // The ticks and the percentages show the shared progress as it is when painted (stored
    // progress that could be read only later may have changed it).
    checkMark->SetVisible(progress->autoLevel);
    autoBox->accessibleChecked = progress->autoLevel;
    PlaceLevelMarker();
    RebuildPercentages();
    Screen::Paint(dc, full);
}

void SettingsScreen::ShowChild(std::int32_t picture) {
    ShowSmallPicture(childPicture, picture);
    childPicture->SetEnabled(picture > 0);
    childPicture->accessibleName = picture > 0 ? Say(instance, IDS_SAY_CHILDREN) + TEXT(": ") +
                                                     Say(instance, IDS_SAY_ANIMAL + picture)
                                               : std::basic_string<WCHAR>();
}

void SettingsScreen::OnFigureDown(Figure* figure, std::int32_t x, std::int32_t y) {
    if (figure == exitBox) {
        EndProgram(window, exitSound);
    } else if (figure == childrenSpot || figure == childPicture) {
        // Passed on: the children are another screen's.
    } else if (lstrcmpW(figure->GetTypeName(), TEXT("Hotspot")) == 0) {
        if (figure->tag == 0) {
            progress->SetAutoLevel(!progress->autoLevel);
            checkMark->SetVisible(progress->autoLevel);
            autoBox->accessibleChecked = progress->autoLevel;
        } else {
            progress->SetLevel(figure->tag);
            PlaceLevelMarker();
        }
    } else if (lstrcmpW(figure->GetTypeName(), TEXT("Button")) == 0 &&
               static_cast<Image*>(figure)->resourceId == IDB_RESET_BUTTON) {
        resetArmed = true;
        resetPressed = GetTickCount();
        resetRing->currentFrame = 0;
        resetRing->SetVisible(true);
    }
    ForwardToListeners(screenListeners, this, figure, true, x, y);
}

void SettingsScreen::OnFigureUp(Figure* figure, std::int32_t x, std::int32_t y) {
    // A button hears its release wherever the stylus is lifted, so sliding off cancels too.
    if (lstrcmpW(figure->GetTypeName(), TEXT("Button")) == 0 &&
        static_cast<Image*>(figure)->resourceId == IDB_RESET_BUTTON) {
        resetArmed = false;
        resetRing->SetVisible(false);
    }
    ForwardToListeners(screenListeners, this, figure, false, x, y);
}

void SettingsScreen::Tick(DWORD time) {
    if (resetArmed) {
        if (FollowHold(resetRing, time - resetPressed, kResetHold, kResetRingFrames)) {
            // Once per press; the closed ring stays until the release.
            resetArmed = false;
            PlayWave(resetSound, true);
            progress->ResetStatistics();
            RebuildPercentages();
        }
    }
    Screen::Tick(time);
}
