// A child's progress: level, score, points on offer, automatic levelling, per-level
// statistics and the recent results that automatic levelling judges. The playing child's
// record is the shared one, written through to the current user's registry at every change.
#pragma once

#include <cstdint>

#include "drill/ProgressStore.h"
#include "platform/win32.h"
#include "scene/ObjectList.h"

class Progress {
public:
    static constexpr int kLevels = kStoredLevels;
    static constexpr std::int32_t kMaxScore = ProgressStore::kMaxScore;
    static constexpr std::int32_t kFullBonus = 12;

    // The first child's record is number 1.
    explicit Progress(std::int32_t child = 1);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    void AddBonusToScore();
    void RecordResult(bool correct);
    void SetLevel(int newLevel);
    void ResetStatistics();
    void SetAutoLevel(bool on);
    float CorrectRatio(int levelNumber);
    // The share of first tries in whole percent, rounded down exactly (a float ratio shows 52
    // for 53 of 100).
    std::int32_t CorrectPercent(int levelNumber) const;
    // Writes what earlier saves could not, once the stored values can be read.
    void SavePending();

    std::int32_t level = 1;
    LevelStatistics stats[kLevels] = {};
    ObjectList<std::uint8_t> recentResults;  // 1 = correct, 0 = not; oldest at the head
    bool autoLevel = true;
    bool levelChanged = false;
    bool scoreChanged = false;
    std::int32_t score = 0;
    std::int32_t bonus = kFullBonus;
    const std::int32_t child;

private:
    // What this session changed while the stored values could not be read: put on top of
    // them once they can, so that neither they nor the session's own progress is lost.
    struct Outage {
        std::int32_t points = 0;
        LevelStatistics results[kLevels] = {};
        bool reset = false;
        bool levelChosen = false;
        bool autoChosen = false;
    };
    enum Value : std::uint8_t { kScore = 1, kLevel = 2, kAuto = 4, kStat = 8 };

    // Takes the stored values in at last, with this session's changes on top.
    void MergeStored(const StoredProgress& stored);
    // Writes `values` and every value an earlier save could not write. Nothing is written
    // while the stored values have not been read: defaults must never replace them.
    void Save(std::uint8_t values);

    ProgressStore store;
    bool loaded = false;
    std::uint8_t unsaved = 0;
    Outage outage;
};

// The shared record and its reference count; the record exists from the first acquire to
// the last release.
extern Progress* sharedProgress;
extern std::int32_t progressRefs;

Progress* AcquireProgress();
void ReleaseProgress();

// Makes the child's record the shared one (while one is acquired). The records of children
// who played before are kept until the last release, with whatever they could not write yet.
Progress* SelectChildProgress(std::int32_t child);
// Drops a removed child's record, writing nothing more.
void ForgetChildProgress(std::int32_t child);
