#include "scene/Animation.h"

#include "scene/Screen.h"

Animation::Animation(Screen* owner, HWND window, std::int32_t id, std::int32_t frames,
                     std::int32_t rate)
    : Image(owner, window, id), frameCount(frames), framesPerSecond(rate) {
    frameWidth = width / frameCount;
    frameDC = CreateSurface(frameWidth, height, frameBitmap);
    SetVisible(false);
}

Animation::~Animation() {
    DeleteDC(frameDC);
    DeleteObject(frameBitmap);
    animationListeners.Clear();
}

LPCWSTR Animation::GetTypeName() const { return TEXT("Animation"); }

std::int32_t Animation::GetWidth() const { return frameWidth; }

HDC Animation::GetSurface() {
    BitBlt(frameDC, 0, 0, GetWidth(), GetHeight(), imageDC, currentFrame * GetWidth(), 0, SRCCOPY);
    return frameDC;
}

void Animation::AddAnimationListener(AnimationListener* listener) {
    animationListeners.AddOnce(listener);
}

bool Animation::RemoveAnimationListener(AnimationListener* listener) {
    return animationListeners.Remove(listener);
}

void Animation::Start() {
    owner->running.AddOnce(this);
    if (hideWhenDone == 1) SetVisible(true);
    lastFrameTime = GetTickCount();
    animationListeners.ForEachInSnapshot([this](AnimationListener* listener) {
        listener->OnAnimationStart(this);
        listener->OnAnimationFrame(this, 0);
    });
}

void Animation::Tick(DWORD time) {
    const DWORD interval = static_cast<DWORD>(1000 / framesPerSecond);
    // Elapsed time in wrap-around arithmetic, so the tick count wrapping does not cut a
    // frame short. The frame changes only when strictly more than the interval has passed.
    if (time - lastFrameTime <= interval) return;
    ++currentFrame;
    // The actual tick, not the due time: a late loop does not make up for lost frames.
    lastFrameTime = time;
    if (currentFrame >= frameCount) {
        currentFrame = 0;
        if (loopCount > 0) {
            ++loopsDone;
            if (loopsDone >= loopCount) {
                loopsDone = 0;
                owner->running.Remove(this);
                if (hideWhenDone == 1) SetVisible(false);
            }
        }
    }
    Invalidate();
    const std::int32_t frame = currentFrame;
    animationListeners.ForEachInSnapshot([this, frame](AnimationListener* listener) {
        if (frame != 0) {
            listener->OnAnimationFrame(this, frame);
        } else {
            listener->OnAnimationCycle(this, 0);
        }
    });
}
