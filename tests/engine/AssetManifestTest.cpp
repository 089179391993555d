// The generated image lists hold every picture the game looks up: each checklist name in the
// right list, with its pattern count and the sizes the game's geometry fixes. The expected
// values are written out here from the asset manifest, not taken from the generator, so a
// slip in the generator's own table shows up as a failure.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "engine/ImageList.h"

namespace {

std::vector<std::string> Words(const char* text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

const char* const MenuRequired =
    "MicrogrammaDBolExt mousecursor mainback loading logo light1 light2 chooseline bar opt_bar "
    "scr_add scr_help scr_help2 scr_help3 scr_help4 scr_opt scr_hiscr scr_clearhiscr "
    "scr_ExitTheGame scr_choose scr_choosecar scr_change scr_delete "
    "b_stgame b_opt b_hiscr b_help b_visit b_exit b_logo b_presshere b_apply b_cancel b_on "
    "b_off b_menuleft b_menuright b_back b_next b_prev b_clrhiscr b_viewwhiscr b_yes b_no "
    "b_add b_up b_down b_delete b_back2 b_select bc_next bc_prev bc_race "
    "tr_track1 tr_track2 tr_track3 tr_track4 tr_track5 tr_track6 tr_track7 tr_track8 "
    "tr_track9 tr_track10 tr_track11 tr_track12 tr_notav c_car1 c_car2 c_car3 c_car4 c_car5 "
    "b_daily b_dsubmit b_dagain b_dtable scr_dailycar scr_dailyres scr_daily "
    "scr_controls b_bindrow b_controls b_defaults";
const char* const MenuRecommended =
    "car1 car2 car3 car4 car5 arrows dim groundpoint b_yes1 b_no1 bro_next";
const char* const RaceRequired =
    "r_str r_left r_right r_str_right r_str_left r_right_str r_left_str back1 back2 back3 "
    "back4 inplace startline trees desert groundpoint wall1 wall2 fline "
    "car1 car2 car3 car4 car5 carten1 carten2 carten3 carten4 carten5 arrows dim "
    "bonus1 bonus2 bonus3 luga bomb repair life time shipi speedup exploid exploid2 "
    "velkaro radar healthbar speedarrow backlight radarcar1 radarcar2 begarrows svetophor "
    "redlight yellowlight greenlight scr_exitgame scr_gameover scr_timesup scr_raceover "
    "scr_yourscore scr_send b_yes1 b_no1 bro_next";
const char* const RaceRecommended = "panel exploid3 gamecompl";

// Pattern counts other than 1; a name not listed here (and not a button) has one pattern.
struct TPatterns {
    const char* Name;
    int Count;
};
const TPatterns SpecialPatterns[] = {
    {"mainback", 2}, {"mousecursor", 8}, {"MicrogrammaDBolExt", 95},
    {"car1", 3},     {"car2", 3},        {"car3", 3},
    {"car4", 3},     {"car5", 3},        {"trees", 8},
    {"desert", 8},   {"dim", 5},         {"arrows", 3},
    {"exploid", 8},  {"exploid2", 8},    {"exploid3", 8},
};

bool IsButton(const std::string& name) {
    return name.rfind("b_", 0) == 0 || name.rfind("bc_", 0) == 0 || name == "bro_next";
}

int ExpectedPatterns(const std::string& name) {
    for (const TPatterns& p : SpecialPatterns) {
        if (name == p.Name) return p.Count;
    }
    return IsButton(name) ? 3 : 1;
}

class AssetManifestTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const char* dir = std::getenv("VELKARO_GAME_DIR");
        std::string base = dir ? std::string(dir) + "/Data/" : std::string("Data/");
        Menu = std::make_unique<TImageListCollection>();
        Race = std::make_unique<TImageListCollection>();
        MenuLoaded = Menu->LoadFromFile(base + "data1.vil");
        RaceLoaded = Race->LoadFromFile(base + "data2.vil");
    }
    static void TearDownTestSuite() {
        Menu.reset();
        Race.reset();
    }
    void SetUp() override {
        ASSERT_TRUE(MenuLoaded) << "Data/data1.vil is missing or unreadable";
        ASSERT_TRUE(RaceLoaded) << "Data/data2.vil is missing or unreadable";
    }

    static int Patterns(const TImageListItem& item) {
        if (item.TileWidth <= 0 || item.TileHeight <= 0) return 0;
        return (item.ImageWidth / item.TileWidth) * (item.ImageHeight / item.TileHeight);
    }

    static std::unique_ptr<TImageListCollection> Menu, Race;
    static bool MenuLoaded, RaceLoaded;
};

std::unique_ptr<TImageListCollection> AssetManifestTest::Menu;
std::unique_ptr<TImageListCollection> AssetManifestTest::Race;
bool AssetManifestTest::MenuLoaded = false;
bool AssetManifestTest::RaceLoaded = false;

struct TChecklist {
    const char* Label;
    bool RaceList;
    const char* Names;
};
const TChecklist Checklists[] = {
    {"data1 required", false, MenuRequired},
    {"data1 recommended", false, MenuRecommended},
    {"data2 required", true, RaceRequired},
    {"data2 recommended", true, RaceRecommended},
};

TEST_F(AssetManifestTest, EveryChecklistNameHasAPictureWithItsPatternCount) {
    for (const TChecklist& list : Checklists) {
        TImageListCollection& images = list.RaceList ? *Race : *Menu;
        for (const std::string& name : Words(list.Names)) {
            SCOPED_TRACE(std::string(list.Label) + ": " + name);
            TImageListItem* item = images.Find(name);
            ASSERT_NE(item, nullptr) << "missing";
            EXPECT_FALSE(item->Picture.Empty()) << "no picture";
            EXPECT_EQ(Patterns(*item), ExpectedPatterns(name));
        }
    }
}

TEST_F(AssetManifestTest, ChecklistsHaveTheirStatedLengths) {
    EXPECT_EQ(Words(MenuRequired).size(), 82u);
    EXPECT_EQ(Words(MenuRecommended).size(), 11u);
    EXPECT_EQ(Words(RaceRequired).size(), 64u);
    EXPECT_EQ(Words(RaceRecommended).size(), 3u);
}

TEST_F(AssetManifestTest, EveryPictureIsAWholeNumberOfTilesAndNamesAreUnique) {
    for (TImageListCollection* images : {Menu.get(), Race.get()}) {
        std::set<std::string> seen;
        for (int32_t i = 0; i < images->Count(); ++i) {
            const TImageListItem& item = *images->Items(i);
            SCOPED_TRACE(item.Name);
            EXPECT_TRUE(seen.insert(item.Name).second) << "duplicate name hides a picture";
            ASSERT_GT(item.TileWidth, 0);
            ASSERT_GT(item.TileHeight, 0);
            EXPECT_EQ(item.ImageWidth % item.TileWidth, 0);
            EXPECT_EQ(item.ImageHeight % item.TileHeight, 0);
            EXPECT_LE(item.ImageWidth, 2048);
            EXPECT_LE(item.ImageHeight, 2048);
        }
    }
}

// Sizes the game's layout or geometry fixes. Zero means "not fixed here"; a minimum is
// written as a negative number.
struct TSize {
    bool RaceList;
    const char* Name;
    int TileW, TileH;
};
const TSize FixedSizes[] = {
    {false, "mainback", 800, 600},   {false, "loading", 800, 600},
    {false, "scr_choose", 800, 600}, {false, "opt_bar", 120, 20},
    {true, "back1", 800, 300},       {true, "back2", 800, 300},
    {true, "back3", 800, 300},       {true, "back4", 800, 300},
    {true, "r_str", 300, 300},       {true, "r_left", -578, 300},
    {true, "r_right", -578, 300},    {true, "r_str_right", -405, 300},
    {true, "r_str_left", -404, 300}, {true, "r_right_str", -404, 300},
    {true, "r_left_str", -405, 300}, {true, "arrows", 0, 10},
    {false, "arrows", 0, 10},        {true, "fline", -300, -21},
    {true, "wall1", -21, 150},       {true, "wall2", -21, 183},
};

void ExpectSize(int actual, int expected, const char* what) {
    if (expected > 0) {
        EXPECT_EQ(actual, expected) << what;
    } else if (expected < 0) {
        EXPECT_GE(actual, -expected) << what;
    }
}

TEST_F(AssetManifestTest, FixedSizesMatchTheGameGeometry) {
    for (const TSize& s : FixedSizes) {
        SCOPED_TRACE(s.Name);
        TImageListItem* item = (s.RaceList ? Race : Menu)->Find(s.Name);
        ASSERT_NE(item, nullptr);
        ExpectSize(item->TileWidth, s.TileW, "tile width");
        ExpectSize(item->TileHeight, s.TileH, "tile height");
    }
}

TEST_F(AssetManifestTest, PicturesWhosePivotsDependOnTheirShape) {
    // The needle turns about (0.5, 0.9) of its width in both directions.
    TImageListItem* needle = Race->Find("speedarrow");
    ASSERT_NE(needle, nullptr);
    EXPECT_EQ(needle->TileWidth, needle->TileHeight);
    // A shadow turns about the same fraction of its tile as its car.
    for (int n = 1; n <= 5; ++n) {
        SCOPED_TRACE(n);
        TImageListItem* car = Race->Find("car" + std::to_string(n));
        TImageListItem* shadow = Race->Find("carten" + std::to_string(n));
        ASSERT_NE(car, nullptr);
        ASSERT_NE(shadow, nullptr);
        EXPECT_EQ(shadow->TileWidth, car->TileWidth);
        EXPECT_EQ(shadow->TileHeight, car->TileHeight);
    }
    // The health bar's tile height is changed at run time from the full picture height.
    TImageListItem* health = Race->Find("healthbar");
    ASSERT_NE(health, nullptr);
    EXPECT_GE(health->ImageHeight, 2);
    EXPECT_EQ(health->TileHeight, health->ImageHeight);
    // One toggle button replaces the other in place.
    TImageListItem* on = Menu->Find("b_on");
    TImageListItem* off = Menu->Find("b_off");
    ASSERT_NE(on, nullptr);
    ASSERT_NE(off, nullptr);
    EXPECT_EQ(on->TileWidth, off->TileWidth);
    EXPECT_EQ(on->TileHeight, off->TileHeight);
}

// The visible tarmac must join the neighbouring pieces and agree with the on-road test. On
// its bottom and top rows it spans exactly what the piece's entry and exit offsets and
// half-widths give (300 wide on a straight end, 368 on a diagonal end). In between, the
// on-road test uses a straight-edged quadrilateral; straights and diagonals match it, while
// the curved transitions differ by up to 20 pixels on their end rows already (the game
// gives them a quadrilateral wider than the straight they join) and stay close to that.
struct TRoadSpan {
    const char* Name;
    int BottomFrom, BottomTo, TopFrom, TopTo;
    double Entry, Exit, HalfWidth;  // the on-road quadrilateral of the kind
    int MiddleTolerance;
};
const TRoadSpan RoadSpans[] = {
    {"r_str", 0, 300, 0, 300, 150, 150, 150, 1},
    {"r_left", 210, 578, 0, 368, 394, 184, 184, 1},
    {"r_right", 0, 368, 210, 578, 184, 394, 184, 1},
    {"r_str_right", 0, 300, 37, 405, 150, 221, 170, 24},
    {"r_str_left", 104, 404, 0, 368, 254, 184, 170, 24},
    {"r_right_str", 0, 368, 104, 404, 184, 254, 170, 24},
    {"r_left_str", 37, 405, 0, 300, 221, 150, 170, 24},
};

// First and one-past-last column of a row whose alpha is at least half.
std::pair<int, int> OpaqueSpan(const TPicture& p, int y) {
    int from = -1, to = -1;
    for (int x = 0; x < p.Width; ++x) {
        uint32_t alpha = p.Pixels[static_cast<size_t>(y) * static_cast<size_t>(p.Width) +
                                  static_cast<size_t>(x)] >>
                         24;
        if (alpha >= 128) {
            if (from < 0) from = x;
            to = x + 1;
        }
    }
    return {from, to};
}

TEST_F(AssetManifestTest, RoadTarmacMeetsItsNeighboursAndTheOnRoadTest) {
    for (const TRoadSpan& r : RoadSpans) {
        SCOPED_TRACE(r.Name);
        TImageListItem* item = Race->Find(r.Name);
        ASSERT_NE(item, nullptr);
        const TPicture& p = item->Picture;
        ASSERT_EQ(p.Height, 300);
        ASSERT_EQ(p.Pixels.size(), static_cast<size_t>(p.Width) * static_cast<size_t>(p.Height));
        auto [bottomFrom, bottomTo] = OpaqueSpan(p, p.Height - 1);
        auto [topFrom, topTo] = OpaqueSpan(p, 0);
        EXPECT_NEAR(bottomFrom, r.BottomFrom, 1);
        EXPECT_NEAR(bottomTo, r.BottomTo, 1);
        EXPECT_NEAR(topFrom, r.TopFrom, 1);
        EXPECT_NEAR(topTo, r.TopTo, 1);
        for (int y : {75, 150, 225}) {
            SCOPED_TRACE(y);
            double below = y / 300.0;  // share of the way from the top row to the bottom row
            double centre = r.Exit + (r.Entry - r.Exit) * below;
            auto [from, to] = OpaqueSpan(p, y);
            EXPECT_NEAR(from, std::max(0.0, centre - r.HalfWidth), r.MiddleTolerance);
            EXPECT_NEAR(to, std::min<double>(p.Width, centre + r.HalfWidth), r.MiddleTolerance);
        }
    }
}

TEST_F(AssetManifestTest, OpaquePicturesHaveNoHoles) {
    // Full-screen pictures, the ground and the walls (whose whole rectangle collides). The
    // ground fades in and out over its top and bottom 13 rows, where the pieces' grounds
    // overlap (tests/world/GroundSeamTest.cpp checks that the overlap stays covered).
    const struct {
        bool RaceList;
        const char* Name;
        int32_t FadedRows;
    } opaque[] = {
        {false, "mainback", 0}, {false, "loading", 0}, {false, "scr_choose", 0},
        {false, "logo", 0},     {true, "back1", 13},   {true, "back2", 13},
        {true, "back3", 13},    {true, "back4", 13},   {true, "wall1", 0},
        {true, "wall2", 0},     {true, "r_str", 0},
    };
    for (const auto& o : opaque) {
        SCOPED_TRACE(o.Name);
        TImageListItem* item = (o.RaceList ? Race : Menu)->Find(o.Name);
        ASSERT_NE(item, nullptr);
        const TPicture& p = item->Picture;
        size_t holes = 0;
        for (int32_t y = o.FadedRows; y < p.Height - o.FadedRows; ++y)
            for (int32_t x = 0; x < p.Width; ++x)
                holes += (p.Pixels[static_cast<size_t>(y * p.Width + x)] >> 24) != 0xFF;
        EXPECT_EQ(holes, 0u);
    }
}

TEST_F(AssetManifestTest, GlyphsAreWhiteSoThatTheFontCanTintThem) {
    TImageListItem* glyphs = Menu->Find("MicrogrammaDBolExt");
    ASSERT_NE(glyphs, nullptr);
    size_t inked = 0, coloured = 0;
    for (uint32_t pixel : glyphs->Picture.Pixels) {
        if ((pixel >> 24) == 0) continue;
        ++inked;
        coloured += (pixel & 0xFFFFFF) != 0xFFFFFF;
    }
    EXPECT_GT(inked, 0u);
    EXPECT_EQ(coloured, 0u);
}

TEST_F(AssetManifestTest, GlyphSheetIsTheFirstMenuPicture) {
    ASSERT_GT(Menu->Count(), 0);
    EXPECT_EQ(Menu->Items(0)->Name, "MicrogrammaDBolExt");
}

}  // namespace
