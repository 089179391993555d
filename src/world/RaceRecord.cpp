#include "world/RaceRecord.h"

thread_local TRaceRecord Race;

void ResetDifficulty() {
    Race.OpponentCount = 3;
    Race.PatternLength = 90;
    Race.PatternGapMin = 5;
    Race.PatternGapMax = 10;
    Race.PrizeBase = 500;
    Race.LimitMinutes = 1;
    Race.LimitSeconds = 0;
    Race.LimitHundredths = 0;
    Race.BonusSplitLow = 200;
    Race.BonusSplitHigh = 400;
}

void AdvanceDifficulty(int32_t level) {
    if (Race.OpponentCount < kMaxOpponents) ++Race.OpponentCount;
    if (Race.PatternLength < kMaxPatternLength) Race.PatternLength += 20;
    Race.PrizeBase += 500;
    if (level > 3) {
        if (Race.PatternGapMin > 1) --Race.PatternGapMin;
        if (Race.PatternGapMax > 3) --Race.PatternGapMax;
    } else {
        --Race.PatternGapMin;
    }
    if (Race.BonusSplitLow < 300) ++Race.BonusSplitLow;
    if (Race.BonusSplitHigh < 550) ++Race.BonusSplitHigh;
    Race.LimitSeconds += level > 2 ? 5 : 10 - 2 * level;
    if (Race.LimitSeconds > 60) {
        Race.LimitSeconds = 0;
        ++Race.LimitMinutes;
    }
}

void ResetRaceRecord() {
    Race = TRaceRecord{};
}
