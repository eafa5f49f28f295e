// An image whose bitmap is a strip of equal frames, played at a fixed rate when started,
// repeated a number of times, then hidden; it reports its progress to its listeners.
#pragma once

#include <cstdint>

#include "scene/Image.h"
#include "scene/ObjectList.h"

class Animation;

class AnimationListener {
public:
    virtual void OnAnimationStart(Animation* source) = 0;
    // After each complete pass through the strip; `frame` is 0.
    virtual void OnAnimationCycle(Animation* source, std::int32_t frame) = 0;
    virtual void OnAnimationFrame(Animation* source, std::int32_t frame) = 0;

protected:
    ~AnimationListener() = default;
};

class Animation : public Image {
public:
    Animation(Screen* owner, HWND window, std::int32_t resourceId, std::int32_t frameCount,
              std::int32_t framesPerSecond);
    void Tick(DWORD time) override;
    ~Animation() override;
    LPCWSTR GetTypeName() const override;
    HDC GetSurface() override;
    std::int32_t GetWidth() const override;

    void Start();
    void AddAnimationListener(AnimationListener* listener);
    bool RemoveAnimationListener(AnimationListener* listener);

    HDC frameDC = nullptr;
    HBITMAP frameBitmap = nullptr;
    std::int32_t frameCount;
    std::int32_t framesPerSecond;
    std::int32_t currentFrame = 0;
    std::int32_t frameWidth = 0;
    std::uint8_t hideWhenDone = 1;
    DWORD lastFrameTime = 0;
    ObjectList<AnimationListener*> animationListeners;
    // 0 or less: the animation never stops.
    std::int32_t loopCount = 1;
    std::int32_t loopsDone = 0;
};
