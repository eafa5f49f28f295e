// Where the children's progress is kept, in the current user's registry. The one description
// of the stored layout (numbers are decimal text, REG_SZ with its terminator):
//
//   Software\Brindlewick\Chalkmere               the first child, and the household
//     score      0..999999
//     level      1..12
//     auto       "0" while automatic levelling is on, "1" while it is off
//     stat       REG_BINARY, 96 bytes: for levels 1 to 12 in turn the problems solved at the
//                first try, then the problems completed, each a little-endian 32-bit integer
//     picture    the first child's picture, 1..8
//     children   the children's numbers in the order they were added, the first child's
//                first: "1,2,4"
//     lastChild  the child chosen last
//     nextChild  the number the next child gets, so that no number is given twice
//   Software\Brindlewick\Chalkmere\Children\<n>  each further child, n = 2, 3, ...
//     score, level, auto, stat, picture   as above
//
// A household that never had a second child stores the first four values only. A value of
// the wrong type, unterminated, too long or out of range reads as its default, never clamped;
// a store that cannot be read at all yields nothing, so that defaults never replace values.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/win32.h"

inline constexpr int kStoredLevels = 12;

struct LevelStatistics {
    std::int32_t correct;   // problems at this level solved without a wrong tap
    std::int32_t attempts;  // problems completed at this level
};

struct StoredProgress {
    std::int32_t score = 0;
    std::int32_t level = 1;
    bool autoLevel = true;
    LevelStatistics stats[kStoredLevels] = {};
};

// One child's four values; the first child is number 1.
class ProgressStore {
public:
    static constexpr std::int32_t kMaxScore = 999999;

    explicit ProgressStore(std::int32_t child) : child_(child) {}

    std::optional<StoredProgress> Read() const;
    bool WriteScore(std::int32_t score) const;
    bool WriteLevel(std::int32_t level) const;
    bool WriteAutoLevel(bool on) const;
    bool WriteStatistics(const LevelStatistics (&stats)[kStoredLevels]) const;

private:
    bool WriteNumber(LPCWSTR name, std::int32_t value) const;

    std::int32_t child_;
};

struct StoredChild {
    std::int32_t number;
    std::int32_t picture;  // 1..kPictures; 0 once every picture is taken
};

struct Household {
    static constexpr std::int32_t kPictures = 8;

    std::vector<StoredChild> children;  // the first child first, then in the order added
    std::int32_t lastChild = 1;
    std::int32_t nextChild = 2;
    bool firstPictureStored = false;

    std::int32_t PictureOf(std::int32_t number) const;
    bool PictureTaken(std::int32_t picture) const;
    bool Has(std::int32_t number) const;
};

// The children as stored. A listed number whose key is gone is left out; a child's key
// missing from the list is added at the end; a picture missing, unknown or already taken is
// replaced by the first free one (for showing; nothing is written).
std::optional<Household> ReadHousehold();
// Stores a new child with `picture`: its key and values first and its listing last, so that
// a child whose listing failed is still found. The child's number; 0 when not stored.
std::int32_t StoreNewChild(const Household& household, std::int32_t picture);
// Deletes the child's key, then lists the others; false while the key is still there.
bool StoreRemoval(const Household& household, std::int32_t number);
bool StoreLastChild(std::int32_t number);
