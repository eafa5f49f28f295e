// The list's contract: positional insert, add-once, remove, At, and passes over a snapshot.
#include "scene/ObjectList.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

namespace {

// The list as a string of its values, after checking that the links agree both ways.
std::string Contents(const ObjectList<char>& list) {
    std::string forward, backward;
    for (auto* n = list.head; n != nullptr; n = n->next) forward += n->value;
    for (auto* n = list.tail; n != nullptr; n = n->prev) backward = n->value + backward;
    EXPECT_EQ(backward, forward) << "the links disagree";
    EXPECT_EQ(static_cast<int>(forward.size()), list.count);
    return forward;
}

// Each row: a list, one change to it ('i' InsertAt the index, 'o' AddOnce, 'r' Remove) and
// the list after it. InsertAt appends for an index below 0 or above the count; AddOnce skips a
// listed value; Remove unlinks the occurrence nearest the head and says if there was one. At
// an index out of range yields the first value, or the null value of an empty list.
TEST(ObjectList, ChangesKeepTheValuesInOrder) {
    const std::tuple<const char*, char, char, int, const char*> rows[] = {
        {"", 'i', 'v', 5, "v"},       {"", 'i', 'v', -1, "v"},    {"ab", 'i', 'v', 0, "vab"},
        {"ab", 'i', 'v', 1, "avb"},   {"ab", 'i', 'v', 2, "abv"}, {"ab", 'i', 'v', 9, "abv"},
        {"ab", 'i', 'v', -1, "abv"},  {"ab", 'o', 'a', 0, "ab"},  {"ab", 'o', 'c', 0, "abc"},
        {"abcb", 'r', 'b', 0, "acb"}, {"ab", 'r', 'a', 0, "b"},   {"ab", 'r', 'b', 0, "a"},
        {"c", 'r', 'c', 0, ""},       {"ab", 'r', 'z', 0, "ab"}};
    for (const auto& [before, change, value, index, after] : rows) {
        ObjectList<char> list;
        for (const char* v = before; *v != 0; ++v) list.InsertAt(*v, list.count);
        if (change == 'i') list.InsertAt(value, index);
        if (change == 'o') list.AddOnce(value);
        const bool found = change != 'r' || list.Remove(value);
        EXPECT_EQ(Contents(list), after) << before << " " << change << value;
        EXPECT_EQ(std::string({list.At(-1), list.At(list.count)}), std::string(2, *after));
        EXPECT_EQ(found, change != 'r' || std::strchr(before, value)) << before << " " << value;
    }
}

// A pass calls those listed when it began that are still listed at their turn: here a
// removes itself and adds d, which waits for the next pass; b removes c before its turn.
TEST(ObjectList, PassesOverASnapshot) {
    ObjectList<char> list;
    for (char value : {'a', 'b', 'c'}) list.AddOnce(value);
    auto pass = [&] {
        std::string called;
        list.ForEachInSnapshot([&](char value) {
            called += value;
            if (value == 'a' && list.Remove('a')) list.AddOnce('d');
            if (value == 'b') list.Remove('c');
        });
        return called;
    };
    EXPECT_EQ(pass(), "ab");
    EXPECT_EQ(pass(), "bd");
}

}  // namespace
