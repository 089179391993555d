// The web-page shortcut "play.url": what it may hold, where it is looked for, and that only
// acceptable addresses reach the browser.
#include "shell/WebPage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "harness/Harness.h"
#include "platform/OpenUrl.h"

namespace {

class TUrlCapture {
public:
    TUrlCapture() {
        Old = SetUrlOpener([this](const std::string& url) { Opened.push_back(url); });
    }
    ~TUrlCapture() { SetUrlOpener(std::move(Old)); }
    TUrlCapture(const TUrlCapture&) = delete;
    TUrlCapture& operator=(const TUrlCapture&) = delete;
    std::vector<std::string> Opened;

private:
    TUrlOpener Old;
};

class TFolders {
public:
    TFolders() {
        std::random_device rd;
        Root = std::filesystem::temp_directory_path() /
               ("velkaro-webpage-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(Root / "program");
        std::filesystem::create_directories(Root / "config");
    }
    ~TFolders() {
        std::error_code ec;
        std::filesystem::remove_all(Root, ec);
    }
    std::string Program() const { return (Root / "program").string(); }
    std::string Config() const { return (Root / "config").string(); }
    static void Write(const std::string& folder, const std::string& content) {
        std::ofstream(folder + "/play.url", std::ios::binary) << content;
    }

private:
    std::filesystem::path Root;
};

}  // namespace

TEST(WebPage, ReadsAShortcutOrABareAddressAndOnlyHttpOrHttps) {
    struct Case {
        const char* What;
        std::string Content;
        std::string Address;  // empty: nothing is opened
    };
    const std::vector<Case> cases = {
        {"shortcut", "[InternetShortcut]\r\nURL=http://127.0.0.1:8470/\r\n",
         "http://127.0.0.1:8470/"},
        {"shortcut key in other case", "[InternetShortcut]\nurl=https://127.0.0.1/x?a=1\n",
         "https://127.0.0.1/x?a=1"},
        {"shortcut with other keys", "[InternetShortcut]\nIconIndex=0\nURL= http://127.0.0.1/ \n",
         "http://127.0.0.1/"},
        {"bare address", "http://127.0.0.1:8470/\n", "http://127.0.0.1:8470/"},
        {"bare address with a byte-order mark", "\xEF\xBB\xBFhttp://127.0.0.1/",
         "http://127.0.0.1/"},
        {"scheme in capitals", "HTTP://127.0.0.1/", "HTTP://127.0.0.1/"},
        {"empty", "", ""},
        {"another scheme", "URL=file:///etc/passwd\n", ""},
        {"a program", "/usr/bin/xterm\n", ""},
        {"javascript", "javascript:alert(1)", ""},
        {"shortcut without an address", "[InternetShortcut]\nURL=\n", ""},
        {"two bare lines", "http://127.0.0.1/\nhttp://127.0.0.1/b\n", ""},
        {"space inside", "URL=http://127.0.0.1/a b\n", ""},
        {"control character", "http://127.0.0.1/\x01", ""},
        {"no host", "URL=http:///path\n", ""},
        {"option-like", "URL=--help\n", ""},
    };
    for (const Case& c : cases) {
        const auto address = WebPageAddress(c.Content);
        EXPECT_EQ(address.value_or(""), c.Address) << c.What;
    }
}

TEST(WebPage, LooksBesideTheProgramThenInTheConfigFolder) {
    TFolders folders;
    TUrlCapture urls;
    const std::vector<std::string> both = {folders.Program(), folders.Config()};
    EXPECT_FALSE(OpenWebPage(both));
    TFolders::Write(folders.Config(), "URL=http://127.0.0.1/config\n");
    EXPECT_TRUE(OpenWebPage(both));
    TFolders::Write(folders.Program(), "URL=http://127.0.0.1/program\n");
    EXPECT_TRUE(OpenWebPage(both));
    // A bad file beside the program does not hide a good one in the config folder.
    TFolders::Write(folders.Program(), "URL=ftp://127.0.0.1/\n");
    EXPECT_TRUE(OpenWebPage(both));
    EXPECT_EQ(urls.Opened,
              (std::vector<std::string>{"http://127.0.0.1/config", "http://127.0.0.1/program",
                                        "http://127.0.0.1/config"}));
}

TEST(WebPage, AHugeFileOrAFolderNamedLikeTheShortcutDoesNothing) {
    TFolders folders;
    TUrlCapture urls;
    TFolders::Write(folders.Program(),
                    "URL=http://127.0.0.1/\n" + std::string(kMaxWebPageFileBytes, '\n'));
    std::filesystem::create_directories(folders.Config() + "/play.url");
    EXPECT_FALSE(OpenWebPage({folders.Program(), folders.Config(), ""}));
    EXPECT_TRUE(urls.Opened.empty());
}

TEST(WebPage, TheGameOpensItWhenItEnds) {
    TFolders folders;
    TUrlCapture urls;
    TOnlineSettings settings;
    settings.ConfigDir = folders.Config();
    for (bool shortcut : {false, true}) {
        if (shortcut) TFolders::Write(folders.Config(), "http://127.0.0.1:8470/\n");
        THarness game;
        game.Form().Online.Configure(settings);
        game.Form().FormDestroy();
        // Without a "play.url" nothing happens.
        EXPECT_EQ(urls.Opened.size(), shortcut ? 1u : 0u);
    }
    EXPECT_EQ(urls.Opened, (std::vector<std::string>{"http://127.0.0.1:8470/"}));
}
