// The drill: one problem on the blackboard, four answer cards, the score, a star per level
// reached, the settings button and the exit box. A right card scores the problem and plays
// the chalk check mark; when it ends, the next problem is posed.
#pragma once

#include <cstdint>

#include "drill/Answer.h"
#include "drill/Equation.h"
#include "drill/Progress.h"
#include "scene/Animation.h"
#include "scene/Image.h"
#include "scene/ObjectList.h"
#include "scene/Screen.h"
#include "scene/ScreenListener.h"
#include "scene/Text.h"

class GameScreen : public Screen, public FigureListener, public AnimationListener {
public:
    GameScreen(HWND window, HINSTANCE instance);
    ~GameScreen() override;
    void Paint(HDC dc, bool full) override;

    void OnFigureDown(Figure* figure, std::int32_t x, std::int32_t y) override;
    void OnFigureUp(Figure* figure, std::int32_t x, std::int32_t y) override;
    void OnAnimationStart(Animation* animation) override;
    void OnAnimationCycle(Animation* animation, std::int32_t frame) override;
    void OnAnimationFrame(Animation* animation, std::int32_t frame) override;

    void NewProblem();
    void GenerateProblem(std::int32_t bound, std::int32_t operation);
    void AddResultText(std::int32_t result);
    void UpdateScoreText();
    void RefreshStars();
    // Shows the picture (1 and up) of the child playing; 0 for a household of one.
    void ShowChild(std::int32_t picture);

    Animation* checkMark = nullptr;
    ObjectList<Answer*> answers;  // the correct one first, then the wrong ones as drawn
    Text* resultText = nullptr;
    Equation* equation = nullptr;
    COLORREF problemColour = RGB(0xFF, 0x64, 0x64);
    bool firstTry = true;
    Image* stars[Progress::kLevels] = {};
    ObjectList<ScreenListener*> screenListeners;
    Progress* progress = nullptr;
    const void* correctSound = nullptr;
    const void* levelUpSound = nullptr;
    std::int32_t shownLevel = 0;
    Text* scoreText = nullptr;
    LOGFONTW scoreFont = {};
    Image* exitBox = nullptr;
    const void* exitSound = nullptr;
    // "Score"; and where that word reaches the child's picture, the same set smaller, shown
    // instead while the picture is.
    Text* scoreCaption = nullptr;
    Text* fittedScoreCaption = nullptr;
    // Whose game it is, while more than one child plays; a tap on it asks again.
    Animation* childPicture = nullptr;
    Figure* childSpot = nullptr;

private:
    Text* AddScoreCaption(const LOGFONTW& font);
    // Draws the operands for the level's operation, as the level table says.
    static void DrawOperands(std::int32_t bound, std::int32_t operation, std::int32_t& operand1,
                             std::int32_t& operand2);
};
