#include "drill/Progress.h"

#include <algorithm>
#include <climits>
#include <iterator>
#include <optional>

namespace {

// Counts stop at the 32-bit limit instead of wrapping.
std::int32_t AddCounts(std::int32_t a, std::int32_t b) {
    const long long sum = static_cast<long long>(a) + b;
    return sum > INT_MAX ? INT_MAX : static_cast<std::int32_t>(sum);
}

// The records of children not playing just now, kept with what they could not write yet.
ObjectList<Progress*> keptRecords;

}  // namespace

Progress* sharedProgress = nullptr;
std::int32_t progressRefs = 0;

Progress::Progress(std::int32_t number) : child(number), store(number) {
    const std::optional<StoredProgress> stored = store.Read();
    loaded = stored.has_value();
    const StoredProgress shown = stored.value_or(StoredProgress{});
    score = shown.score;
    level = shown.level;
    autoLevel = shown.autoLevel;
    for (int i = 0; i < kLevels; ++i) stats[i] = shown.stats[i];
    bonus = kFullBonus;
}

Progress::~Progress() { recentResults.Clear(); }

void Progress::MergeStored(const StoredProgress& stored) {
    // A reset chosen meanwhile stands: what the record holds now came after it.
    if (!outage.reset) {
        const long long sum = static_cast<long long>(stored.score) + outage.points;
        score = sum > kMaxScore ? kMaxScore : static_cast<std::int32_t>(sum);
        for (int i = 0; i < kLevels; ++i) {
            stats[i].correct = AddCounts(stored.stats[i].correct, outage.results[i].correct);
            stats[i].attempts = AddCounts(stored.stats[i].attempts, outage.results[i].attempts);
        }
    }
    if (!outage.levelChosen && level != stored.level) {
        level = stored.level;
        levelChanged = true;
        recentResults.Clear();
    }
    if (!outage.autoChosen) autoLevel = stored.autoLevel;
    scoreChanged = true;
    if (outage.reset || outage.points != 0) unsaved |= kScore;
    if (outage.reset || std::any_of(std::begin(outage.results), std::end(outage.results),
                                    [](const LevelStatistics& r) { return r.attempts != 0; })) {
        unsaved |= kStat;
    }
    if (outage.levelChosen) unsaved |= kLevel;
    if (outage.autoChosen) unsaved |= kAuto;
    outage = Outage{};
}

void Progress::Save(std::uint8_t values) {
    unsaved |= values;
    if (!loaded) {
        const std::optional<StoredProgress> stored = store.Read();
        if (!stored) return;
        loaded = true;
        unsaved = 0;
        MergeStored(*stored);
    }
    if ((unsaved & kStat) != 0 && store.WriteStatistics(stats)) unsaved &= ~kStat;
    if ((unsaved & kScore) != 0 && store.WriteScore(score)) unsaved &= ~kScore;
    if ((unsaved & kLevel) != 0 && store.WriteLevel(level)) unsaved &= ~kLevel;
    if ((unsaved & kAuto) != 0 && store.WriteAutoLevel(autoLevel)) unsaved &= ~kAuto;
}

void Progress::SavePending() { Save(0); }

void Progress::AddBonusToScore() {
    // The score stops at the largest value that loads back, so no saved score is lost.
    const long long sum = static_cast<long long>(score) + bonus;
    score = sum > kMaxScore ? kMaxScore : static_cast<std::int32_t>(sum);
    if (loaded) {
        bonus = kFullBonus;
        Save(kScore);
        return;
    }
    // Until the stored values can be read, the points wait for the result that follows them,
    // so that the result is counted at the level of the problem it belongs to.
    outage.points += bonus;
    bonus = kFullBonus;
    unsaved |= kScore;
}

void Progress::RecordResult(bool correct) {
    LevelStatistics& record = stats[level - 1];
    // Counts stop at the 32-bit limit instead of wrapping.
    if (record.attempts < INT_MAX) ++record.attempts;
    if (correct && record.correct < record.attempts) ++record.correct;
    if (!loaded) {
        ++outage.results[level - 1].attempts;
        if (correct) ++outage.results[level - 1].correct;
    }
    const std::int32_t levelBefore = level;
    if (autoLevel) {
        recentResults.InsertAt(correct ? 1 : 0, recentResults.count);
        if (recentResults.count >= 5) {
            int correctOfLastFive = 0;
            auto* node = recentResults.tail;
            for (int i = 0; i < 5; ++i, node = node->prev) correctOfLastFive += node->value;
            if (correctOfLastFive >= 4 && level < kLevels) {
                ++level;
                recentResults.Clear();
            } else if (correctOfLastFive <= 1 && level > 1) {
                --level;
                recentResults.Clear();
            }
        }
    }
    Save(level != levelBefore ? kStat | kLevel : kStat);
}

void Progress::SetLevel(int newLevel) {
    // A level outside the table would index past the statistics.
    if (newLevel < 1 || newLevel > kLevels) return;
    if (newLevel != level) {
        levelChanged = true;
        recentResults.Clear();
    }
    level = newLevel;
    if (!loaded) outage.levelChosen = true;
    Save(kLevel);
}

void Progress::ResetStatistics() {
    for (LevelStatistics& record : stats) record = {0, 0};
    score = 0;
    scoreChanged = true;
    if (!loaded) outage = {0, {}, true, outage.levelChosen, outage.autoChosen};
    Save(kStat | kScore);
}

void Progress::SetAutoLevel(bool on) {
    autoLevel = on;
    if (!loaded) outage.autoChosen = true;
    Save(kAuto);
}

float Progress::CorrectRatio(int levelNumber) {
    if (levelNumber < 1 || levelNumber > kLevels) return 0.0f;
    const LevelStatistics& record = stats[levelNumber - 1];
    if (record.attempts == 0) return 0.0f;
    return static_cast<float>(record.correct) / static_cast<float>(record.attempts);
}

std::int32_t Progress::CorrectPercent(int levelNumber) const {
    if (levelNumber < 1 || levelNumber > kLevels) return 0;
    const LevelStatistics& record = stats[levelNumber - 1];
    if (record.attempts <= 0) return 0;
    return static_cast<std::int32_t>(static_cast<long long>(record.correct) * 100 /
                                     record.attempts);
}

Progress* AcquireProgress() {
    ++progressRefs;
    if (sharedProgress == nullptr) sharedProgress = new Progress();
    return sharedProgress;
}

void ReleaseProgress() {
    // An unbalanced release must not drive the count below zero, where the next acquire
    // would no longer keep the record alive.
    if (progressRefs <= 0) return;
    --progressRefs;
    if (progressRefs == 0 && sharedProgress != nullptr) {
        sharedProgress->recentResults.Clear();
        delete sharedProgress;
        sharedProgress = nullptr;
        keptRecords.ForEachInSnapshot([](Progress* record) { delete record; });
        keptRecords.Clear();
    }
}

Progress* SelectChildProgress(std::int32_t child) {
    if (sharedProgress == nullptr || sharedProgress->child == child) return sharedProgress;
    keptRecords.InsertAt(sharedProgress, keptRecords.count);
    Progress* record = nullptr;
    for (auto* node = keptRecords.head; node != nullptr; node = node->next) {
        if (node->value->child == child) record = node->value;
    }
    if (record != nullptr) {
        keptRecords.Remove(record);
        record->SavePending();
    } else {
        record = new Progress(child);
    }
    sharedProgress = record;
    return record;
}

void ForgetChildProgress(std::int32_t child) {
    for (auto* node = keptRecords.head; node != nullptr; node = node->next) {
        if (node->value->child == child) {
            Progress* record = node->value;
            keptRecords.Remove(record);
            delete record;
            return;
        }
    }
}
