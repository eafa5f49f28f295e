// Every language block of the resource script, checked against English and against the places
// its words are drawn in: whole, formatted alike, fitted, and in glyphs the fonts have.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "drill/GameScreen.h"
#include "drill/SplashScreen.h"
#include "platform/core/bmp.h"
#include "platform/core/languages.h"
#include "platform/core/resource_loading.h"
#include "platform/core/text_backend.h"
#include "platform/testing/testing.h"
#include "resources/ResourceIds.h"
#include "scene/Text.h"

namespace {

constexpr std::uint16_t kEnglish = 0x0409;

using Strings = std::map<int, std::u16string>;

// Each block's strings, straight from the table, so a missing one cannot hide behind the
// fallback to English.
std::map<std::uint16_t, Strings> StringBlocks() {
    std::map<std::uint16_t, Strings> blocks;
    for (std::size_t i = 0; i < platform::programResources.count; ++i) {
        const platform::Resource& r = platform::programResources.resources[i];
        if (r.type != platform::ResourceType::String) continue;
        std::u16string text;
        for (std::uint32_t b = 0; b + 1 < r.size; b += 2) {
            text += static_cast<char16_t>(r.data[b] | r.data[b + 1] << 8);
        }
        blocks[r.language][r.id] = text;
    }
    return blocks;
}

std::string Narrow(const std::u16string& text) {
    std::string narrow;
    for (const char16_t c : text) narrow += c < 0x80 ? static_cast<char>(c) : '?';
    return narrow;
}

std::string Formats(const std::u16string& text) {
    std::string formats;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == u'%') formats += static_cast<char>(text[++i]);
    }
    return formats;
}

void Prefer(const std::u16string& names) {
    ASSERT_TRUE(SetThreadPreferredUILanguages(MUI_LANGUAGE_NAME, names.c_str(), nullptr));
}

std::u16string Loaded(UINT id) {
    WCHAR text[200];
    LoadStringW(GetModuleHandleW(nullptr), id, text, 200);
    return text;
}

const platform::Resource* BitmapIn(std::uint16_t language, int id) {
    for (std::size_t i = 0; i < platform::programResources.count; ++i) {
        const platform::Resource& r = platform::programResources.resources[i];
        if (r.type == platform::ResourceType::Bitmap && r.id == id && r.language == language) {
            return &r;
        }
    }
    return nullptr;
}

std::vector<Figure*> TextsOf(const Screen& screen) {
    std::vector<Figure*> texts;
    for (auto* node = screen.figures.head; node != nullptr; node = node->next) {
        if (lstrcmpW(node->value->GetTypeName(), TEXT("Text")) == 0) texts.push_back(node->value);
    }
    return texts;
}

class Languages : public ::testing::Test {
protected:
    Languages() { platform::testing::SetTickCount(1000); }
    ~Languages() override { Prefer(std::u16string(u"\0", 1)); }

    platform::testing::HeadlessWindow window;
};

// Every block holds every string English has, with the same formats, and the pictures that
// carry words at the English size; the loaders pick the block by its own tag.
TEST_F(Languages, EveryBlockIsWholeAndChosenByItsTag) {
    auto blocks = StringBlocks();
    ASSERT_EQ(blocks.size(), 9u);
    const Strings& english = blocks.at(kEnglish);
    for (const auto& [language, strings] : blocks) {
        const std::string tag =
            Narrow(strings.count(IDS_LANGUAGE) ? strings.at(IDS_LANGUAGE) : u"");
        SCOPED_TRACE(tag);
        // A block is its language's main region's; the tag names the region only where the
        // words are the region's own (pt-BR).
        const auto named = platform::TagOfLanguageId(language);
        const auto written = platform::ParseLanguageTag(tag);
        ASSERT_TRUE(named && written);
        EXPECT_EQ(written->language, named->language);
        EXPECT_TRUE(written->region.empty() || written->region == named->region);
        for (const auto& [id, text] : english) {
            SCOPED_TRACE(id);
            ASSERT_TRUE(strings.count(id));
            EXPECT_FALSE(strings.at(id).empty());
            EXPECT_EQ(Formats(strings.at(id)), Formats(text));
        }
        EXPECT_EQ(strings.size(), english.size());
        for (const int id : {IDS_TITLE, IDS_CLASS_NAME, IDS_YEARS}) {
            EXPECT_EQ(strings.at(id), english.at(id)) << "the same in every language";
        }

        for (const int id : {IDB_SETTINGS_BOARD, IDB_OK_BUTTON, IDB_RESET_BUTTON, IDB_CAPTIONS}) {
            SCOPED_TRACE(id);
            const platform::Resource* own = BitmapIn(language, id);
            const platform::Resource* reference = BitmapIn(kEnglish, id);
            platform::BmpInfo ownFormat, referenceFormat;
            ASSERT_TRUE(own && platform::ReadBmpInfo(own->data, own->size, ownFormat));
            ASSERT_TRUE(platform::ReadBmpInfo(reference->data, reference->size, referenceFormat));
            EXPECT_EQ(std::tuple(ownFormat.width, ownFormat.height, ownFormat.bitsPerPixel),
                      std::tuple(referenceFormat.width, referenceFormat.height,
                                 referenceFormat.bitsPerPixel));
            if (language != kEnglish && id == IDB_SETTINGS_BOARD) {
                EXPECT_FALSE(std::equal(own->data, own->data + own->size, reference->data,
                                        reference->data + reference->size))
                    << "lettered in its own words";
            }
        }

        std::u16string name(tag.begin(), tag.end());
        Prefer(name + u'\0');
        EXPECT_EQ(Loaded(IDS_LANGUAGE), name);
        EXPECT_EQ(Loaded(IDS_SIGN_DIVISION), strings.at(IDS_SIGN_DIVISION));
    }
}

// How a preference picks a block: region, then language, then the next preference, then
// English; what is not a language name counts for nothing.
TEST_F(Languages, APreferenceFallsBackByRegionLanguageThenEnglish) {
    for (const auto& [names, chosen] : std::vector<std::pair<std::u16string, std::u16string>>{
             {std::u16string(u"\0", 1), u"en"},
             {std::u16string(u"de-AT\0", 6), u"de"},
             {std::u16string(u"uk\0", 3), u"uk"},
             {std::u16string(u"pt-PT\0", 6), u"pt-BR"},
             {std::u16string(u"PT_br.UTF-8\0", 12), u"pt-BR"},
             {std::u16string(u"ja\0uk-UA\0de\0", 12), u"uk"},
             {std::u16string(u"xx\0", 3), u"en"},
             {std::u16string(u"de--\0", 5), u"en"},
             {std::u16string(u"deutsch\0", 8), u"en"},
             {std::u16string(u"C\0", 2), u"en"},
             {std::u16string(u"d\u00e9\0", 3), u"en"},
         }) {
        SCOPED_TRACE(Narrow(names));
        Prefer(names);
        EXPECT_EQ(Loaded(IDS_LANGUAGE), chosen);
    }
}

// The words the program draws itself fit their places in every language, in glyphs the face
// has: the score's caption between the child's picture and the score, the title's lines
// apart and on the board, and each sign beside the widest problems on the slate.
TEST_F(Languages, DrawnWordsFitAndHaveGlyphs) {
    for (const auto& [language, strings] : StringBlocks()) {
        const std::u16string tag = strings.at(IDS_LANGUAGE);
        SCOPED_TRACE(Narrow(tag));
        Prefer(tag + u'\0');

        for (const auto& [height, ids] : std::vector<std::pair<LONG, std::vector<int>>>{
                 // The caption is set smaller, down to 12 px, where its word is long.
                 {16, {IDS_SCORE}},
                 {15, {IDS_SCORE}},
                 {14, {IDS_SCORE}},
                 {13, {IDS_SCORE}},
                 {12, {IDS_VERSION, IDS_YEARS, IDS_SCORE}},
                 {50,
                  {IDS_SIGN_ADDITION, IDS_SIGN_SUBTRACTION, IDS_SIGN_MULTIPLICATION,
                   IDS_SIGN_DIVISION}}}) {
            const auto face = platform::CurrentTextBackend()->OpenFont(Text::BoldFont(height));
            ASSERT_NE(face, nullptr);
            const platform::Glyph missing = face->GlyphFor(0x10FFFF);
            for (const int id : ids) {
                for (const char16_t c : strings.at(id)) {
                    const platform::Glyph& glyph = face->GlyphFor(c);
                    EXPECT_FALSE(glyph.bits == missing.bits && glyph.advance == missing.advance &&
                                 c != u' ')
                        << "no glyph for U+" << std::hex << int{c} << " of string " << std::dec
                        << id << " at " << height << " px";
                }
            }
        }

        // The caption shown, alone with the settings key and beside a child's picture.
        GameScreen game(window, GetModuleHandleW(nullptr));
        auto caption = [&] {
            const Figure* shown = nullptr;
            for (Figure* text : TextsOf(game)) {
                if (text != game.scoreText && text->GetY() < 60 && text->visible) {
                    EXPECT_EQ(shown, nullptr) << "one caption at a time";
                    shown = text;
                }
            }
            return shown;
        };
        const Figure* settingsKey = nullptr;
        for (auto* node = game.figures.head; node != nullptr; node = node->next) {
            if (lstrcmpW(node->value->GetTypeName(), TEXT("Button")) == 0)
                settingsKey = node->value;
        }
        ASSERT_NE(settingsKey, nullptr);
        for (const std::int32_t picture : {0, 3, 0}) {
            game.ShowChild(picture);
            const Figure* shown = caption();
            ASSERT_NE(shown, nullptr);
            const Figure* before = picture > 0 ? game.childPicture : settingsKey;
            EXPECT_GT(shown->GetX(), before->GetBounds().right) << picture;
            EXPECT_LE(shown->GetBounds().right, game.scoreText->GetX() - 2);
            if (language == kEnglish) {
                EXPECT_EQ(shown, game.scoreCaption) << "as it always was";
            }
        }

        for (const auto& [operation, first, second] :
             {std::tuple(Addition, 100, 100), std::tuple(Subtraction, 144, 99),
              std::tuple(Multiplication, 12, 12), std::tuple(Division, 144, 12)}) {
            // Centred on the slate as the drill places it.
            const Equation problem(&game, window, operation, first, second, 0);
            EXPECT_LE(problem.GetWidth(), 200) << operation;
        }

        SplashScreen splash(window, GetModuleHandleW(nullptr));
        std::vector<RECT> lines;
        for (Figure* text : TextsOf(splash)) lines.push_back(text->GetBounds());
        std::sort(lines.begin(), lines.end(),
                  [](const RECT& a, const RECT& b) { return a.left < b.left; });
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_LT(lines[0].right + 8, lines[1].left);
        EXPECT_LE(lines[1].right, 225);
    }
}

}  // namespace
