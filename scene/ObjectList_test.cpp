// The list operations, and notification through a snapshot.
#include "scene/ObjectList.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// The list as a string of its one-byte values, after checking the links both ways.
std::string Contents(const ObjectList<char>& list) {
    std::string forward;
    const ObjectList<char>::Node* last = nullptr;
    for (auto* node = list.head; node != nullptr; node = node->next) {
        EXPECT_EQ(node->prev, last) << "broken prev link";
        forward += node->value;
        last = node;
    }
    EXPECT_EQ(list.tail, last);
    EXPECT_EQ(static_cast<int>(forward.size()), list.count);
    std::string backward;
    for (auto* node = list.tail; node != nullptr; node = node->prev)
        backward.insert(0, 1, node->value);
    EXPECT_EQ(backward, forward);
    return forward;
}

void Fill(ObjectList<char>& list, const std::string& values) {
    for (char value : values) list.InsertAt(value, list.count);
}

TEST(ObjectList, InsertIntoAnEmptyListWithAnyIndex) {
    for (int index : {0, 5, -1}) {
        ObjectList<char> list;
        list.InsertAt('v', index);
        EXPECT_EQ(Contents(list), "v");
        EXPECT_EQ(list.head, list.tail);
    }
}

TEST(ObjectList, InsertAtPositionsAndOutOfRangeIndexesAppend) {
    struct Case {
        int index;
        const char* expected;
    };
    for (Case c :
         {Case{0, "vab"}, Case{1, "avb"}, Case{2, "abv"}, Case{9, "abv"}, Case{-1, "abv"}}) {
        ObjectList<char> list;
        Fill(list, "ab");
        list.InsertAt('v', c.index);
        EXPECT_EQ(Contents(list), c.expected) << "index " << c.index;
    }
}

TEST(ObjectList, AddOnceAppendsOnlyNewValues) {
    ObjectList<char> list;
    Fill(list, "ab");
    list.AddOnce('a');
    EXPECT_EQ(Contents(list), "ab");
    list.AddOnce('c');
    EXPECT_EQ(Contents(list), "abc");
}

TEST(ObjectList, RemoveUnlinksTheOccurrenceNearestTheHead) {
    ObjectList<char> list;
    Fill(list, "abcb");
    EXPECT_FALSE(list.Remove('z'));
    EXPECT_EQ(Contents(list), "abcb");
    EXPECT_TRUE(list.Remove('b'));
    EXPECT_EQ(Contents(list), "acb");
    EXPECT_TRUE(list.Remove('a'));  // the head
    EXPECT_TRUE(list.Remove('b'));  // the tail
    EXPECT_EQ(Contents(list), "c");
    EXPECT_TRUE(list.Remove('c'));  // the only node
    EXPECT_EQ(list.head, nullptr);
    EXPECT_EQ(list.tail, nullptr);
    EXPECT_EQ(list.count, 0);
}

TEST(ObjectList, AtOutOfRangeYieldsTheFirstValueOrTheNullValue) {
    ObjectList<char> list;
    EXPECT_EQ(list.At(0), 0);
    EXPECT_EQ(list.At(-1), 0);
    Fill(list, "abc");
    EXPECT_EQ(list.At(0), 'a');
    EXPECT_EQ(list.At(2), 'c');
    EXPECT_EQ(list.At(-1), 'a');
    EXPECT_EQ(list.At(3), 'a');

    ObjectList<int*> pointers;
    EXPECT_EQ(pointers.At(0), nullptr);
}

// --- Snapshot notification ---------------------------------------------------------------

// A callee of a notification pass, which may change the list while it is being called.
struct Callee {
    char name;
    std::function<void()> action;
};

std::string Notify(ObjectList<Callee*>& list) {
    std::string called;
    list.ForEachInSnapshot([&](Callee* callee) {
        called += callee->name;
        if (callee->action) callee->action();
    });
    return called;
}

TEST(ObjectListSnapshot, AListenerThatRemovesItselfIsCalledOnce) {
    ObjectList<Callee*> list;
    Callee a{'a', nullptr};
    a.action = [&] { list.Remove(&a); };
    list.AddOnce(&a);
    EXPECT_EQ(Notify(list), "a");
    EXPECT_EQ(list.count, 0);
}

TEST(ObjectListSnapshot, RemovingOneselfDoesNotCostALaterListenerItsCall) {
    ObjectList<Callee*> list;
    Callee a{'a', nullptr};
    Callee b{'b', nullptr};
    Callee c{'c', nullptr};
    a.action = [&] { list.Remove(&a); };
    list.AddOnce(&a);
    list.AddOnce(&b);
    list.AddOnce(&c);
    EXPECT_EQ(Notify(list), "abc");
    EXPECT_EQ(Notify(list), "bc");
}

TEST(ObjectListSnapshot, AnEntryRemovedEarlierInThePassIsNotCalled) {
    ObjectList<Callee*> list;
    Callee a{'a', nullptr};
    Callee b{'b', nullptr};
    Callee c{'c', nullptr};
    a.action = [&] { list.Remove(&b); };
    list.AddOnce(&a);
    list.AddOnce(&b);
    list.AddOnce(&c);
    EXPECT_EQ(Notify(list), "ac");
}

TEST(ObjectListSnapshot, AnEntryAddedDuringThePassWaitsForTheNextOne) {
    ObjectList<Callee*> list;
    Callee a{'a', nullptr};
    Callee b{'b', nullptr};
    a.action = [&] { list.AddOnce(&b); };
    list.AddOnce(&a);
    EXPECT_EQ(Notify(list), "a");
    a.action = nullptr;
    EXPECT_EQ(Notify(list), "ab");
}

}  // namespace
