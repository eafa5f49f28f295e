#include "drill/ScreenParts.h"

#include "resources/ResourceIds.h"
#include "scene/WaveResource.h"

Image* AddBoard(Screen& screen, HWND window, std::int32_t resourceId) {
    auto* board = new Image(&screen, window, resourceId);
    board->SetZOrder(1);
    board->SetX(0);
    board->SetY(0);
    screen.background = board;
    screen.AddFigure(board);
    return board;
}

Image* AddExitBox(Screen& screen, HWND window, FigureListener* listener) {
    auto* exitBox = new Image(&screen, window, IDB_EXIT_BOX);
    exitBox->SetEnabled(true);
    exitBox->SetX(screen.width - exitBox->GetWidth() - 12);
    exitBox->SetY(20);
    exitBox->AddListener(listener);
    exitBox->accessibleName = Say(screen.instance, IDS_SAY_EXIT);
    screen.AddFigure(exitBox);
    return exitBox;
}

void EndProgram(HWND window, const void* exitSound) {
    PlayWave(exitSound, false);
    PostMessageW(window, WM_DESTROY, 0, 0);
}

void ForwardToListeners(ObjectList<ScreenListener*>& listeners, Screen* screen, Figure* figure,
                        bool down, std::int32_t x, std::int32_t y) {
    listeners.ForEachInSnapshot([&](ScreenListener* listener) {
        if (down) {
            listener->OnFigureDown(screen, figure, x, y);
        } else {
            listener->OnFigureUp(screen, figure, x, y);
        }
    });
}

bool FollowHold(Animation* ring, DWORD held, DWORD hold, std::int32_t frames) {
    const auto frame =
        static_cast<std::int32_t>(held >= hold ? frames - 1 : held * (frames - 1) / hold);
    if (frame != ring->currentFrame) {
        ring->currentFrame = frame;
        ring->Invalidate();
    }
    return held >= hold;
}

std::basic_string<WCHAR> Say(HINSTANCE instance, std::int32_t id, std::int32_t first,
                             std::int32_t second) {
    WCHAR format[80];
    WCHAR said[100];
    if (LoadStringW(instance, static_cast<UINT>(id), format, 80) == 0) return {};
    wsprintfW(said, format, first, second);
    return said;
}

std::basic_string<WCHAR> Say(HINSTANCE instance, std::int32_t id,
                             const std::basic_string<WCHAR>& word) {
    std::basic_string<WCHAR> said = Say(instance, id);
    const std::size_t at = said.find(TEXT("%s"));
    if (at != std::basic_string<WCHAR>::npos) said.replace(at, 2, word);
    return said;
}

void ShowSmallPicture(Animation* small, std::int32_t picture) {
    const std::int32_t frame = picture > 0 ? picture - 1 : 0;
    if (small->visible && frame != small->currentFrame) small->Invalidate();
    small->currentFrame = frame;
    small->SetVisible(picture > 0);
}
