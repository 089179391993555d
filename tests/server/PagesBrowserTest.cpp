// The service's pages as a browser shows them: the real service with a few scores and daily
// times, opened in headless Chromium at a desktop and a phone width. Screenshots of every page
// go to /tmp/pages-shots/ for a person to look at.
#include <gtest/gtest.h>
#include <httplib.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "harness/ServiceProcess.h"
#include "harness/TempFolder.h"
#include "server/DailyTestUtil.h"
#include "server/HeadlessBrowser.h"
#include "server/SqliteScoreStore.h"

namespace {

constexpr const char* kToday = "2026-12-11";
constexpr int64_t kScoreTime = 1'796'956'328;  // 2026-12-11 02:32:08 UTC
const std::string kLongName = "Wwwwwwwwwwwwwwwwwwwwwwwwwwwwww";

// Scores and daily times written straight into the database the service then opens: the
// daily times would otherwise need a driven race each.
void Seed(const std::string& dbPath) {
    TSqliteScoreStore store(dbPath);
    ASSERT_TRUE(store.Ok()) << store.Error();
    const TScoreRow scores[] = {{"<b>Ann & co", 4200, "a<b", kScoreTime},
                                {"Zoë Ørsted", 3900, "", kScoreTime - 86400 * 38},
                                {kLongName, 100, "", kScoreTime}};
    int token = 0;
    for (const TScoreRow& row : scores) {
        const std::string name = std::to_string(++token) + "-token";
        ASSERT_TRUE(store.AddToken(name, kScoreTime + 3600));
        ASSERT_EQ(store.StoreScore(name, kScoreTime, row), TStoreResult::Stored);
    }
    ASSERT_TRUE(store.StoreDailyTime(kToday, "Zoë", 7728, "", kScoreTime));
    ASSERT_TRUE(store.StoreDailyTime(kToday, "<Dan> & Eve", 8012, "", kScoreTime));
    ASSERT_TRUE(store.StoreDailyTime(kToday, kLongName, 9001, "", kScoreTime));
    ASSERT_TRUE(store.StoreDailyTime("2026-12-10", "Yesterday's best", 7500, "", kScoreTime));
}

class ServicePages : public ::testing::Test {
protected:
    void SetUp() override {
        Seed(Dir / "scores.db");
        if (HasFatalFailure()) return;
        ASSERT_TRUE(Service.Start(VELKARO_SCORES_BIN, Dir / "scores.db", Dir / "log",
                                  {"--today", kToday, "--rate", "0", "--data", GameDir()}));
    }
    std::string Url(const std::string& path) const { return Service.BaseUrl() + path; }
    THeadlessBrowser Browser(int width) const {
        return {FindChromium(), width, width < 600 ? 1800 : 1200, Dir / "chromium"};
    }

    TTempFolder Dir;
    TServiceProcess Service;
};

bool GameHasFont() {
    return std::filesystem::exists(GameDir() + "/Fonts/michroma-latin-400-normal.woff");
}

// What each page must show: escaped markup as text (the DOM serialises "<" in text as "&lt;"),
// and what must not be there.
struct TPageCase {
    std::string Path;
    std::vector<std::string> Shown;
    std::vector<std::string> Absent;
};

const std::vector<TPageCase>& PageCases() {
    static const std::vector<TPageCase> cases = {
        {"/",
         {"Daily race 2026-12-11", "<td>Zoë</td><td class=\"n\">1:17.28</td>",
          "<td>&lt;Dan&gt; &amp; Eve</td>", "verified by replay", "<td>&lt;b&gt;Ann &amp; co</td>",
          "href=\"/daily/2026-12-11\"", "href=\"/scores\""},
         {"<b>Ann", "<tr class=\"own\">"}},
        {"/scores",
         {"<td>&lt;b&gt;Ann &amp; co</td>", "<td>a&lt;b</td>", "<td>Zoë Ørsted</td>", "11 Dec 2026",
          "3 Nov 2026", "<th>Note</th>", "as the games sent them"},
         {"T02:32:08Z"}},
        {"/daily/2026-12-11?name=Zo%C3%AB",
         {"<tr class=\"own\"><td class=\"n\">1</td><td>Zoë</td>",
          "rel=\"prev\" href=\"/daily/2026-12-10\"",
          "<td>Yesterday's best</td><td class=\"n\">1:15.00</td>",
          "<td>&lt;Dan&gt; &amp; Eve</td>"},
         {"rel=\"next\""}},
        {"/daily/2026-12-10",
         {"rel=\"next\" href=\"/daily/2026-12-11\"", "rel=\"prev\" href=\"/daily/2026-12-09\"",
          "Last 30 days", "no times"},
         {"<tr class=\"own\">"}},
    };
    return cases;
}

std::string ShotName(const std::string& path, int width) {
    std::string name = path == "/" ? "home" : path.substr(1);
    name = name.substr(0, name.find('?'));
    for (char& c : name)
        if (c == '/') c = '-';
    return "/tmp/pages-shots/" + name + "-" + std::to_string(width) + ".png";
}

// The page's HTML with a base address, laid out `width` pixels wide, and a check run once the
// page and its fonts have loaded that appends the right edge of the widest element, the
// page's width, the icon's drawn width, whether the game's typeface loaded and the body's
// background (which shows the stylesheet applied). Headless Chromium opens no window narrower
// than 500 pixels, so a phone's width is set on the page itself.
std::string MeasuringCopy(const std::string& html, const std::string& base, int width) {
    std::string copy = html;
    copy.insert(copy.find("<head>") + 6, "<base href=\"" + base + "/\">");
    copy.insert(copy.find("</head>"), "<style>html{width:" + std::to_string(width) + "px}</style>");
    copy.insert(
        copy.rfind("</body>"),
        "<script>addEventListener('load',()=>document.fonts.ready.then(()=>{let r=0;for(const e "
        "of document.querySelectorAll('body *'))r=Math.max(r,e.getBoundingClientRect().right);"
        "const f=[...document.fonts].some(x=>x.family.includes('Velkaro Wide')&&"
        "x.status==='loaded');"
        "const o=document.createElement('output');o.id='measured';o.hidden=true;"
        "o.textContent=Math.ceil(r)+' '+document.documentElement.getBoundingClientRect().width+' '+"
        "document.querySelector('.brand img').naturalWidth+' '+f+' '+"
        "getComputedStyle(document.body).backgroundColor;document.body.append(o)}))"
        "</script>");
    return copy;
}

}  // namespace

TEST_F(ServicePages, CachingHeadersSuitHowOftenEachPageChanges) {
    struct TCase {
        std::string Path, CacheControl, Type;
    };
    const TCase cases[] = {
        {"/", "no-cache", "text/html; charset=utf-8"},
        {"/scores", "no-cache", "text/html; charset=utf-8"},
        {"/daily", "no-cache", "text/html; charset=utf-8"},
        {"/daily/2026-12-11", "no-cache", "text/html; charset=utf-8"},
        {"/daily/2026-12-10", "no-cache", "text/html; charset=utf-8"},  // late times may come
        {"/daily/2026-12-09", "public, max-age=86400", "text/html; charset=utf-8"},
        {"/style.css", "public, max-age=3600", "text/css; charset=utf-8"},
        // The game's icon and typeface, from its data folder.
        {"/icon.png", "public, max-age=86400", "image/png"},
        {"/favicon.ico", "public, max-age=86400", "image/png"},
    };
    httplib::Client client("127.0.0.1", Service.Port());
    for (const TCase& c : cases) {
        const auto reply = client.Get(c.Path);
        ASSERT_TRUE(reply) << c.Path;
        EXPECT_EQ(reply->status, 200) << c.Path;
        EXPECT_EQ(reply->get_header_value("Cache-Control"), c.CacheControl) << c.Path;
        EXPECT_EQ(reply->get_header_value("Content-Type"), c.Type) << c.Path;
    }
    const auto font = client.Get("/font.woff");
    ASSERT_TRUE(font);
    EXPECT_EQ(font->status, GameHasFont() ? 200 : 404);
    if (GameHasFont()) {
        EXPECT_EQ(font->get_header_value("Content-Type"), "font/woff");
    }
    // The JSON the game reads is untouched by the pages.
    const auto json = client.Get("/daily/2026-12-11.json?name=Zo%C3%AB");
    ASSERT_TRUE(json);
    EXPECT_NE(json->body.find("\"own\":{\"place\":1,\"hundredths\":7728}"), std::string::npos);
}

TEST_F(ServicePages, PagesShowTheirTablesAsTypedAndTheirLinksLead) {
    if (FindChromium().empty()) GTEST_SKIP() << "chromium is not installed";
    httplib::Client client("127.0.0.1", Service.Port());
    std::set<std::string> links;
    for (const TPageCase& page : PageCases()) {
        const auto dom = Browser(1000).DumpDom(Url(page.Path));
        ASSERT_TRUE(dom) << page.Path;
        EXPECT_NE(dom->find("<table>"), std::string::npos) << page.Path;
        for (const std::string& shown : page.Shown)
            EXPECT_NE(dom->find(shown), std::string::npos) << page.Path << " lacks " << shown;
        for (const std::string& absent : page.Absent)
            EXPECT_EQ(dom->find(absent), std::string::npos) << page.Path << " has " << absent;
        const std::regex href("href=\"(/[^\"]*)\"");
        for (auto it = std::sregex_iterator(dom->begin(), dom->end(), href);
             it != std::sregex_iterator(); ++it)
            links.insert((*it)[1].str());
    }
    EXPECT_GE(links.size(), 30u);  // the bar, both tables and the last 30 days
    for (const std::string& link : links) {
        const auto reply = client.Get(link);
        ASSERT_TRUE(reply) << link;
        EXPECT_EQ(reply->status, 200) << link;
    }
}

TEST_F(ServicePages, NothingOverflowsAPhoneOrDesktopWindow) {
    if (FindChromium().empty()) GTEST_SKIP() << "chromium is not installed";
    std::filesystem::create_directories("/tmp/pages-shots");
    httplib::Client client("127.0.0.1", Service.Port());
    for (const TPageCase& page : PageCases()) {
        const auto reply = client.Get(page.Path);
        ASSERT_TRUE(reply) << page.Path;
        for (int width : {1000, 360}) {
            const std::string copy = Dir / ("measured-" + std::to_string(width) + ".html");
            std::ofstream(copy) << MeasuringCopy(reply->body, Service.BaseUrl(), width);
            const THeadlessBrowser browser = Browser(width);
            const auto dom = browser.DumpDom("file://" + copy);
            ASSERT_TRUE(dom) << page.Path;
            std::smatch m;
            ASSERT_TRUE(std::regex_search(
                *dom, m,
                std::regex("<output id=\"measured\"[^>]*>(\\d+) (\\d+) (\\d+) (\\w+) ([^<]*)<")))
                << page.Path;
            EXPECT_EQ(m[5].str(), "rgb(28, 30, 34)") << page.Path << ": no stylesheet";
            EXPECT_EQ(m[3].str(), "64") << page.Path << ": the icon did not load";
            // The typeface comes from npm at set-up; a build without it draws with the system's.
            if (GameHasFont()) {
                EXPECT_EQ(m[4].str(), "true") << page.Path << ": the game's typeface did not load";
            }
            EXPECT_EQ(std::stoi(m[2].str()), width) << page.Path;
            EXPECT_LE(std::stoi(m[1].str()), width) << page.Path << " overflows at " << width;
            EXPECT_TRUE(browser.Screenshot("file://" + copy, ShotName(page.Path, width)));
        }
    }
}
