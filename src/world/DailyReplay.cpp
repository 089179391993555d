// The headless replay. The race world lives in per-thread globals (the record, the key tables,
// the generator), so replays on different threads run side by side; the race pictures (only
// their sizes matter without a screen) are read once per data folder, kept and only read.
#include "world/DailyReplay.h"

#include <map>
#include <memory>
#include <mutex>

#include "engine/ImageList.h"
#include "engine/KerbSprite.h"
#include "platform/MessageBox.h"
#include "world/GameTables.h"
#include "world/Globals.h"
#include "world/RaceRecord.h"
#include "world/RaceStep.h"
#include "world/WorldContext.h"
#include "world/WorldHash.h"

namespace {
std::mutex ImagesLock;

// The race list of a data folder, pixels dropped: sprites take their sizes from it, and with
// no screen nothing reads a texel.
TKerbImageList* RaceImagesOf(const std::string& dataDir, std::string& reason) {
    std::lock_guard<std::mutex> hold(ImagesLock);
    static std::map<std::string, std::unique_ptr<TKerbImageList>> lists;
    auto found = lists.find(dataDir);
    if (found != lists.end()) return found->second.get();
    auto list = std::make_unique<TKerbImageList>();
    std::string shown;
    const TMessageHandler old =
        SetMessageHandler([&](const TMessage& m) { shown = m.Text + " " + m.Detail; });
    const bool loaded = list->ImageList.LoadFromFile(dataDir + "/Data/data2.vil");
    SetMessageHandler(old);
    if (!loaded || list->Find("car1") == nullptr) {
        reason = "the race pictures cannot be read from " + dataDir + ": " + shown;
        return nullptr;
    }
    for (const auto& item : list->ImageList.List) {
        item->Picture.Pixels.clear();
        item->Picture.Pixels.shrink_to_fit();
        // Nothing is drawn here, so nothing rests: the stored bytes are not needed either.
        std::string().swap(item->Stored);
    }
    return lists.emplace(dataDir, std::move(list)).first->second.get();
}

// The world's globals for a headless race, and back to empty afterwards.
class TReplayWorld {
public:
    explicit TReplayWorld(TKerbImageList* images) {
        ResetWorldGlobals();
        ResetGameTables();
        ResetRaceRecord();
        FillTrackTable();
        FillCarTable();
        World = TWorldContext{};
        World.Sprites = &Sprites;
        World.RaceImages = images;
        World.MenuImages = images;
        World.Phase = TRacePhase::Racing;
    }
    ~TReplayWorld() {
        Race.PlayerCar = nullptr;
        Race.HeadPiece = nullptr;
        Race.OpponentCars.fill(nullptr);
        Sprites.Clear();
        World = TWorldContext{};
        EndDailyRace();
        ClearKeyTables();
    }
    TReplayWorld(const TReplayWorld&) = delete;
    TReplayWorld& operator=(const TReplayWorld&) = delete;
    uint64_t Hash() const { return WorldHash(Sprites); }

private:
    TKerbSprite Sprites;
};

TReplayResult Unfinished(int32_t frames, std::string reason) {
    TReplayResult r;
    r.Frames = frames;
    r.Reason = std::move(reason);
    return r;
}

// The race and wreck states as the game's screens run them, up to the finish.
TReplayResult Drive(const TKeyLog& log, int32_t maxFrames, const TReplayStepWatch& watch) {
    const int32_t frames = std::min(log.Frames(), maxFrames);
    bool wreck = false;
    int32_t stateFrames = 0;
    for (int32_t frame = 0; frame < frames; ++frame) {
        ApplyKeyBits(log.At(frame));
        const int32_t p = stateFrames;
        World.Phase = wreck ? TRacePhase::Wreck : TRacePhase::Racing;
        if (!(wreck ? WreckWorldFrame() : RaceWorldFrame(p)))
            return Unfinished(frame + 1, "the time ran out");
        if (watch) watch(frame);
        if (Race.RaceFinished != 0) {
            TReplayResult r;
            r.Finished = true;
            r.RaceHundredths = Race.RaceHundredths;
            r.Frames = frame + 1;
            return r;
        }
        if (!wreck) {
            if (p >= 0 && p <= 300) ++stateFrames;
            RecoverPlayer();
            if (Race.PlayerWrecked != 0) {
                wreck = true;
                stateFrames = 0;
                WreckPlayer();
            }
            continue;
        }
        if (p >= 0 && p <= 200) ++stateFrames;
        if (p != 200) continue;
        if (Lives < 2) return Unfinished(frame + 1, "the car was wrecked with no life left");
        RespawnPlayer();
        wreck = false;
        stateFrames = 301;
    }
    return Unfinished(frames, log.Frames() > maxFrames ? "the log is longer than the limit"
                                                       : "the log ends before the finish");
}
}  // namespace

TReplayResult ReplayDailyRace(const TDailyPlan& plan, const TKeyLog& log,
                              const std::string& dataDir, int32_t maxFrames,
                              const TReplayStepWatch& watch) {
    if (plan.Year == 0) return Unfinished(0, "not a date of the daily race");
    std::string reason;
    TKerbImageList* images = RaceImagesOf(dataDir, reason);
    if (images == nullptr) return Unfinished(0, reason);
    TReplayWorld world(images);
    PrepareDailyRace(plan);
    BeginRace();
    if (Race.PlayerCar == nullptr) return Unfinished(0, "the race could not be built");
    TReplayResult result = Drive(log, maxFrames, watch);
    result.EndHash = world.Hash();
    return result;
}
