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

    std::int32_t level = 1;
    LevelStatistics stats[kLevels] = {};
    ObjectList<std::uint8_t> recentResults;  // 1 = correct, 0 = not; oldest at the head
    bool autoLevel = true;
    bool levelChanged = false;
    bool scoreChanged = false;
    std::int32_t score = 0;
    std::int32_t bonus = kFullBonus;

private:
    int LoadNumber(LPCWSTR name, int min, int max);
    void SaveNumber(LPCWSTR name, int value);
    void SaveStatistics();
    void LoadStatistics();
};

// The shared record and its reference count; the record exists from the first acquire to
// the last release.
extern Progress* sharedProgress;
extern std::int32_t progressRefs;

Progress* AcquireProgress();
void ReleaseProgress();
