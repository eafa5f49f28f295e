#include "drill/ChildrenScreen.h"

#include "drill/ScreenParts.h"
#include "resources/ResourceIds.h"
#include "scene/WaveResource.h"

namespace {

constexpr std::int32_t kAnimalFrames = 10;
constexpr std::int32_t kAddFrame = 8;
constexpr std::int32_t kRemoveFrame = 9;
constexpr std::int32_t kCaptionFrames = 4;
constexpr std::int32_t kPictureSize = 64;
// The children stand in two columns, in the order they were added; a new child's pictures in
// three, each animal always in its own cell.
constexpr std::int32_t kChildX[] = {70, 170};
constexpr std::int32_t kChildY[] = {100, 180, 260};
constexpr std::int32_t kPickX[] = {45, 120, 195};
constexpr std::int32_t kPickY[] = {100, 180, 260};
constexpr std::int32_t kCaptionY = 26;

std::int32_t ChildX(std::int32_t cell) { return kChildX[cell % 2]; }
std::int32_t ChildY(std::int32_t cell) { return kChildY[cell / 2]; }

}  // namespace

ChildrenScreen::ChildrenScreen(HWND window, HINSTANCE instance) : Screen(window, instance) {
    AddBoard(*this, window, IDB_GAME_BOARD);

    caption = new Animation(this, window, IDB_CAPTIONS, kCaptionFrames, 1);
    caption->SetX((width - caption->GetWidth()) / 2);
    caption->SetY(kCaptionY);
    caption->SetVisible(true);
    AddFigure(caption);

    backButton = new Button(this, window, IDB_BACK_BUTTON);
    backButton->SetX(12);
    backButton->SetY(20);
    backButton->SetZOrder(20);
    backButton->AddListener(this);
    backButton->accessibleName = Say(instance, IDS_SAY_BACK);
    AddFigure(backButton);

    exitBox = AddExitBox(*this, window, this);
    exitBox->SetZOrder(20);
    exitSound = LoadWaveResource(IDW_TAP);

    // Played by hand, frame by frame as the press lasts, never started; under the badges.
    removeRing = new Animation(this, window, IDB_REMOVE_RING, kRingFrames, 1);
    removeRing->SetZOrder(30);
    AddFigure(removeRing);
}

ChildrenScreen::~ChildrenScreen() {
    DeleteAllFigures();
    pageFigures.Clear();
    badges.Clear();
}

Animation* ChildrenScreen::AddPicture(std::int32_t resourceId, std::int32_t frames,
                                      std::int32_t frame, std::int32_t x, std::int32_t y,
                                      std::int32_t tag, const std::basic_string<WCHAR>& name) {
    auto* picture = new Animation(this, window, resourceId, frames, 1);
    picture->currentFrame = frame;
    picture->SetX(x - picture->GetWidth() / 2);
    picture->SetY(y - picture->GetHeight() / 2);
    picture->SetZOrder(20);
    picture->SetVisible(true);
    picture->accessibleName = name;
    picture->accessibleRole = tag >= 0 ? ACCESSIBLE_BUTTON : ACCESSIBLE_TEXT;
    if (tag >= 0) {
        picture->tag = tag;
        picture->SetEnabled(true);
        picture->AddListener(this);
    }
    pageFigures.InsertAt(picture, pageFigures.count);
    AddFigure(picture);
    return picture;
}

void ChildrenScreen::AddMark(std::int32_t x, std::int32_t y) {
    auto* mark = new Image(this, window, IDB_CELL_MARK);
    mark->SetX(x - mark->GetWidth() / 2);
    mark->SetY(y - mark->GetHeight() / 2);
    mark->SetZOrder(15);
    pageFigures.InsertAt(mark, pageFigures.count);
    AddFigure(mark);
}

void ChildrenScreen::Show(Page shown, const Household& household, std::int32_t child) {
    for (auto* node = pageFigures.head; node != nullptr; node = node->next) {
        RemoveFigure(node->value, true);
    }
    pageFigures.Clear();
    badges.Clear();
    heldBadge = nullptr;
    removeRing->SetVisible(false);
    page = shown;

    caption->currentFrame = static_cast<std::int32_t>(shown);
    caption->Invalidate();
    const bool asking = shown == Page::WhoIsPlaying;
    exitBox->SetVisible(asking);
    exitBox->SetEnabled(asking);
    backButton->SetVisible(!asking);
    backButton->SetEnabled(!asking);

    const auto animal = [this](std::int32_t picture) {
        return Say(instance, IDS_SAY_ANIMAL + picture);
    };
    static constexpr std::int32_t kSaid[] = {IDS_SAY_WHO_IS_PLAYING, IDS_SAY_CHILDREN,
                                             IDS_SAY_NEW_CHILD, IDS_SAY_REMOVE};
    status =
        Say(instance, kSaid[static_cast<std::int32_t>(shown)], animal(household.PictureOf(child)));
    const auto count = static_cast<std::int32_t>(household.children.size());
    switch (shown) {
        case Page::WhoIsPlaying:
        case Page::Children:
            for (std::int32_t cell = 0; cell < count && cell < kMaxShown; ++cell) {
                const StoredChild& shownChild = household.children[static_cast<std::size_t>(cell)];
                AddPicture(IDB_ANIMALS, kAnimalFrames, shownChild.picture - 1, ChildX(cell),
                           ChildY(cell), asking ? shownChild.number : -1,
                           animal(shownChild.picture));
                if (shownChild.number == child) AddMark(ChildX(cell), ChildY(cell));
                // The first child stays while there are others; only its progress is reset.
                if (!asking && shownChild.number != 1) {
                    auto* badge = new Button(this, window, IDB_REMOVE_BUTTON);
                    badge->SetX(ChildX(cell) + kPictureSize / 2 - badge->GetWidth() + 8);
                    badge->SetY(ChildY(cell) - kPictureSize / 2 - 8);
                    badge->SetZOrder(40);
                    badge->SetEnabled(true);
                    badge->tag = shownChild.number;
                    badge->AddListener(this);
                    badge->accessibleName =
                        Say(instance, IDS_SAY_REMOVE_HOLD, animal(shownChild.picture));
                    pageFigures.InsertAt(badge, pageFigures.count);
                    badges.InsertAt(badge, badges.count);
                    AddFigure(badge);
                }
            }
            if (!asking && count < kMaxShown) {
                AddPicture(IDB_ANIMALS, kAnimalFrames, kAddFrame, ChildX(count), ChildY(count), 0,
                           Say(instance, IDS_SAY_ADD_CHILD));
            }
            break;
        case Page::NewChild:
            for (std::int32_t picture = 1; picture <= Household::kPictures; ++picture) {
                if (household.PictureTaken(picture)) continue;
                const std::int32_t cell = picture - 1;
                AddPicture(IDB_ANIMALS, kAnimalFrames, picture - 1, kPickX[cell % 3],
                           kPickY[cell / 3], picture, animal(picture));
            }
            break;
        case Page::Remove:
            AddPicture(IDB_ANIMALS, kAnimalFrames, household.PictureOf(child) - 1, width / 2, 130,
                       -1, animal(household.PictureOf(child)));
            AddMark(width / 2, 130);
            AddPicture(IDB_ANIMALS, kAnimalFrames, kRemoveFrame, width / 2, 240, child, status);
            break;
    }
    Redraw(true);
}

void ChildrenScreen::OnFigureDown(Figure* figure, std::int32_t, std::int32_t) {
    if (figure == exitBox) {
        EndProgram(window, exitSound);
        return;
    }
    if (badges.Contains(figure)) {
        heldBadge = figure;
        badgePressed = GetTickCount();
        removeRing->currentFrame = 0;
        removeRing->SetX(figure->GetX() - 6);
        removeRing->SetY(figure->GetY() - 6);
        removeRing->SetVisible(true);
        return;
    }
    if (listener == nullptr || figure == backButton || !pageFigures.Contains(figure)) return;
    switch (page) {
        case Page::WhoIsPlaying:
            listener->OnChildrenAction(ChildrenListener::Action::Choose, figure->tag);
            break;
        case Page::Children: listener->OnChildrenAction(ChildrenListener::Action::Add, 0); break;
        case Page::NewChild:
            listener->OnChildrenAction(ChildrenListener::Action::Pick, figure->tag);
            break;
        case Page::Remove:
            listener->OnChildrenAction(ChildrenListener::Action::Remove, figure->tag);
            break;
    }
}

void ChildrenScreen::OnFigureUp(Figure* figure, std::int32_t, std::int32_t) {
    // A button hears its release wherever the stylus is lifted, so sliding off cancels too.
    if (figure == heldBadge) {
        heldBadge = nullptr;
        removeRing->SetVisible(false);
    } else if (figure == backButton && listener != nullptr) {
        listener->OnChildrenAction(ChildrenListener::Action::Back, 0);
    }
}

void ChildrenScreen::Tick(DWORD time) {
    if (heldBadge != nullptr &&
        FollowHold(removeRing, time - badgePressed, kRemoveHold, kRingFrames)) {
        const std::int32_t child = heldBadge->tag;
        heldBadge = nullptr;
        if (listener != nullptr) {
            listener->OnChildrenAction(ChildrenListener::Action::RemoveHeld, child);
        }
    }
    Screen::Tick(time);
}
