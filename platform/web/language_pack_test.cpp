// A language block's file read back as the table it came from, and a read block joining the
// program's resources, where the loaders choose it by the reader's languages.
#include <gtest/gtest.h>

#include <vector>

#include "platform/core/resource_loading.h"
#include "platform/web/language_pack.h"

namespace platform {
namespace {

TEST(LanguagePack, EveryResourceOfTheTableComesBackWholeAndATruncatedPackIsRefused) {
    std::vector<const Resource*> all;
    for (std::size_t i = 0; i < programResources.count; ++i) {
        all.push_back(&programResources.resources[i]);
    }
    const std::vector<unsigned char> pack = WriteLanguagePack(all);
    std::vector<Resource> read;
    ASSERT_TRUE(ReadLanguagePack(pack.data(), pack.size(), read));
    ASSERT_EQ(read.size(), all.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(read[i].type, all[i]->type) << i;
        EXPECT_EQ(read[i].id, all[i]->id) << i;
        EXPECT_EQ(read[i].language, all[i]->language) << i;
        ASSERT_EQ(read[i].size, all[i]->size) << i;
        EXPECT_EQ(std::vector<unsigned char>(read[i].data, read[i].data + read[i].size),
                  std::vector<unsigned char>(all[i]->data, all[i]->data + all[i]->size))
            << i;
    }
    EXPECT_FALSE(ReadLanguagePack(pack.data(), pack.size() - 4, read));
    EXPECT_TRUE(read.empty());
}

TEST(LanguagePack, AnAddedBlockIsChosenByTheReadersLanguage) {
    const unsigned char german[] = {'J', 0, 'a', 0};
    const unsigned char english[] = {'Y', 0, 'e', 0, 's', 0};
    static const Resource added[] = {{ResourceType::String, 0xFFF0, 0x0407, german, 4},
                                     {ResourceType::String, 0xFFF0, 0x0409, english, 6}};
    AddResourceModule(ResourceModule{added, 2});
    WCHAR text[8];
    ASSERT_TRUE(SetThreadPreferredUILanguages(MUI_LANGUAGE_NAME, u"de-AT\0", nullptr));
    EXPECT_EQ(LoadStringW(GetModuleHandleW(nullptr), 0xFFF0, text, 8), 2);
    EXPECT_EQ(std::u16string(text), u"Ja");
    ASSERT_TRUE(SetThreadPreferredUILanguages(MUI_LANGUAGE_NAME, u"fr\0", nullptr));
    EXPECT_EQ(std::u16string(text, LoadStringW(GetModuleHandleW(nullptr), 0xFFF0, text, 8)),
              u"Yes");
}

}  // namespace
}  // namespace platform
