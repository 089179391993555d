// Which pictures the game lets rest: the menu's pages while a race runs, the race's pictures
// while the menus run, and of the race's during a race only the pages it ends or pauses on
// (woken by the page that shows one, with the race stopped): a road piece or an explosion
// woken in the middle of a race would cost a decode there.
#include <gtest/gtest.h>

#include <string>

#include "harness/Harness.h"
#include "harness/MenuDriver.h"
#include "platform/KeyCodes.h"
#include "shell/Globals.h"

namespace {
bool Rested(TKerbImageList& list, const std::string& name) {
    TImageListItem* item = list.Find(name);
    EXPECT_NE(item, nullptr) << name;
    return item != nullptr && item->Rested;
}
}  // namespace

TEST(RestingPictures, MenuPagesRestInARaceAndRacePicturesInTheMenus) {
    THarness h(THarnessOptions{.WithWindow = true});
    TForm1& f = h.Form();
    ASSERT_TRUE(RunUntilState(h, st::FirstPlayer, 600));
    TypeText(h, "Ann");
    h.Tap(vk::Return);
    ASSERT_EQ(CurrentState, st::MainMenu);
    ASSERT_TRUE(f.KerbScreen1.HasDevice());
    EXPECT_FALSE(Rested(f.KerbImageList1, "mainback"));

    // Into a race: the menu's big pictures rest at once; the race's stay awake however long
    // one of them goes undrawn, but for its end and pause pages.
    ASSERT_TRUE(ClickButton(h, "b_stgame"));
    h.RunFrames(50);
    ASSERT_TRUE(ClickButton(h, "bc_race"));
    ASSERT_EQ(CurrentState, st::Race);
    for (const char* page : {"mainback", "loading", "scr_opt", "scr_choosecar"})
        EXPECT_TRUE(Rested(f.KerbImageList1, page)) << page;
    EXPECT_FALSE(Rested(f.KerbImageList1, "mousecursor"));
    h.RunFrames(static_cast<int32_t>(f.KerbScreen1.RestAfterFrames) + 2 * 128);
    for (const char* picture : {"exploid", "back1", "r_left"})
        EXPECT_FALSE(Rested(f.GameImageList, picture)) << picture;
    for (const char* page : {"scr_gameover", "scr_raceover", "scr_exitgame"})
        EXPECT_TRUE(Rested(f.GameImageList, page)) << page;

    // Back to the main menu: its backdrop is drawn, so awake; the race's pictures rest once
    // they have gone undrawn for a while.
    h.Tap(vk::Escape);
    h.RunFrames(30);
    ASSERT_EQ(CurrentState, st::QuitRaceMenu);
    // The page shown over the stopped race woke its picture.
    EXPECT_FALSE(Rested(f.GameImageList, "scr_exitgame"));
    h.Tap(vk::Return);
    ASSERT_TRUE(RunUntilState(h, st::MainMenu, 200));
    h.RunFrames(2);
    EXPECT_FALSE(Rested(f.KerbImageList1, "mainback"));
    h.RunFrames(static_cast<int32_t>(f.KerbScreen1.RestAfterFrames) + 2 * 128);
    for (const char* picture : {"exploid", "scr_gameover", "back1"})
        EXPECT_TRUE(Rested(f.GameImageList, picture)) << picture;

    // The next race wakes them all before its first frame, but for the pages.
    ASSERT_TRUE(ClickButton(h, "b_stgame"));
    h.RunFrames(50);
    ASSERT_TRUE(ClickButton(h, "bc_race"));
    ASSERT_EQ(CurrentState, st::Race);
    for (const char* picture : {"exploid", "back1"})
        EXPECT_FALSE(Rested(f.GameImageList, picture)) << picture;
    EXPECT_TRUE(Rested(f.GameImageList, "scr_gameover"));
}
