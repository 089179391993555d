// Names with every accented letter the name edit takes, from the game's 8-bit text through the
// real velkaro-scores program and back: the world table's page shows them as they were typed,
// and the day's table comes back to the game as the same 8-bit text.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "common/Version.h"
#include "common/WesternText.h"
#include "harness/DailyRecording.h"
#include "harness/Harness.h"
#include "harness/ServiceProcess.h"
#include "harness/TempFolder.h"
#include "online/OnlineTestUtil.h"
#include "shell/daily/DailyOnline.h"
#include "shell/Globals.h"

namespace {

// The letters with a mark in the Western set (ƒ Š Œ Ž š œ ž Ÿ ª µ º and À..ÿ but × and ÷),
// as names of at most twelve characters.
std::vector<std::string> AccentedNames() {
    std::string letters = "\x83\x8A\x8C\x8E\x9A\x9C\x9E\x9F\xAA\xB5\xBA";
    for (int b = 0xC0; b <= 0xFF; ++b)
        if (b != 0xD7 && b != 0xF7) letters += static_cast<char>(b);
    std::vector<std::string> names;
    for (size_t i = 0; i < letters.size(); i += 12) names.push_back(letters.substr(i, 12));
    return names;
}

std::string GameDir() {
    const char* dir = std::getenv("VELKARO_GAME_DIR");
    return dir != nullptr ? dir : "";
}

std::string Fetch(const std::string& url) {
    auto session = MakeCurlHttpClient()->OpenSession({});
    return session->Get(url).Body;
}

}  // namespace

TEST(AccentedNames, TheWorldTablePageShowsThemAsTyped) {
    ClearProxies();
    TTempFolder folder;
    TServiceProcess service;
    ASSERT_TRUE(service.Start(VELKARO_SCORES_BIN, folder.File("scores.db"), folder.File("log"),
                              {"--rate", "0"}));
    THarness game;
    TMessageCapture messages;
    TOnlineSettings online;
    online.ServerUrl = service.BaseUrl();
    game.Form().Online.Configure(online);

    const std::vector<std::string> names = AccentedNames();
    for (size_t i = 0; i < names.size(); ++i) {
        PlayerName = names[i];
        Score = 1000 + static_cast<int64_t>(i);
        ExtraText = names[i];
        game.Form().SubmitScore();
        ASSERT_TRUE(WaitFor([&] {
            game.RunFrames(1);
            return !game.Form().Online.Busy();
        }));
    }
    EXPECT_EQ(messages.Count(kCantConnectText), 0u);

    const std::string page = Fetch(service.BaseUrl() + "/scores");
    const std::string json = Fetch(service.BaseUrl() + "/scores.json");
    for (const std::string& name : names) {
        const std::string typed = WesternToUtf8(name);
        EXPECT_NE(page.find(typed), std::string::npos) << typed;
        EXPECT_NE(json.find("\"name\":\"" + typed + "\""), std::string::npos) << typed;
    }
}

TEST(AccentedNames, TheDaysTableComesBackToTheGameAsTheSameText) {
    ClearProxies();
    const TDailyRecording race = RecordDailyRace(DailyPlanFor(2026, 12, 9));
    ASSERT_TRUE(race.Finished);
    TTempFolder folder;
    TServiceProcess service;
    ASSERT_TRUE(service.Start(VELKARO_SCORES_BIN, folder.File("scores.db"), folder.File("log"),
                              {"--data", GameDir(), "--rate", "0", "--today", "2026-12-09"}));
    TDailyOnline online;
    online.SetClient(MakeCurlHttpClient());
    // A replay in a sanitizer build of the service takes far longer than in the game's.
    online.SetServer(service.BaseUrl(), {std::chrono::seconds(5), std::chrono::minutes(3)});

    // Upper- and lower-case letters, one submission each: every submission is a replay.
    const std::vector<std::string> names = {"\xC4\xD6\xDC\xC9\xD1\x8A\x8C\x9F",
                                            "\xE4\xF6\xFC\xDF\xE9\xF1\x9A\x9C\xFF"};
    for (const std::string& name : names) {
        ASSERT_TRUE(online.Submit(
            {"2026-12-09", kVelkaroVersion, name, race.RaceHundredths, race.Log.Encode()}));
        std::optional<TDailySubmitAnswer> answer;
        ASSERT_TRUE(WaitFor([&] { return (answer = online.TakeSubmitAnswer()).has_value(); },
                            std::chrono::minutes(3)));
        EXPECT_EQ(answer->Kind, TDailySubmitAnswer::TKind::Accepted) << answer->Message;
    }

    ASSERT_TRUE(online.RequestTable("2026-12-09", names[1]));
    std::optional<TDailyTableAnswer> table;
    ASSERT_TRUE(WaitFor([&] { return (table = online.TakeTableAnswer()).has_value(); }));
    ASSERT_TRUE(table->Reached);
    ASSERT_EQ(table->Table.Entries.size(), 2u);
    // The same time: the first to arrive leads.
    EXPECT_EQ(table->Table.Entries[0].Name, names[0]);
    EXPECT_EQ(table->Table.Entries[1].Name, names[1]);
    ASSERT_TRUE(table->Table.Own.has_value());
    EXPECT_EQ(table->Table.Own->Place, 2);
}
