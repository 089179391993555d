// The texts of the daily pages for each state of a try and of the table: what the player reads
// after the race (finish, time's up, wreck; the offer, sending, accepted, the service's
// refusal as it stands, unreachable) and on the table page.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/daily/DailyRace.h"

namespace {
std::vector<std::string> Texts(const std::vector<TDailyResultLine>& lines) {
    std::vector<std::string> out;
    for (const auto& l : lines) out.push_back(l.Text);
    return out;
}
}  // namespace

TEST(DailyPages, TheAfterRacePageSaysHowTheTryEndedAndWhereItsSubmissionStands) {
    using S = TDailySubmitState;
    const std::string longRefusal =
        "This race was driven with version 0.9.0; the service checks version 1.0.0. Please "
        "update the game.";
    struct TCase {
        TDailyEnd End;
        S Submit;
        std::string SubmitText;
        bool NewBest;
        std::vector<std::string> Expected;  // after the day's line
        bool Offered;
    };
    const TCase cases[] = {
        {TDailyEnd::Finished,
         S::NotSent,
         "",
         true,
         {"Finish time 1:01:23", "Your best today: 1:01:23 (new best)",
          "Submit this race to the daily table?"},
         true},
        {TDailyEnd::Finished,
         S::Sending,
         "Sending...",
         false,
         {"Finish time 1:01:23", "Your best today: 1:01:23", "Sending..."},
         false},
        {TDailyEnd::Finished,
         S::Accepted,
         "Accepted: 1:01:23, place 4",
         false,
         {"Finish time 1:01:23", "Your best today: 1:01:23", "Accepted: 1:01:23, place 4"},
         false},
        {TDailyEnd::Finished,
         S::Refused,
         "The replay's time differs.",
         false,
         {"Finish time 1:01:23", "Your best today: 1:01:23", "Refused: The replay's time differs."},
         false},
        // A long answer is broken at spaces into lines; the words stay as sent.
        {TDailyEnd::Finished,
         S::Refused,
         longRefusal,
         false,
         {"Finish time 1:01:23", "Your best today: 1:01:23",
          "Refused: This race was driven with version 0.9.0;",
          "the service checks version 1.0.0. Please update", "the game."},
         false},
        // Only an answer longer than the well is cut, and says so.
        {TDailyEnd::Finished,
         S::Refused,
         std::string(60, 'x') + " " + std::string(120, 'y'),
         false,
         {"Finish time 1:01:23", "Your best today: 1:01:23", "Refused:", std::string(50, 'x'),
          std::string(10, 'x') + "..."},
         false},
        // Unreachable: the offer stands, to try again.
        {TDailyEnd::Finished,
         S::Unreachable,
         "The service cannot be reached.",
         false,
         {"Finish time 1:01:23", "Your best today: 1:01:23", "The service cannot be reached."},
         true},
        {TDailyEnd::TimesUp,
         S::NotSent,
         "",
         false,
         {"Time's up!", "Your best today: 1:01:23", "Only a finished race can be submitted."},
         false},
        {TDailyEnd::Wrecked,
         S::NotSent,
         "",
         false,
         {"Wrecked!", "Your best today: 1:01:23", "Only a finished race can be submitted."},
         false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Expected.back());
        TDailyRun d;
        d.Plan = DailyPlanFor(2026, 12, 10);
        d.End = c.End;
        d.Hundredths = 6123;
        d.Submit = c.Submit;
        d.SubmitText = c.SubmitText;
        d.NewBest = c.NewBest;
        d.Best.Record("2026-12-10", "Ann", 6123);
        d.Best.Record("2026-12-10", "Bo", 5000);  // another player's best is not shown
        std::vector<std::string> expected{"Today's challenge: 2026-12-10"};
        expected.insert(expected.end(), c.Expected.begin(), c.Expected.end());
        EXPECT_EQ(Texts(DailyResultLines(d, "Ann")), expected);
        EXPECT_EQ(DailySubmitOffered(d), c.Offered);
    }
}

TEST(DailyPages, TheTablePageWhileAskingAndWithAnEmptyTable) {
    TDailyRun d;
    d.Plan = DailyPlanFor(2026, 12, 10);
    auto texts = [&] {
        std::vector<std::string> out;
        for (const auto& l : DailyTableLines(d, "Ann")) out.push_back(l.Text);
        return out;
    };
    d.Table = TDailyRun::TTableState::Asking;
    EXPECT_EQ(texts(), std::vector<std::string>{"Asking the service..."});
    d.Table = TDailyRun::TTableState::Shown;
    d.TableData.Date = "2026-12-10";
    EXPECT_EQ(texts(), (std::vector<std::string>{"Daily race 2026-12-10", "No times yet today.",
                                                 "You have no time in today's table."}));
    // A place beyond the ten rows still shows as the player's own.
    for (int i = 1; i <= 10; ++i)
        d.TableData.Entries.push_back({i, "P" + std::to_string(i), 5000 + i});
    d.TableData.Own = TDailyPlace{37, "", 9000};
    const auto t = texts();
    EXPECT_EQ(t.size(), 1u + 30u + 1u);
    EXPECT_EQ(t.back(), "Your place: 37  1:30:00");
}
