// language_packs <english_table.cpp> <folder>: splits the program's resource table for the
// page. What an English page needs (the English and language-neutral blocks) becomes a table
// of its own, linked into the page's program; every other block becomes <folder>/<tag>.bin
// (tag as the block's IDS_LANGUAGE names it), which the page fetches for a reader of that
// language and hands to the program before its entry.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/core/resources.h"
#include "platform/web/language_pack.h"
#include "resources/ResourceIds.h"

namespace {

constexpr std::uint16_t kNeutral = 0x0000;
constexpr std::uint16_t kEnglish = 0x0409;

const char* KindName(platform::ResourceType type) {
    switch (type) {
        case platform::ResourceType::Bitmap: return "Bitmap";
        case platform::ResourceType::Wave: return "Wave";
        case platform::ResourceType::Icon: return "Icon";
        case platform::ResourceType::String: return "String";
    }
    return "String";
}

bool WriteTable(const std::string& path, const std::vector<const platform::Resource*>& kept) {
    std::ofstream out(path);
    out << "// Written by language_packs: the English and neutral blocks of the resource table.\n"
        << "#include \"platform/core/resources.h\"\n\nnamespace {\n\n";
    for (std::size_t i = 0; i < kept.size(); ++i) {
        out << "alignas(4) const unsigned char r" << i << "[] = {";
        for (std::uint32_t b = 0; b < kept[i]->size; ++b) {
            out << (b % 24 == 0 ? "\n" : "") << static_cast<int>(kept[i]->data[b]) << ",";
        }
        out << (kept[i]->size == 0 ? "0" : "") << "\n};\n";
    }
    out << "\nconst platform::Resource kResources[] = {\n";
    for (std::size_t i = 0; i < kept.size(); ++i) {
        out << "    {platform::ResourceType::" << KindName(kept[i]->type) << ", " << kept[i]->id
            << ", " << kept[i]->language << ", r" << i << ", " << kept[i]->size << "},\n";
    }
    out << "};\n\n}  // namespace\n\n"
        << "const platform::ResourceModule platform::programResources = {kResources, "
        << kept.size() << "};\n";
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: language_packs <english_table.cpp> <folder>\n");
        return 2;
    }
    std::vector<const platform::Resource*> kept;
    std::map<std::uint16_t, std::vector<const platform::Resource*>> blocks;
    std::map<std::uint16_t, std::string> tags;
    for (std::size_t i = 0; i < platform::programResources.count; ++i) {
        const platform::Resource& resource = platform::programResources.resources[i];
        if (resource.language == kEnglish || resource.language == kNeutral) {
            kept.push_back(&resource);
            continue;
        }
        blocks[resource.language].push_back(&resource);
        if (resource.type == platform::ResourceType::String && resource.id == IDS_LANGUAGE) {
            for (std::uint32_t c = 0; c + 1 < resource.size; c += 2) {
                tags[resource.language] += static_cast<char>(resource.data[c]);
            }
        }
    }
    if (!WriteTable(argv[1], kept)) {
        std::fprintf(stderr, "language_packs: cannot write %s\n", argv[1]);
        return 1;
    }
    for (const auto& [language, resources] : blocks) {
        if (tags[language].empty()) {
            std::fprintf(stderr, "language_packs: block 0x%04X names no IDS_LANGUAGE\n", language);
            return 1;
        }
        const std::string path = std::string(argv[2]) + "/" + tags[language] + ".bin";
        const std::vector<unsigned char> pack = platform::WriteLanguagePack(resources);
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(pack.data()),
                  static_cast<std::streamsize>(pack.size()));
        if (!out) {
            std::fprintf(stderr, "language_packs: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
