// Where the menus put things, measured against the page pictures: every text a page prints
// lands inside one of the plates and wells its picture draws for texts, the buttons that slide
// in come to rest in their bays, and the options' volume bar shows the volume. The frames and
// bays are those tools/assetgen draws, in screen pixels. Pages are drawn in a window on SDL's
// dummy driver and read back.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "harness/Harness.h"
#include "harness/MenuDriver.h"
#include "platform/KeyCodes.h"
#include "shell/Globals.h"
#include "shell/screens/MenuPage.h"
#include "world/Player.h"
#include "world/RaceRecord.h"

namespace {
struct TBox {
    int32_t X, Y, W, H;
    bool Holds(const TBox& r) const {
        return r.X >= X && r.Y >= Y && r.X + r.W <= X + W && r.Y + r.H <= Y + H;
    }
    // The box grown by d pixels on every side.
    TBox Grown(int32_t d) const { return {X - d, Y - d, W + 2 * d, H + 2 * d}; }
};

std::string Describe(const TBox& r) {
    return "(" + std::to_string(r.X) + ", " + std::to_string(r.Y) + ") " + std::to_string(r.W) +
           " x " + std::to_string(r.H);
}

// A game with a window, at the main menu with one player.
struct TWindowGame {
    THarness H{{.WithWindow = true}};
    TWindowGame() {
        EXPECT_NE(H.PlatformWindow(), nullptr);
        EXPECT_TRUE(RunUntilState(H, st::FirstPlayer, 600));
        TypeText(H, "Ann");
        H.Tap(vk::Return);
        EXPECT_EQ(CurrentState, st::MainMenu);
    }
    void Click(const std::string& button) {
        ASSERT_TRUE(ClickButton(H, button)) << button << " on state " << int(CurrentState);
    }
};

// The screen as drawn so far, 800 x 600 ARGB.
std::vector<uint32_t> Screen(THarness& h) {
    std::vector<uint32_t> pixels;
    int32_t w = 0, ht = 0;
    EXPECT_TRUE(h.Form().KerbScreen1.ReadPixels(pixels, w, ht));
    EXPECT_EQ(w, 800);
    EXPECT_EQ(ht, 600);
    pixels.resize(800 * 600);
    return pixels;
}

struct TDrawnText {
    TKerbFont* Font;
    int32_t X, Y;
    std::string Text;
};

// Every text the next frame prints with the three menu fonts.
std::vector<TDrawnText> TextsOfAFrame(THarness& h) {
    std::vector<TDrawnText> drawn;
    TForm1& f = h.Form();
    TKerbFont* fonts[] = {&f.KerbFont1, &f.KerbFont2, &f.KerbFont3};
    for (TKerbFont* font : fonts)
        font->OnTextOut = [&drawn, font](int32_t x, int32_t y, const std::string& text) {
            drawn.push_back({font, x, y, text});
        };
    h.RunFrames(1);
    for (TKerbFont* font : fonts) font->OnTextOut = nullptr;
    return drawn;
}

// The box of the text's ink: the text drawn alone, white on black, where the page drew it.
TBox InkBox(THarness& h, const TDrawnText& t) {
    TKerbScreen& screen = h.Form().KerbScreen1;
    screen.Clear(0, 0, 0, 255);
    screen.BeginScene();
    t.Font->TextOutColor(t.X, t.Y, 255, 255, 255, 255, t.Text);
    const std::vector<uint32_t> pixels = Screen(h);
    screen.EndScene();
    int32_t left = 800, top = 600, right = -1, bottom = -1;
    for (int32_t y = 0; y < 600; ++y)
        for (int32_t x = 0; x < 800; ++x) {
            const uint32_t p = pixels[static_cast<size_t>(y) * 800 + static_cast<size_t>(x)];
            // Faint edge pixels of the smoothing do not count as ink.
            if (((p >> 16) & 0xFF) < 96) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    if (right < 0) return {t.X, t.Y, 0, 0};
    return {left, top, right - left + 1, bottom - top + 1};
}

std::vector<TBox> Rows(TBox first, int32_t step, int32_t count) {
    std::vector<TBox> rows;
    for (int32_t i = 0; i < count; ++i)
        rows.push_back({first.X, first.Y + step * i, first.W, first.H});
    return rows;
}

std::vector<TBox> Joined(std::vector<std::vector<TBox>> parts) {
    std::vector<TBox> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// The track page's information rows: a dark label plate from x 325 to just past the label's
// end, the value's light plate from there to x 565.
std::vector<TBox> TrackInfoPlates() {
    struct TRow {
        int32_t Top, LabelEnd;
    };
    std::vector<TBox> plates;
    for (const TRow r : {TRow{385, 449}, TRow{425, 418}, TRow{463, 393}, TRow{501, 465}}) {
        plates.push_back({325, r.Top - 2, r.LabelEnd + 3 - 325, 28});
        plates.push_back({r.LabelEnd + 5, r.Top - 2, 565 - r.LabelEnd - 5, 28});
    }
    return plates;
}

// A race won, its results revealed on the race-over page.
void ToRaceOver(TWindowGame& g) {
    g.H.StartRace(1, 5);
    g.H.RunFrames(260);
    Race.FinishPlace = 2;
    Race.RaceFinished = 1;
    Race.PlayerCar->InRace = false;
    PhaseCounter = 0;
    g.H.RunFrames(151);
    ASSERT_EQ(CurrentState, st::RaceOver);
    // The four results are out by frame 280; the prize is counted into the score after 350.
    g.H.RunFrames(230);
}

// A race whose time ran out, on the score page (the score shows after 100 frames).
void ToYourScore(TWindowGame& g) {
    g.H.StartRace(1, 5);
    g.H.RunFrames(260);
    Race.ClockMinutes = Race.ClockSeconds = Race.ClockHundredths = 0;
    g.H.Clock().AdvanceMs(10);
    g.H.Form().RaceTimer.RunDue();
    g.H.RunFrames(200);
    ASSERT_EQ(CurrentState, st::YourScore);
    g.H.RunFrames(50);
}

struct TPageFrames {
    const char* Page;
    std::function<void(TWindowGame&)> Open;
    std::vector<TBox> Frames;
};
}  // namespace

TEST(MenuLayout, EveryTextLandsInsideAFrameOfItsPage) {
    const std::vector<TPageFrames> pages = {
        // The greeting's light plate under the headlamps.
        {"main menu", [](TWindowGame&) {}, {{215, 522, 370, 31}}},
        {"high scores", [](TWindowGame& g) { g.Click("b_hiscr"); }, {{204, 264, 392, 148}}},
        {"change player", [](TWindowGame& g) { g.Click("b_presshere"); }, {{244, 240, 322, 174}}},
        {"delete player",
         [](TWindowGame& g) {
             g.Click("b_presshere");
             g.Click("b_delete");
         },
         {{232, 254, 370, 38}}},
        // The name's plate at the top, and the information rows.
        {"choose track",
         [](TWindowGame& g) {
             g.Click("b_stgame");
             g.H.Tap(vk::Escape);
         },
         Joined({{{289, 62, 260, 44}}, TrackInfoPlates()})},
        // The car's name goes between the title strip (to y 194) and the car's frame (from
        // y 222).
        {"choose car", [](TWindowGame& g) { g.Click("b_stgame"); }, {{182, 194, 436, 28}}},
        // The day's line in its well; the car's name between it and the car's frame; the
        // ghost's choice and its note left of the car's frame.
        {"daily preview",
         [](TWindowGame& g) { g.Click("b_daily"); },
         {{220, 158, 360, 24}, {182, 182, 436, 40}, {190, 240, 164, 24}, {190, 270, 164, 46}}},
        // Each row button in three columns (the action, its key, its button), and the hint
        // between the rows' field and the buttons' bays.
        {"controls",
         [](TWindowGame& g) {
             g.Click("b_opt");
             g.Click("b_controls");
         },
         Joined({Rows({172, 166, 178, 26}, 30, 8),
                 Rows({350, 166, 140, 26}, 30, 8),
                 Rows({490, 166, 138, 26}, 30, 8),
                 {{172, 408, 456, 35}}})},
        // The blank key caps of the first page, keys and pad buttons.
        {"help", [](TWindowGame& g) { g.Click("b_help"); },
         Joined({Rows({332, 222, 128, 18}, 22, 8), Rows({468, 222, 136, 18}, 22, 8)})},
        // The four result plates.
        {"race over",
         ToRaceOver,
         {{466, 280, 132, 26}, {466, 310, 132, 26}, {466, 339, 132, 26}, {466, 368, 132, 26}}},
        {"your score", ToYourScore, {{278, 275, 240, 46}}},
    };
    for (const TPageFrames& page : pages) {
        SCOPED_TRACE(page.Page);
        TWindowGame g;
        page.Open(g);
        if (::testing::Test::HasFatalFailure()) continue;
        g.H.RunFrames(60);
        const std::vector<TDrawnText> texts = TextsOfAFrame(g.H);
        ASSERT_FALSE(texts.empty());
        std::vector<bool> used(page.Frames.size(), false);
        for (const TDrawnText& t : texts) {
            const TBox ink = InkBox(g.H, t);
            EXPECT_GT(ink.W, 0) << t.Text;
            const auto frame = std::find_if(page.Frames.begin(), page.Frames.end(),
                                            [&](const TBox& f) { return f.Holds(ink); });
            EXPECT_TRUE(frame != page.Frames.end())
                << "\"" << t.Text << "\" at " << Describe(ink) << " is in no frame";
            if (frame != page.Frames.end())
                used[static_cast<size_t>(frame - page.Frames.begin())] = true;
        }
        // Every frame is there for a text.
        for (size_t i = 0; i < used.size(); ++i)
            EXPECT_TRUE(used[i]) << "nothing printed in " << Describe(page.Frames[i]);
    }
}

namespace {
struct TBay {
    const char* Button;
    TBox Box;
};

struct TSlidingPage {
    const char* Page;
    const char* OpenButton;
    std::vector<TBay> Bays;
};
}  // namespace

// The page pictures leave a dark bay, 3 pixels wider than the button all round, where each
// button belongs; the buttons slide in from off the page and must come to rest in them.
TEST(MenuLayout, SlidingButtonsComeToRestInTheirBays) {
    const std::vector<TSlidingPage> pages = {
        {"choose car",
         "b_stgame",
         {{"bc_next", {210, 240, 70, 24}},
          {"bc_prev", {520, 240, 70, 24}},
          {"b_back", {282, 443, 92, 28}},
          {"bc_race", {425, 443, 94, 28}}}},
        {"choose track",
         nullptr,
         {{"bc_next", {380, 131, 70, 24}},
          {"bc_prev", {234, 323, 70, 24}},
          {"b_back", {9, 524, 92, 28}},
          {"bc_race", {642, 524, 94, 28}}}},
        {"exit question",
         "b_exit",
         {{"b_yes", {278, 404, 100, 28}}, {"b_no", {422, 404, 100, 28}}}},
    };
    for (const TSlidingPage& page : pages) {
        SCOPED_TRACE(page.Page);
        TWindowGame g;
        if (page.OpenButton != nullptr) {
            g.Click(page.OpenButton);
        } else {
            g.Click("b_stgame");
            g.H.Tap(vk::Escape);
            ASSERT_EQ(CurrentState, st::ChooseTrack);
        }
        g.H.RunFrames(60);
        std::vector<TBox> rest;
        for (const TBay& bay : page.Bays) {
            const TMenuButton* b = PageButton(g.H, bay.Button);
            ASSERT_NE(b, nullptr) << bay.Button;
            const TBox box{b->X, b->Y, b->Width, b->Height};
            EXPECT_TRUE(bay.Box.Grown(3).Holds(box))
                << bay.Button << " at " << Describe(box) << ", its bay at " << Describe(bay.Box);
            rest.push_back(box);
        }
        // At rest: later frames leave them there.
        g.H.RunFrames(30);
        for (size_t i = 0; i < page.Bays.size(); ++i) {
            const TMenuButton* b = PageButton(g.H, page.Bays[i].Button);
            EXPECT_EQ(b->X, rest[i].X) << page.Bays[i].Button;
            EXPECT_EQ(b->Y, rest[i].Y) << page.Bays[i].Button;
        }
    }
}

namespace {
// How much of the options' volume well (x 486..605, y 328..347) the bar's orange fill covers:
// the columns with an orange pixel. The number printed over it is white.
int32_t FilledColumns(THarness& h) {
    // The mouse cursor, drawn over everything, goes out of the way.
    h.MouseMove(0, 0);
    h.RunFrames(1);
    const std::vector<uint32_t> pixels = Screen(h);
    int32_t filled = 0;
    for (int32_t x = 486; x < 486 + 120; ++x) {
        bool orange = false;
        for (int32_t y = 328; y < 328 + 20 && !orange; ++y) {
            const uint32_t p = pixels[static_cast<size_t>(y) * 800 + static_cast<size_t>(x)];
            const int32_t r = static_cast<int32_t>((p >> 16) & 0xFF),
                          b = static_cast<int32_t>(p & 0xFF);
            orange = r > 120 && r > b + 60;
        }
        if (orange) ++filled;
    }
    return filled;
}
}  // namespace

// The volume's steps, by the two arrow buttons and by a click on the bar: the bar shows the
// step and the sound effects follow it, louder step by step, stopping at both ends.
TEST(MenuLayout, TheVolumeBarShowsTheStepAndTheEffectsFollowIt) {
    TWindowGame g;
    g.Click("b_opt");
    ASSERT_EQ(CurrentState, st::Options);
    const auto effects = [&] { return g.H.Form().Sound3D.SoundList[0].Volume; };
    for (int i = 0; i < 6; ++i) g.Click("b_menuleft");
    EXPECT_EQ(Volume, 0);
    EXPECT_EQ(FilledColumns(g.H), 0);
    int32_t lastFill = 0, lastEffects = effects();
    for (int32_t step = 1; step <= 5; ++step) {
        SCOPED_TRACE(step);
        g.Click("b_menuright");
        EXPECT_EQ(Volume, step);
        const int32_t fill = FilledColumns(g.H);
        EXPECT_GT(fill, lastFill);
        EXPECT_GT(effects(), lastEffects);
        lastFill = fill;
        lastEffects = effects();
    }
    // At the top the fill spans the well, and a further step changes nothing.
    EXPECT_GE(lastFill, 118);
    g.Click("b_menuright");
    EXPECT_EQ(Volume, 5);
    EXPECT_EQ(FilledColumns(g.H), lastFill);
    EXPECT_EQ(effects(), lastEffects);
    // A click at the bar's left end is step 0 again.
    const TKerbBar& bar = *g.H.Form().Page->Slider();
    g.H.Click(bar.X + 2, bar.Y + 10);
    EXPECT_EQ(FilledColumns(g.H), 0);
    EXPECT_EQ(Volume, 0);
    EXPECT_LT(effects(), lastEffects);
}
