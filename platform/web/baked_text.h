// The text backend of a build without FreeType or fontconfig: it serves the glyphs that the
// desktop's backend rendered at build time, so text comes out in the same pixels.
#pragma once

#include "platform/core/text_backend.h"

namespace platform {

class BakedText : public TextBackend {
public:
    // A baked font at the description's height; null for a height that was not baked or a
    // face the core would refuse.
    std::unique_ptr<TextFont> OpenFont(const LOGFONTW& font) override;
};

}  // namespace platform
