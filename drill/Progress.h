// The learner's progress: level, score, points on offer, automatic levelling, per-level
// statistics and the recent results that automatic levelling judges. One shared record,
// written through to the current user's registry at every change.
#pragma once

#include <cstdint>

#include "platform/win32.h"
#include "scene/ObjectList.h"

struct LevelStatistics {
    std::int32_t correct;   // problems at this level solved without a wrong tap
    std::int32_t attempts;  // problems completed at this level
};

class Progress {
public:
    static constexpr int kLevels = 12;
    static constexpr std::int32_t kMaxScore = 999999;
    static constexpr std::int32_t kFullBonus = 12;

    Progress();
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

    std::int32_t level = 1;
    LevelStatistics stats[kLevels] = {};
    ObjectList<std::uint8_t> recentResults;  // 1 = correct, 0 = not; oldest at the head
    bool autoLevel = true;
    bool levelChanged = false;
    bool scoreChanged = false;
    std::int32_t score = 0;
    std::int32_t bonus = kFullBonus;

private:
    // The values as the registry holds them (the defaults for those it does not).
    struct Stored {
        std::int32_t score = 0;
        std::int32_t level = 1;
        bool autoLevel = true;
        LevelStatistics stats[kLevels] = {};
    };
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

    // A load that meets a registry that cannot be read (a lock, a full disk) sets readFailed.
    int LoadNumber(LPCWSTR name, int min, int max);
    bool SaveNumber(LPCWSTR name, int value);
    bool SaveStatistics();
    void LoadStatistics(LevelStatistics (&into)[kLevels]);
    // False when the registry could not be read; `stored` then holds the defaults.
    bool ReadStored(Stored& stored);
    // Takes the stored values in at last, with this session's changes on top.
    void MergeStored(const Stored& stored);
    // Writes `values` and every value an earlier save could not write. Nothing is written
    // while the stored values have not been read: defaults must never replace them.
    void Save(std::uint8_t values);

    bool readFailed = false;
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
