// Random key presses through whole games: whatever the player does, the game keeps to its
// states and its sprite count stays bounded (the sanitizer build checks memory on the way).
#include <gtest/gtest.h>

#include <set>

#include "harness/Harness.h"
#include "platform/KeyCodes.h"
#include "shell/Globals.h"
#include "world/Random.h"

TEST(Monkey, RandomKeysThroughGamesNeverBreakTheStateMachine) {
    THarness h;
    h.StartRace(4, 9);
    const int32_t keys[] = {vk::Up,   vk::Up,     vk::Up,      vk::Left, vk::Right,
                            vk::Down, vk::Space,  vk::Control, vk::KeyH, vk::KeyP,
                            vk::F1,   vk::Escape, vk::Return};
    // The test's own generator, so the game's sequence is not disturbed.
    TRandom monkey;
    monkey.Seed(77);
    int32_t races = 1;
    std::set<int> visited;
    for (int32_t frame = 0; frame < 12000; ++frame) {
        const int32_t key = keys[monkey.Below(static_cast<int32_t>(std::size(keys)))];
        if (monkey.Below(4) == 0) {
            h.KeyUp(key);
        } else {
            h.KeyDown(key);
        }
        h.RunFrames(1);
        visited.insert(CurrentState);
        ASSERT_FALSE(h.Form().IsClosing());
        // Back in the menus the monkey starts another game.
        if (CurrentState == 4 || CurrentState == 8) {
            h.StartRace(1 + races % 10, 9 + races);
            ++races;
        }
        ASSERT_LT(h.Form().KerbSprite1.Count(), 3000) << "frame " << frame;
    }
    // The monkey got around: racing, paused, in the quit menu.
    EXPECT_TRUE(visited.count(12) && visited.count(20) && visited.count(0));
}
