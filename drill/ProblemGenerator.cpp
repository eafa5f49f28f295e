// The problem generator of the game screen: every problem, its three wrong choices and the
// place of the right one are drawn from rand() in a fixed order, so a seed fixes the drill.
#include <cstdlib>

#include "drill/GameScreen.h"

#include "drill/ScreenParts.h"
#include "resources/ResourceIds.h"
#include "scene/WaveResource.h"

namespace {

struct LevelEntry {
    std::int32_t operation;
    std::int32_t bound;
};

constexpr LevelEntry kLevelTable[Progress::kLevels] = {
    {Addition, 10},       {Addition, 20},    {Subtraction, 9},    {Subtraction, 20},
    {Addition, 98},       {Subtraction, 99}, {Multiplication, 3}, {Multiplication, 6},
    {Multiplication, 12}, {Division, 3},     {Division, 6},       {Division, 12},
};

// No draw produces it, so an unfilled entry never matches a candidate.
constexpr std::int32_t kUnfilled = -9999;

}  // namespace

void GameScreen::NewProblem() {
    if (equation != nullptr) RemoveFigure(equation, false);
    if (resultText != nullptr) {
        RemoveFigure(resultText, true);
        resultText = nullptr;
    }
    for (auto* node = answers.head; node != nullptr; node = node->next) {
        RemoveFigure(node->value, true);
    }
    answers.Clear();

    // Whatever was tapped on the problem it replaces, a new one pays full points as a first
    // try: a level chosen in the settings can replace a problem that was never finished.
    firstTry = true;
    progress->bonus = Progress::kFullBonus;
    if (shownLevel < progress->level) PlayWave(levelUpSound, true);
    shownLevel = progress->level;
    const LevelEntry& entry = kLevelTable[progress->level - 1];
    GenerateProblem(entry.bound, entry.operation);
}

void GameScreen::DrawOperands(std::int32_t bound, std::int32_t operation, std::int32_t& operand1,
                              std::int32_t& operand2) {
    switch (operation) {
        case Addition: {
            const std::int32_t half = bound / 2 + 1;
            operand1 = std::rand() % half;
            operand2 = std::rand() % half;
            break;
        }
        case Subtraction:
            operand1 = std::rand() % (bound + 1);
            operand2 = std::rand() % (operand1 + 1);
            break;
        case Multiplication:
            operand1 = std::rand() % (bound + 1);
            operand2 = std::rand() % (bound + 1);
            break;
        default: {
            // Built from two factors; a pair with a zero survives three times in ten.
            std::int32_t factor1 = 0;
            std::int32_t factor2 = 0;
            while (factor1 == 0 && factor2 == 0) {
                factor1 = std::rand() % (bound + 1);
                factor2 = std::rand() % (bound + 1);
                if ((factor1 == 0 || factor2 == 0) && std::rand() % 10 < 7) {
                    factor1 = 0;
                    factor2 = 0;
                }
            }
            if (factor2 == 0) {
                operand1 = 0;
                operand2 = factor1;
            } else {
                operand1 = factor1 * factor2;
                operand2 = factor2;
            }
            break;
        }
    }
}

void GameScreen::GenerateProblem(std::int32_t bound, std::int32_t operation) {
    std::int32_t operand1 = 0;
    std::int32_t operand2 = 0;
    DrawOperands(bound, operation, operand1, operand2);
    // The problem just answered never comes straight back: a child would think the game
    // had not moved on.
    while (equation != nullptr && equation->operation == operation &&
           equation->operand1 == operand1 && equation->operand2 == operand2) {
        DrawOperands(bound, operation, operand1, operand2);
    }

    delete equation;
    equation = new Equation(this, window, operation, operand1, operand2, problemColour);
    equation->SetX((width - equation->GetWidth()) / 2);
    equation->SetY(70);
    equation->SetEnabled(false);
    AddFigure(equation);

    auto* correct = new Answer(this, window, equation->result);
    const std::int32_t rowY = height - correct->GetHeight() - 2;
    correct->SetY(rowY);
    correct->AddListener(this);
    correct->SetEnabled(true);
    AddFigure(correct);
    answers.InsertAt(correct, answers.count);

    AddResultText(equation->result);
    status = Say(instance, IDS_SAY_ADDITION + operation, operand1, operand2);

    std::int32_t wrong[3] = {kUnfilled, kUnfilled, kUnfilled};
    for (int filled = 0; filled < 3;) {
        const std::int32_t candidate =
            operation == Multiplication ? std::rand() % (bound * bound) : std::rand() % (bound + 1);
        if (candidate == equation->result || candidate == wrong[0] || candidate == wrong[1] ||
            candidate == wrong[2]) {
            continue;
        }
        wrong[filled++] = candidate;
    }

    const std::int32_t slot = std::rand() % 4;
    const std::int32_t rowX = (width - 200) / 2;
    correct->SetX(rowX + 50 * slot);
    std::int32_t nextSlot = 0;
    for (std::int32_t value : wrong) {
        if (nextSlot == slot) ++nextSlot;
        auto* choice = new Answer(this, window, value);
        choice->SetY(rowY);
        choice->AddListener(this);
        choice->SetEnabled(true);
        AddFigure(choice);
        answers.InsertAt(choice, answers.count);
        choice->SetX(rowX + 50 * nextSlot);
        ++nextSlot;
    }
}

void GameScreen::AddResultText(std::int32_t result) {
    WCHAR digits[12];
    wsprintfW(digits, TEXT("%d"), result);
    auto* text = new Text(this, window, digits, problemColour, Equation::ProblemFont());
    text->SetVisible(false);
    text->SetEnabled(false);
    text->SetY(equation->GetY() + equation->GetHeight());
    text->SetX(equation->GetX() + equation->GetWidth() - text->GetWidth());
    AddFigure(text);
    resultText = text;
}
