#include "drill/SplashScreen.h"

#include "drill/ScreenParts.h"
#include "resources/ResourceIds.h"
#include "scene/Image.h"
#include "scene/Text.h"

SplashScreen::SplashScreen(HWND window, HINSTANCE instance) : Screen(window, instance) {
    Image* title = AddBoard(*this, window, IDB_TITLE);
    title->SetEnabled(true);
    title->AddListener(this);
    title->accessibleName = Say(instance, IDS_SAY_START);

    const LOGFONTW font = Text::BoldFont(12);
    const COLORREF yellow = RGB(0xFF, 0xFF, 0x00);
    WCHAR line[20];
    struct {
        std::int32_t stringId;
        std::int32_t x;
    } const lines[] = {{IDS_VERSION, 15}, {IDS_YEARS, 158}};
    for (const auto& entry : lines) {
        LoadStringW(instance, static_cast<UINT>(entry.stringId), line, 20);
        auto* text = new Text(this, window, line, yellow, font);
        text->SetZOrder(10);
        text->SetEnabled(false);
        text->SetVisible(true);
        text->SetX(entry.x);
        text->SetY(287);
        AddFigure(text);
    }
}

SplashScreen::~SplashScreen() {
    DeleteAllFigures();
    screenListeners.Clear();
}

void SplashScreen::OnFigureDown(Figure* figure, std::int32_t x, std::int32_t y) {
    ForwardToListeners(screenListeners, this, figure, true, x, y);
}

// The release that ends a tap on the title is not passed on.
void SplashScreen::OnFigureUp(Figure*, std::int32_t, std::int32_t) {}
