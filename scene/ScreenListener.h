// Receives the stylus events that a screen's figures reported, passed on by the screen.
#pragma once

#include <cstdint>

class Figure;
class Screen;

class ScreenListener {
public:
    virtual void OnFigureDown(Screen* screen, Figure* figure, std::int32_t x, std::int32_t y) = 0;
    virtual void OnFigureUp(Screen* screen, Figure* figure, std::int32_t x, std::int32_t y) = 0;

protected:
    ~ScreenListener() = default;
};
