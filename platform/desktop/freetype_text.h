// The desktop's text backend: fontconfig chooses the face, FreeType renders it bi-level
// (anti-aliased edges would turn into coloured fringes once text is colour-keyed).
#pragma once

#include <memory>
#include <string>
#include <thread>

#include "platform/core/text_backend.h"

namespace platform {

struct FontFace;

class FreeTypeText : public TextBackend {
public:
    FreeTypeText();
    ~FreeTypeText() override;
    FreeTypeText(const FreeTypeText&) = delete;
    FreeTypeText& operator=(const FreeTypeText&) = delete;

    // The system's face at the description's height: fontconfig's bold sans-serif.
    std::unique_ptr<TextFont> OpenFont(const LOGFONTW& font) override;

private:
    // Looked up once; null when none can be opened.
    FontFace* SystemFace();
    FontFace* OpenFace(const std::string& file, int index);
    // Waits for the start-up thread: reading fontconfig's configuration and caches takes
    // milliseconds that run beside the display's opening.
    void Started();

    std::thread starting_;

    bool configured_ = false;  // fontconfig
    bool ready_ = false;       // and FreeType
    void* library_ = nullptr;  // FT_Library
    bool looked_ = false;
    FontFace* systemFace_ = nullptr;
    std::unique_ptr<FontFace> face_;
};

}  // namespace platform
