// The pages of the household's children, all pictures and no word a child must read: "who is
// playing?" (each child taps their animal; the one who played last is ringed), the children as
// the parent keeps them (the playing one ringed, a free cell to add one, a badge on each
// further child that removes it when held for two seconds), the pictures still free for a new
// child, and the removal's confirmation showing whose progress goes.
#pragma once

#include <cstdint>

#include "drill/ProgressStore.h"
#include "scene/Animation.h"
#include "scene/Button.h"
#include "scene/Image.h"
#include "scene/ObjectList.h"
#include "scene/Screen.h"

class ChildrenListener {
public:
    enum class Action {
        Choose,      // who is playing: the child's number
        Add,         // the free cell: the pictures for a new child are wanted
        Pick,        // a new child's picture: its number
        RemoveHeld,  // a badge held long enough: the child's number
        Remove,      // the removal confirmed: the child's number
        Back,        // the back tile
    };
    virtual void OnChildrenAction(Action action, std::int32_t value) = 0;

protected:
    ~ChildrenListener() = default;
};

class ChildrenScreen : public Screen, public FigureListener {
public:
    enum class Page { WhoIsPlaying, Children, NewChild, Remove };
    static constexpr std::int32_t kMaxShown = 6;
    static constexpr DWORD kRemoveHold = 2000;
    static constexpr std::int32_t kRingFrames = 20;

    ChildrenScreen(HWND window, HINSTANCE instance);
    ~ChildrenScreen() override;
    void Tick(DWORD time) override;

    // Lays out `shown` for the household; `child` is the child ringed (the last to play, the
    // one playing) or the one whose removal is asked.
    void Show(Page shown, const Household& household, std::int32_t child);

    void OnFigureDown(Figure* figure, std::int32_t x, std::int32_t y) override;
    void OnFigureUp(Figure* figure, std::int32_t x, std::int32_t y) override;

    Page page = Page::WhoIsPlaying;
    ChildrenListener* listener = nullptr;
    Image* exitBox = nullptr;
    Button* backButton = nullptr;
    Animation* caption = nullptr;
    const void* exitSound = nullptr;
    // Shown round the pressed badge from its press to its release.
    Animation* removeRing = nullptr;
    Figure* heldBadge = nullptr;
    DWORD badgePressed = 0;

private:
    // A picture of the strip `resourceId` centred at (x, y), named `name` for screen readers;
    // tapped when `tag` is not negative.
    Animation* AddPicture(std::int32_t resourceId, std::int32_t frames, std::int32_t frame,
                          std::int32_t x, std::int32_t y, std::int32_t tag,
                          const std::basic_string<WCHAR>& name);
    void AddMark(std::int32_t x, std::int32_t y);

    ObjectList<Figure*> pageFigures;  // what Show made, removed by the next Show
    ObjectList<Figure*> badges;       // their tags are the children's numbers
};
