// The desktop's text backend: fontconfig chooses the face, FreeType renders it bi-level
// (anti-aliased edges would turn into coloured fringes once text is colour-keyed).
#pragma once

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <utility>

#include "platform/core/text_backend.h"

namespace platform {

struct FontFace;

class FreeTypeText : public TextBackend {
public:
    FreeTypeText();
    ~FreeTypeText() override;
    FreeTypeText(const FreeTypeText&) = delete;
    FreeTypeText& operator=(const FreeTypeText&) = delete;

    std::unique_ptr<TextFont> OpenFont(const LOGFONTW& font) override;

private:
    FontFace* Match(const std::string& family, bool bold, bool italic);
    FontFace* OpenFace(const std::string& file, int index);

    bool configured_ = false;  // fontconfig
    bool ready_ = false;       // and FreeType
    void* library_ = nullptr;  // FT_Library
    // Each answer of fontconfig is kept, so only the first request for a family and style
    // touches the disk.
    std::map<std::tuple<std::string, bool, bool>, FontFace*> matches_;
    std::map<std::pair<std::string, int>, std::unique_ptr<FontFace>> faces_;
};

}  // namespace platform
