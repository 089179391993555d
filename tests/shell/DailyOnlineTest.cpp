// The daily race's requests without a network: the submission's form body, reading the
// service's answers, and reading the day's table, whose text comes from the network and so is
// untrusted.
#include <gtest/gtest.h>

#include <string>

#include "shell/daily/DailyOnline.h"
#include "shell/daily/DailyTable.h"

namespace {
// A session that answers every request with one scripted reply and remembers the last one.
class TScriptedSession final : public THttpSession {
public:
    explicit TScriptedSession(THttpReply reply) : Reply(std::move(reply)) {}
    THttpReply Get(const std::string& url) override {
        LastUrl = url;
        return Reply;
    }
    THttpReply Post(const std::string& url, const std::string& body) override {
        LastUrl = url;
        LastBody = body;
        return Reply;
    }
    void Cancel() override {}
    THttpReply Reply;
    std::string LastUrl, LastBody;
};

THttpReply Answer(long status, const std::string& body) {
    THttpReply r;
    r.Status = status;
    r.Ok = status >= 200 && status < 300;
    r.Body = body;
    return r;
}
}  // namespace

TEST(DailyOnline, TheSubmissionIsOneFormBodyWithEveryFieldEncoded) {
    EXPECT_EQ(FormEncode("aZ09-._~"), "aZ09-._~");
    EXPECT_EQ(FormEncode("a b&c=d+e%"), "a%20b%26c%3Dd%2Be%25");
    EXPECT_EQ(FormEncode("Zoë"), "Zo%C3%AB");
    // The name is the game's 8-bit text ("Bö & Cy="); the service reads UTF-8.
    TDailySubmission s{"2026-12-10", "1.0.0", "B\xF6 & Cy=", 6123, "AbC-_x"};
    TScriptedSession http(Answer(200, "OK 6123 4\n"));
    const TDailySubmitAnswer a = RunDailySubmit(http, "http://127.0.0.1:8470/", s);
    EXPECT_EQ(http.LastUrl, "http://127.0.0.1:8470/daily/submit");
    EXPECT_EQ(
        http.LastBody,
        "date=2026-12-10&version=1.0.0&name=B%C3%B6%20%26%20Cy%3D&hundredths=6123&log=AbC-_x");
    EXPECT_EQ(a.Kind, TDailySubmitAnswer::TKind::Accepted);
    EXPECT_EQ(a.Hundredths, 6123);
    EXPECT_EQ(a.Place, 4);
}

TEST(DailyOnline, ReadsTheServicesAnswersAndDistrustsTheRest) {
    using K = TDailySubmitAnswer::TKind;
    struct TCase {
        long Status;
        const char* Body;
        K Kind;
        int32_t Hundredths, Place;
        const char* Message;
    };
    const TCase cases[] = {
        {200, "OK 6123 1", K::Accepted, 6123, 1, ""},
        {200, "OK 6123 12\r\nmore", K::Accepted, 6123, 12, ""},
        {409, "REFUSED The replay finished in 1:02:00, not 1:01:23.", K::Refused, 0, 0,
         "The replay finished in 1:02:00, not 1:01:23."},
        {426,
         "REFUSED This race was driven with version 0.9; the service checks version 1.0.0. "
         "Please update the game.\n",
         K::Refused, 0, 0,
         "This race was driven with version 0.9; the service checks version 1.0.0. Please "
         "update the game."},
        {503, "REFUSED Too many replays; try again in a minute.", K::Refused, 0, 0,
         "Too many replays; try again in a minute."},
        // Anything else leaves the game not knowing what became of the time.
        {200, "OK", K::Unreachable, 0, 0, ""},
        {200, "OK 6123", K::Unreachable, 0, 0, ""},
        {200, "OK -5 1", K::Unreachable, 0, 0, ""},
        {200, "OK 6123 x", K::Unreachable, 0, 0, ""},
        {200, "OK 99999999999 1", K::Unreachable, 0, 0, ""},
        {200, "REFUSED but with a 200", K::Unreachable, 0, 0, ""},
        {409, "OK 6123 1", K::Unreachable, 0, 0, ""},
        {500, "<html>Internal error</html>", K::Unreachable, 0, 0, ""},
        {0, "", K::Unreachable, 0, 0, ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.Status) + " " + c.Body);
        const TDailySubmitAnswer a = ReadSubmitAnswer(Answer(c.Status, c.Body));
        EXPECT_EQ(a.Kind, c.Kind);
        EXPECT_EQ(a.Hundredths, c.Hundredths);
        EXPECT_EQ(a.Place, c.Place);
        EXPECT_EQ(a.Message, c.Message);
    }
}

TEST(DailyOnline, AMalformedServiceAddressSendsNothing) {
    TScriptedSession http(Answer(200, "OK 1 1"));
    EXPECT_EQ(RunDailySubmit(http, "ftp://127.0.0.1/", {}).Kind,
              TDailySubmitAnswer::TKind::Unreachable);
    EXPECT_FALSE(RunDailyTable(http, "not an address", "2026-12-10", "Anna").Reached);
    EXPECT_EQ(http.LastUrl, "");
}

TEST(DailyOnline, ReadsTheDaysTable) {
    const auto t = ParseDailyTable(
        R"({"date":"2026-12-10","entries":[{"place":1,"name":"Anna","hundredths":5500},)"
        R"( {"hundredths":6000,"name":"Zo\u00eb \"Z\"","place":2,"extra":[1,{"a":null}]}],)"
        R"("own":{"place":2,"hundredths":6000},"generated":"now"})");
    ASSERT_TRUE(t.has_value());
    EXPECT_EQ(t->Date, "2026-12-10");
    ASSERT_EQ(t->Entries.size(), 2u);
    EXPECT_EQ(t->Entries[0].Place, 1);
    EXPECT_EQ(t->Entries[0].Name, "Anna");
    EXPECT_EQ(t->Entries[0].Hundredths, 5500);
    EXPECT_EQ(t->Entries[1].Name, "Zo\xEB \"Z\"");  // read back as the game's 8-bit text
    ASSERT_TRUE(t->Own.has_value());
    EXPECT_EQ(t->Own->Place, 2);
    EXPECT_EQ(t->Own->Hundredths, 6000);

    const auto empty = ParseDailyTable(R"( {"date":"2026-12-10","entries":[]} )");
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->Entries.empty());
    EXPECT_FALSE(empty->Own.has_value());
    const auto nullOwn = ParseDailyTable(R"({"date":"2026-12-10","entries":[],"own":null})");
    ASSERT_TRUE(nullOwn.has_value());
    EXPECT_FALSE(nullOwn->Own.has_value());
}

TEST(DailyOnline, ATableInAnyOtherShapeIsNoTable) {
    const char* cases[] = {
        "",
        "null",
        "[]",
        R"({"entries":[]})",                                            // no date
        R"({"date":"2026-12-10"})",                                     // no entries
        R"({"date":"2026-12-10","entries":{}})",                        // entries not a list
        R"({"date":"2026-12-10","entries":[]} trailing)",               // more after the table
        R"({"date":"2026-12-10","entries":[{"place":1,"name":"A"}]})",  // no time
        R"({"date":"2026-12-10","entries":[{"place":0,"name":"A","hundredths":5}]})",
        R"({"date":"2026-12-10","entries":[{"place":1,"name":"A","hundredths":-5}]})",
        R"({"date":"2026-12-10","entries":[{"place":1,"name":"A","hundredths":1.5}]})",
        R"({"date":"2026-12-10","entries":[{"place":1,"name":"A","hundredths":99999999999}]})",
        R"({"date":"2026-12-10","entries":[{"place":1,"name":7,"hundredths":5}]})",
        R"({"date":"2026-12-10","entries":[],"own":{"place":1}})",
        R"({"date":"2026-12-10","entries":[],"own":7})",
        R"({"date":"2026-12-10","entries":[{"place":1,"name":"A","hundredths":5},]})",
        R"({"date":"2026-12-10","entries":[{"place":1,"name":"A\q","hundredths":5}]})",
        R"({"date":"2026-12-10","entries":[{"place":1,"name":"\ud800","hundredths":5}]})",
        R"({"date":"2026-12-10","entries":[{"place":1,"name":"A)",  // cut short
        R"({"date":"2026-12-10","entries":[],"x":[[[[[[[[[[[[[[[[[[[[[[]]]]]]]]]]]]]]]]]]]]]]})",
    };
    for (const char* c : cases) EXPECT_FALSE(ParseDailyTable(c).has_value()) << c;

    // More than a hundred entries is not what the service sends.
    std::string many = R"({"date":"2026-12-10","entries":[)";
    for (int i = 1; i <= 101; ++i)
        many += (i > 1 ? "," : "") + std::string(R"({"place":)") + std::to_string(i) +
                R"(,"name":"n","hundredths":5})";
    EXPECT_FALSE(ParseDailyTable(many + "]}").has_value());
}

TEST(DailyOnline, AskingForTheTableNamesTheDayAndThePlayer) {
    EXPECT_EQ(DailyTableUrl("http://127.0.0.1:8470//", "2026-12-10", "Bo Cy&x"),
              "http://127.0.0.1:8470/daily/2026-12-10.json?name=Bo%20Cy%26x");
    EXPECT_EQ(DailyTableUrl("http://h", "2026-12-10", "M\xFCller"),
              "http://h/daily/2026-12-10.json?name=M%C3%BCller");
    TScriptedSession http(Answer(200, R"({"date":"2026-12-10","entries":[]})"));
    EXPECT_TRUE(RunDailyTable(http, "http://127.0.0.1:1", "2026-12-10", "A").Reached);
    // A table of another day does not answer the question.
    EXPECT_FALSE(RunDailyTable(http, "http://127.0.0.1:1", "2026-12-11", "A").Reached);
    http.Reply = Answer(503, R"({"date":"2026-12-10","entries":[]})");
    EXPECT_FALSE(RunDailyTable(http, "http://127.0.0.1:1", "2026-12-10", "A").Reached);
}

// The ghost's leader request: its address, the day's race read back, "no leader yet" from a
// 404, and every other answer (another day, another shape, an error, no answer) unreachable.
TEST(DailyOnline, AsksForTheDaysLeaderAndReadsOnlyItsOwnShape) {
    using K = TDailyLeaderAnswer::TKind;
    const std::string good =
        R"({"date":"2026-12-10","name":"Zo\u00eb","hundredths":5500,"log":"eNpAb-_"})";
    struct TCase {
        const char* What;
        long Status;
        std::string Body;
        K Kind;
    };
    const TCase cases[] = {
        {"the leader", 200, good, K::Found},
        {"no time yet", 404, R"({"error":"no-leader"})", K::None},
        {"another day", 200, R"({"date":"2026-12-09","name":"Zo","hundredths":5500,"log":"eNp"})",
         K::Unreachable},
        {"no log", 200, R"({"date":"2026-12-10","name":"Zo","hundredths":5500})", K::Unreachable},
        {"empty log", 200, R"({"date":"2026-12-10","name":"Zo","hundredths":5500,"log":""})",
         K::Unreachable},
        {"no name", 200, R"({"date":"2026-12-10","name":"","hundredths":5500,"log":"eNp"})",
         K::Unreachable},
        {"no time", 200, R"({"date":"2026-12-10","name":"Zo","hundredths":0,"log":"eNp"})",
         K::Unreachable},
        {"log too long", 200,
         R"({"date":"2026-12-10","name":"Zo","hundredths":5,"log":")" +
             std::string(kMaxLeaderLogBytes + 1, 'A') + "\"}",
         K::Unreachable},
        {"not JSON", 200, "<html></html>", K::Unreachable},
        {"server error", 500, good, K::Unreachable},
        {"no answer", 0, "", K::Unreachable},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        TScriptedSession http(Answer(c.Status, c.Body));
        const TDailyLeaderAnswer a = RunDailyLeader(http, "http://127.0.0.1:8470/", "2026-12-10");
        EXPECT_EQ(http.LastUrl, "http://127.0.0.1:8470/daily/2026-12-10/leader");
        EXPECT_EQ(a.Kind, c.Kind);
        if (c.Kind == K::Found) {
            EXPECT_EQ(a.Leader.Name, "Zo\xEB");
            EXPECT_EQ(a.Leader.Hundredths, 5500);
            EXPECT_EQ(a.Leader.Log, "eNpAb-_");
        }
    }
    TScriptedSession http(Answer(200, good));
    EXPECT_EQ(RunDailyLeader(http, "not an address", "2026-12-10").Kind, K::Unreachable);
    EXPECT_EQ(http.LastUrl, "");
}
