// The household as stored: who is listed, in which order, with which picture; how a damaged
// list is mended without losing a child; how children are added and removed; and that each
// child's results go to their own values, also across a store that is locked for a while.
#include "drill/ProgressStore.h"

#include <string>
#include <tuple>
#include <vector>

#include "drill/Progress.h"
#include "tests/support/DrillFixture.h"

namespace {

using HouseholdTest = testsupport::DrillFixture;
using testsupport::StoredValues;
using testsupport::WideString;

WideString ChildKey(const WideString& name) {
    return TEXT("Software\\Brindlewick\\Chalkmere\\Children\\") + name;
}

StoredValues ChildValues(std::int32_t number) {
    const std::string digits = std::to_string(number);
    return StoredValues(ChildKey(WideString(digits.begin(), digits.end())).c_str());
}

bool KeyExists(const WideString& path) {
    HKEY key = nullptr;
    const LONG status = RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &key);
    if (status == ERROR_SUCCESS) RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

// "1 owl, 4 fox; last 1; next 5", or "unreadable".
std::string Describe(const std::optional<Household>& household) {
    if (!household) return "unreadable";
    static const char* const names[] = {"none", "owl",    "fox",    "cat",  "frog",
                                        "bear", "rabbit", "turtle", "mouse"};
    std::string text;
    for (const StoredChild& child : household->children) {
        text +=
            (text.empty() ? "" : ", ") + std::to_string(child.number) + " " + names[child.picture];
    }
    return text + "; last " + std::to_string(household->lastChild) + "; next " +
           std::to_string(household->nextChild);
}

// Each row on a registry of its own: the list and the values beside it as stored, the
// children's keys with their pictures ("" for a key without one), and the household read.
TEST_F(HouseholdTest, TheListIsReadInOrderAndMendedWithoutLosingAChild) {
    using Keys = std::vector<std::pair<LPCWSTR, LPCWSTR>>;
    const std::tuple<LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, Keys, const char*> rows[] = {
        // list, first child's picture, lastChild, nextChild, keys under Children
        {nullptr, nullptr, nullptr, nullptr, {}, "1 owl; last 1; next 2"},
        {TEXT("1,2,4"),
         TEXT("5"),
         TEXT("4"),
         TEXT("5"),
         {{TEXT("2"), TEXT("2")}, {TEXT("4"), TEXT("3")}},
         "1 bear, 2 fox, 4 cat; last 4; next 5"},
        // Duplicates count once, in the order first listed; the first child is always first.
        {TEXT("4,1,2,4,2"),
         nullptr,
         nullptr,
         nullptr,
         {{TEXT("2"), TEXT("2")}, {TEXT("4"), TEXT("3")}},
         "1 owl, 4 cat, 2 fox; last 1; next 5"},
        // Numbers without a key, and what is no number, are left out; no number comes twice.
        {TEXT("1,3,x,,-2,2 ,9,2"),
         nullptr,
         TEXT("3"),
         nullptr,
         {{TEXT("2"), TEXT("4")}},
         "1 owl, 2 frog; last 1; next 10"},
        // Keys missing from the list come back at the end; other keys are no children.
        {TEXT("1,5"),
         nullptr,
         nullptr,
         TEXT("40"),
         {{TEXT("5"), TEXT("6")},
          {TEXT("3"), TEXT("7")},
          {TEXT("02"), TEXT("8")},
          {TEXT("x"), TEXT("8")}},
         "1 owl, 5 rabbit, 3 turtle; last 1; next 40"},
        {nullptr,
         nullptr,
         nullptr,
         nullptr,
         {{TEXT("2"), TEXT("2")}},
         "1 owl, 2 fox; last 1; next 3"},
        // More than six are all kept.
        {TEXT("1,2,3,4,5,6,7,8"),
         TEXT("1"),
         nullptr,
         nullptr,
         {{TEXT("2"), TEXT("2")},
          {TEXT("3"), TEXT("3")},
          {TEXT("4"), TEXT("4")},
          {TEXT("5"), TEXT("5")},
          {TEXT("6"), TEXT("6")},
          {TEXT("7"), TEXT("7")},
          {TEXT("8"), TEXT("8")}},
         "1 owl, 2 fox, 3 cat, 4 frog, 5 bear, 6 rabbit, 7 turtle, 8 mouse; last 1; next 9"},
        // A picture missing, unknown or already taken shows the first free one.
        {TEXT("1,2,3,4"),
         TEXT("2"),
         nullptr,
         nullptr,
         {{TEXT("2"), TEXT("2")}, {TEXT("3"), TEXT("9")}, {TEXT("4"), TEXT("")}},
         "1 fox, 2 owl, 3 cat, 4 frog; last 1; next 5"},
    };
    for (const auto& [list, picture, last, next, keys, read] : rows) {
        platform::testing::TemporaryRegistry rowRegistry;
        const std::pair<LPCWSTR, LPCWSTR> values[] = {{TEXT("children"), list},
                                                      {TEXT("picture"), picture},
                                                      {TEXT("lastChild"), last},
                                                      {TEXT("nextChild"), next}};
        for (const auto& [name, text] : values) {
            if (text != nullptr) stored.SetText(name, text);
        }
        for (const auto& [name, childPicture] : keys) {
            StoredValues child(ChildKey(name).c_str());
            if (*childPicture != 0) {
                child.SetText(TEXT("picture"), childPicture);
            } else {
                child.SetText(TEXT("score"), TEXT("0"));
            }
        }
        EXPECT_EQ(Describe(ReadHousehold()), read) << (list != nullptr ? "listed" : "unlisted");
        EXPECT_EQ(stored.Text(TEXT("children")), list != nullptr ? list : TEXT("<missing>"))
            << "reading writes nothing";
    }
    registry.SetAvailable(false);
    EXPECT_EQ(Describe(ReadHousehold()), "unreadable");
}

// Two children added, one removed, one more added: each new key holds the four values at
// their defaults and the picture, the first child's picture is fixed when the second comes,
// a removed child's key goes with everything in it, and its number is never given again.
// While the store cannot be used nothing is added or removed, and nothing is left half made.
TEST_F(HouseholdTest, ChildrenAreAddedAndRemovedWithTheirKeys) {
    stored.SetText(TEXT("score"), TEXT("40"));
    const auto household = [] { return *ReadHousehold(); };
    EXPECT_EQ(StoreNewChild(household(), 3), 2);
    EXPECT_EQ(StoreNewChild(household(), 8), 3);
    EXPECT_EQ(Describe(ReadHousehold()), "1 owl, 2 cat, 3 mouse; last 1; next 4");
    EXPECT_EQ(std::tuple(stored.Text(TEXT("children")), stored.Text(TEXT("picture")),
                         stored.Text(TEXT("score"))),
              std::tuple(WideString(TEXT("1,2,3")), WideString(TEXT("1")), WideString(TEXT("40"))));
    StoredValues second = ChildValues(2);
    EXPECT_EQ(std::tuple(second.Text(TEXT("picture")), second.Text(TEXT("score")),
                         second.Text(TEXT("level")), second.Text(TEXT("auto"))),
              std::tuple(WideString(TEXT("3")), WideString(TEXT("0")), WideString(TEXT("1")),
                         WideString(TEXT("0"))));
    ChildValues(3).SetText(TEXT("score"), TEXT("77"));

    EXPECT_TRUE(StoreRemoval(household(), 2));
    EXPECT_EQ(Describe(ReadHousehold()), "1 owl, 3 mouse; last 1; next 4");
    EXPECT_FALSE(KeyExists(ChildKey(TEXT("2"))));
    EXPECT_EQ(ChildValues(3).Text(TEXT("score")), TEXT("77")) << "the others are untouched";
    EXPECT_EQ(stored.Text(TEXT("children")), TEXT("1,3"));
    EXPECT_FALSE(StoreRemoval(household(), 1)) << "the first child is only ever reset";
    EXPECT_EQ(StoreNewChild(household(), 2), 4);

    const Household before = household();
    registry.SetAvailable(false);
    EXPECT_EQ(StoreNewChild(before, 5), 0);
    EXPECT_FALSE(StoreRemoval(before, 3));
    registry.SetAvailable(true);
    EXPECT_EQ(Describe(ReadHousehold()), "1 owl, 3 mouse, 4 fox; last 1; next 5");
}

// A household of one reads, plays and stores exactly what it always did.
TEST_F(HouseholdTest, OneChildStoresNothingNew) {
    ASSERT_TRUE(ReadHousehold().has_value());
    Progress* record = AcquireProgress();
    record->RecordResult(true);
    EXPECT_EQ(SelectChildProgress(1), record);
    ReleaseProgress();
    for (const LPCWSTR name :
         {TEXT("children"), TEXT("picture"), TEXT("lastChild"), TEXT("nextChild")}) {
        EXPECT_EQ(stored.Text(name), TEXT("<missing>")) << "nothing new is stored";
    }
    EXPECT_FALSE(KeyExists(TEXT("Software\\Brindlewick\\Chalkmere\\Children")));
}

// Results go to the playing child's values alone. A child chosen while the store is locked
// shows the defaults and overwrites nothing; what they played meanwhile is added to their
// stored values once the store can be read, and the child played before keeps what it could
// not write, written when they play again.
TEST_F(HouseholdTest, EachResultGoesToThePlayingChildAlsoAcrossALockedStore) {
    const std::int32_t second = StoreNewChild(*ReadHousehold(), 2);
    ChildValues(second).SetText(TEXT("score"), TEXT("100"));
    ChildValues(second).SetText(TEXT("level"), TEXT("4"));
    Progress* first = AcquireProgress();
    first->AddBonusToScore();
    first->RecordResult(true);

    registry.SetAvailable(false);
    first->AddBonusToScore();
    first->RecordResult(true);  // not written: the first child's score stays 12 for now
    Progress* playing = SelectChildProgress(second);
    EXPECT_EQ(testsupport::Describe(*playing), "level 1, score 0, auto on");
    playing->AddBonusToScore();
    playing->RecordResult(true);
    registry.SetAvailable(true);
    playing->SetAutoLevel(false);  // the next save reads, merges and writes
    EXPECT_EQ(testsupport::Describe(*playing), "level 4, score 112, auto off; 1: 1/1");
    EXPECT_EQ(std::tuple(ChildValues(second).Text(TEXT("score")), stored.Text(TEXT("score"))),
              std::tuple(WideString(TEXT("112")), WideString(TEXT("12"))));

    EXPECT_EQ(SelectChildProgress(1), first);
    EXPECT_EQ(stored.Text(TEXT("score")), TEXT("24")) << "written when the first child plays again";
    std::vector<BYTE> stat;
    DWORD type = REG_NONE;
    ASSERT_EQ(stored.Get(TEXT("stat"), type, stat), ERROR_SUCCESS);
    EXPECT_EQ(stat.at(4), 2) << "two problems at level 1 for the first child";
    ReleaseProgress();
}

}  // namespace
