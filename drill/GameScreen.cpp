#include "drill/GameScreen.h"

#include "drill/ScreenParts.h"
#include "resources/ResourceIds.h"
#include "scene/Button.h"
#include "scene/Hotspot.h"
#include "scene/WaveResource.h"

namespace {

constexpr COLORREF kCaptionColour = RGB(0xFD, 0xFB, 0x43);
constexpr std::int32_t kScoreX = 130;
constexpr std::int32_t kCaptionX = 90;
constexpr std::int32_t kTopRowY = 20;
// The playing child's picture, between the settings tile and the caption.
constexpr std::int32_t kChildPictureX = 55;
constexpr std::int32_t kChildPictureRight = kChildPictureX + 24;
// The smallest the caption is set in a language whose word is long.
constexpr LONG kSmallestCaption = 12;

}  // namespace

GameScreen::GameScreen(HWND window, HINSTANCE instance) : Screen(window, instance) {
    progress = AcquireProgress();
    shownLevel = progress->level;

    AddBoard(*this, window, IDB_GAME_BOARD);

    checkMark = new Animation(this, window, IDB_CHECK_MARK, 4, 4);
    checkMark->SetZOrder(100);
    checkMark->SetX((width - checkMark->GetWidth()) / 2);
    checkMark->SetY(90);
    checkMark->AddAnimationListener(this);
    AddFigure(checkMark);

    for (int i = 0; i < Progress::kLevels; ++i) {
        stars[i] = new Image(this, window, IDB_STAR);
        stars[i]->SetVisible(i < progress->level);
        stars[i]->SetX(width - 30);
        stars[i]->SetY(50 + i * stars[i]->GetHeight());
        AddFigure(stars[i]);
    }

    auto* settingsButton = new Button(this, window, IDB_SETTINGS_BUTTON);
    settingsButton->SetEnabled(true);
    settingsButton->SetX(12);
    settingsButton->SetY(kTopRowY);
    settingsButton->AddListener(this);
    settingsButton->accessibleName = Say(instance, IDS_SAY_SETTINGS);
    AddFigure(settingsButton);

    correctSound = LoadWaveResource(IDW_CORRECT);
    levelUpSound = LoadWaveResource(IDW_LEVEL_UP);
    exitSound = LoadWaveResource(IDW_TAP);
    scoreFont = Text::BoldFont(16);

    scoreCaption = AddScoreCaption(scoreFont);
    // A word longer than the room between the child's picture and the score is set a pixel
    // smaller at a time for when the picture shows, rather than run into either.
    LOGFONTW smaller = scoreFont;
    for (Text* fitted = scoreCaption;
         fitted->GetX() <= kChildPictureRight && smaller.lfHeight > kSmallestCaption;) {
        if (fitted != scoreCaption) RemoveFigure(fitted, true);
        --smaller.lfHeight;
        fitted = fittedScoreCaption = AddScoreCaption(smaller);
        fitted->SetVisible(false);
    }

    exitBox = AddExitBox(*this, window, this);

    // Between the settings tile and the caption; the spot round it is a finger's size.
    childPicture = new Animation(this, window, IDB_ANIMALS_SMALL, 8, 1);
    childPicture->SetX(kChildPictureX);
    childPicture->SetY(kTopRowY + 5);
    childPicture->SetZOrder(20);
    AddFigure(childPicture);
    childSpot = new Hotspot(this, window, 34, 36);
    childSpot->SetX(childPicture->GetX() - 5);
    childSpot->SetY(kTopRowY);
    childSpot->SetZOrder(40);
    childSpot->SetVisible(false);
    childSpot->AddListener(this);
    AddFigure(childSpot);

    UpdateScoreText();
    NewProblem();
}

GameScreen::~GameScreen() {
    ReleaseProgress();
    progress = nullptr;
    DeleteAllFigures();
    screenListeners.Clear();
    answers.Clear();
}

void GameScreen::UpdateScoreText() {
    RemoveFigure(scoreText, true);
    WCHAR digits[12];
    wsprintfW(digits, TEXT("%d"), progress->score);
    scoreText = new Text(this, window, digits, problemColour, scoreFont);
    scoreText->SetVisible(true);
    scoreText->SetEnabled(false);
    scoreText->SetX(kScoreX);
    scoreText->SetY(kTopRowY);
    scoreText->SetZOrder(20);
    scoreText->accessibleName = Say(instance, IDS_SAY_SCORE, progress->score);
    scoreText->accessibleRole = ACCESSIBLE_TEXT;
    AddFigure(scoreText);
}

void GameScreen::RefreshStars() {
    for (int i = 0; i < Progress::kLevels; ++i) stars[i]->SetVisible(i < progress->level);
}

Text* GameScreen::AddScoreCaption(const LOGFONTW& font) {
    auto* caption = new Text(this, instance, window, IDS_SCORE, kCaptionColour, font);
    caption->SetZOrder(20);
    // The caption ends a few pixels before the score, even in a face wider than the
    // handheld's, so the two never run into each other.
    const std::int32_t captionRoom = kScoreX - 4 - caption->GetWidth();
    caption->SetX(captionRoom < kCaptionX ? captionRoom : kCaptionX);
    caption->SetY(kTopRowY);
    AddFigure(caption);
    return caption;
}

void GameScreen::ShowChild(std::int32_t picture) {
    ShowSmallPicture(childPicture, picture);
    if (fittedScoreCaption != nullptr) {
        scoreCaption->SetVisible(picture == 0);
        fittedScoreCaption->SetVisible(picture > 0);
    }
    childSpot->SetVisible(picture > 0);
    childSpot->SetEnabled(picture > 0);
    childSpot->accessibleName =
        picture > 0 ? Say(instance, IDS_SAY_PLAYING, Say(instance, IDS_SAY_ANIMAL + picture))
                    : std::basic_string<WCHAR>();
}

void GameScreen::OnFigureDown(Figure* figure, std::int32_t x, std::int32_t y) {
    if (figure == exitBox) {
        EndProgram(window, exitSound);
    } else if (lstrcmpW(figure->GetTypeName(), TEXT("Answer")) == 0) {
        auto* choice = static_cast<Answer*>(figure);
        // Hiding also disables it, so a choice can be tapped only once.
        choice->SetVisible(false);
        if (choice->number == equation->result) {
            status = Say(instance, IDS_SAY_RIGHT, progress->bonus);
            progress->AddBonusToScore();
            // The remaining choices only click from now on.
            for (auto* node = answers.head; node != nullptr; node = node->next) {
                node->value->RemoveListener(this);
            }
            progress->RecordResult(firstTry);
            firstTry = true;
            resultText->SetVisible(true);
            PlayWave(correctSound, true);
            checkMark->Start();
        } else {
            firstTry = false;
            progress->bonus = progress->bonus / 3;
            status = Say(instance, IDS_SAY_WRONG);
        }
    }
    ForwardToListeners(screenListeners, this, figure, true, x, y);
}

void GameScreen::OnFigureUp(Figure* figure, std::int32_t x, std::int32_t y) {
    ForwardToListeners(screenListeners, this, figure, false, x, y);
}

void GameScreen::OnAnimationStart(Animation*) {}

void GameScreen::OnAnimationFrame(Animation*, std::int32_t) {}

void GameScreen::OnAnimationCycle(Animation* animation, std::int32_t) {
    if (animation->resourceId != IDB_CHECK_MARK) return;
    RefreshStars();
    UpdateScoreText();
    NewProblem();
    Redraw(true);
}

void GameScreen::Paint(HDC dc, bool full) {
    if (progress->levelChanged) {
        progress->levelChanged = false;
        RefreshStars();
        NewProblem();
    }
    if (progress->scoreChanged) {
        progress->scoreChanged = false;
        UpdateScoreText();
    }
    Screen::Paint(dc, full);
}
