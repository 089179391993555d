#include "shell/Form1.h"

#include <algorithm>

#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/Paths.h"
#include "platform/ProcessStats.h"
#include "platform/Window.h"
#include "platform/KeyCodes.h"
#include "shell/ControlsFile.h"
#include "shell/daily/DailyRace.h"
#include "shell/HighScoreTable.h"
#include "shell/Storage.h"
#include "shell/screens/MenuPage.h"
#include "shell/screens/MenuSprites.h"
#include "shell/screens/Screens.h"
#include "world/Dashboard.h"
#include "world/GameTables.h"
#include "shell/Globals.h"
#include "world/Random.h"
#include "world/WorldContext.h"

TForm1::TForm1(const TClock& clock, TPlatformWindow* window)
    : Clock(clock),
      Window(window),
      KerbScreen1(window),
      KerbTimer1(clock),
      AnimTimer(clock),
      RaceTimer(clock, 10),
      Sound3D(clock),
      KerbMusic1(Sound3D.Mixer()),
      KerbBitmapFont1(&KerbScreen1),
      KerbGUI1(clock),
      Online(MakeCurlHttpClient()) {
    Form1 = this;
    KerbScreen1.Width = 800;
    KerbScreen1.Height = 600;
    KerbScreen1.CenterX = 400;
    KerbScreen1.CenterY = 300;
    KerbScreen1.ShowMouseCursor = false;
    for (TKerbFont* font : {&KerbFont1, &KerbFont2, &KerbFont3}) font->SetScreen(&KerbScreen1);
    KerbTimer1.SetTargetFPS(90);
    KerbTimer1.SetMinFPS(10);
    KerbTimer1.SetMaxFPS(120);
    KerbTimer1.SetFPSWarningFrames(10);
    KerbTimer1.SetOnTimer([this](TKerbTimer&) { KerbTimer1Timer(); });
    RaceTimer.SetEnabled(false);
    RaceTimer.OnTimer = [this] { RaceTimerTimer(); };
    RandomSeed = static_cast<uint64_t>(clock.Now());
    World.Sprites = &KerbSprite1;
    World.RaceImages = &GameImageList;
    World.MenuImages = &KerbImageList1;
    World.RaceTimer = &RaceTimer;
    World.PlaySound = [this](const std::string& name) { PlaySound(name); };
    RegisterStates();
}

TForm1::~TForm1() {
    // The sprites refer to the image lists and to the race record: free them first.
    Page.reset();
    KerbSprite1.Clear();
    World = TWorldContext{};
    if (Form1 == this) Form1 = nullptr;
}

void TForm1::RegisterStates() {
    RegisterRaceStates();
    RegisterScreens(*this);
}

void TForm1::SetStateActions(uint8_t n, TStateActions actions) {
    if (n < st::Count) States[n] = std::move(actions);
}

bool TForm1::HasActions(uint8_t n) const {
    return n < st::Count && States[n].Enter && States[n].Frame;
}

void TForm1::EnterState(uint8_t n) {
    if (n < st::Count && States[n].Enter) States[n].Enter();
    PrepareMenuMusic(n);
    // A key still held belongs to the screen its press acted on: its release must not act on
    // a menu entered meanwhile (an Enter that raced would start a game on the car page). In a
    // race and its pause the release must arrive: it is what stops the thrust of a held pedal.
    if (RaceControls()) return;
    for (size_t key = 0; key < std::size(KeyTables.Held); ++key)
        if (KeyTables.Held[key] != 0) SwallowRelease[key] = true;
}

void TForm1::LeaveState(uint8_t n) {
    if (n < st::Count && States[n].Leave) States[n].Leave();
}

void TForm1::FrameState(uint8_t n) {
    if (n < st::Count && States[n].Frame) States[n].Frame();
}

void TForm1::ChangeState(uint8_t n, const std::string& clickSound) {
    LeaveState(CurrentState);
    PlaySound(clickSound);
    EnterState(n);
}

void TForm1::GuardSound(const std::function<void()>& call) {
    try {
        call();
    } catch (const ESoundError& e) {
        const std::string text = e.what();
        if (std::find(SoundErrorsShown.begin(), SoundErrorsShown.end(), text) !=
            SoundErrorsShown.end())
            return;
        SoundErrorsShown.push_back(text);
        ShowMessageBox("Velkaro", text, TMsgButtons::Ok, TMsgIcon::Error, e.Detail);
    }
}

void TForm1::PlaySound(const std::string& name) {
    if (SoundOn == 0) return;
    if (OnPlaySound) OnPlaySound(name);
    GuardSound([&] { Sound3D.PlayEffect(name); });
}

void TForm1::PlayMusic(const std::string& name) {
    // A song started or stopped on purpose overrides the menu song's pending start.
    if (name == "menumusic") MenuMusicPending = false;
    GuardSound([&] { Sound3D.PlayModule(name); });
}

void TForm1::StopMusic(const std::string& name) {
    if (name == "menumusic") MenuMusicPending = false;
    GuardSound([&] { Sound3D.StopModule(name); });
}

void TForm1::FormCreate() {
    Randomize(RandomSeed);
    FullScreen = FullScreenApplied = 0;
    MusicOn = SoundOn = 1;
    ExtraText.clear();
    PlayerName.clear();
    DefaultHiScores();
    Score = 0;
    if (Window != nullptr) Window->SetCaption("Velkaro");
    GameImagesLoaded = 0;
    for (int i = 1; i < 256; ++i) KeyTables.Released[i] = 0;

    // The logo and the cursor are decoded now, to show the first frame soon; every other menu
    // picture is decoded behind it while the logo shows (KerbTimer1Timer takes them in). A
    // screen that looks a picture up before then waits for it.
    KerbImageList1.ImageList.OnPicturesReady = [this] {
        if (PicturesReadyMs < 0) PicturesReadyMs = MillisecondsSinceExec();
    };
    KerbImageList1.ImageList.LoadFromFileBehind(GamePath("Data\\data1.vil"),
                                                {"logo", "mousecursor", "MicrogrammaDBolExt"});
    InitGui();
    KerbImageList1.KerbScreen = &KerbScreen1;
    GameImageList.KerbScreen = &KerbScreen1;
    KerbScreen1.RegisterImageList(&KerbImageList1);
    KerbScreen1.RegisterImageList(&GameImageList);
    if (Window != nullptr && !KerbScreen1.Initialize()) {
        Terminate();
        return;
    }
    KerbImageList1.Initialize();

    FillTrackTable();
    FillCarTable();
    Score = 0;
    UnlockThreshold = 300;
    UnlockStage = 0;
    UnlockIncrements = {400, 500, 1000, 500, 2000, 2000, 2500, 4000, 4500};
    Level = 3;
    KerbImageList1.Param1 = KerbImageList1.Param2 = 0.5f;
    KerbImageList1.Param3 = KerbImageList1.Param4 = 0.5f;
    KerbScreen1.SetTextureFilter(true);
    Cursor = new TCursor(&KerbSprite1, KerbImageList1.Find("mousecursor"), &MouseX, &MouseY);
    TracksOpen = 3;
    CarsOpen = 5;
    Players = TPlayerList{};
    SpareBestTimes = {};
    ReadStoredFiles(*this);
    ReadControls(*this);
    ApplyControls();
    if (FullScreenArgument >= 0) FullScreen = static_cast<uint8_t>(FullScreenArgument);
    if (FullScreen != 0) {
        KerbScreen1.ToggleFullScreen();
        FullScreenApplied = 1;
    }
    ApplyOpenCounts();
    KerbFont1.SetFont("Micra", 30, fsBold);
    StateFrames = 0;
    Sound3D.AddGameLists();
    Sound3D.InitAudioPaths();
    Sound3D.OpenDevice();
    Sound3D.SetEffectVolumeStep(Volume);
    if (KerbScreen1.Fatal()) Terminate();
}

void TForm1::FormShow() {
    KerbTimer1.SetEnabled(true);
    // The menu's song is decoded behind the logo's first frames and starts when it is there
    // (StartMenuMusicWhenReady), so that the first frame does not wait for it.
    Sound3D.PrepareModule("menumusic");
    MenuMusicPending = true;
    EnterState(st::Logo);
}

void TForm1::PrepareMenuMusic(uint8_t state) {
    // The pages a race ends on lead back to the menus: their song is decoded behind them.
    static constexpr uint8_t kRaceEnds[] = {st::RaceOver,     st::GameOver,     st::TimesUp,
                                            st::GameComplete, st::QuitRaceMenu, st::DailyResult};
    if (MusicOn == 0 ||
        std::find(std::begin(kRaceEnds), std::end(kRaceEnds), state) == std::end(kRaceEnds))
        return;
    GuardSound([&] { Sound3D.PrepareModule("menumusic"); });
}

void TForm1::StartMenuMusicWhenReady() {
    // Past the logo the song is needed: wait for it rather than go on without it.
    if (!MenuMusicPending || (CurrentState == st::Logo && !Sound3D.ModuleReady("menumusic")))
        return;
    MenuMusicPending = false;
    PlayMusic("menumusic");
    if (MusicOn == 0) StopMusic("menumusic");
}

void TForm1::FormDestroy() {
    for (const char* song : {"losemusic", "gamemusic", "menumusic"}) {
        StopMusic(song);
        GuardSound([&] { Sound3D.UnloadModule(song); });
    }
    Sound3D.CloseDevice();
    KerbTimer1.SetEnabled(false);
    RaceTimer.SetEnabled(false);
    Online.Shutdown();
    OpenWebPage();
}

void TForm1::FormKeyDown(int32_t key) {
    if (key < 0 || key > 255) return;
    KeyTables.Held[key] = 1;
}

void TForm1::FormKeyUp(int32_t key) {
    if (key < 0 || key > 255) return;
    KeyTables.Released[key] = 1;
    KeyTables.Held[key] = 0;
}

void TForm1::ApplyControls() {
    if (Window != nullptr) Window->SetControls(Controls);
}

TPadLayout TForm1::InputLayout() const {
    if (KeyCapture) return TPadLayout::Capture;
    return RaceControls() ? TPadLayout::Race : TPadLayout::Menu;
}

bool TForm1::OfferCapture(const TInputEvent& event) {
    if (!KeyCapture || !KeyCapture(event)) return false;
    // The key's release belongs to the capture too: an Escape that cancelled the wait must not
    // reach the page as a key release as well.
    if (event.Kind == TInputKind::KeyDown && event.Key > 0 && event.Key < 256)
        SwallowRelease[static_cast<size_t>(event.Key)] = true;
    // A key that ended the wait gives the next press its usual meaning again.
    SyncInputLayout();
    return true;
}

void TForm1::HandleEvent(const TInputEvent& event) {
    if (OfferCapture(event)) return;
    switch (event.Kind) {
        case TInputKind::KeyDown:
            // Keys with no code of their own matter only to a capture.
            if (event.Key <= 0) break;
            if (TakeKeyDown(event)) break;
            FormKeyDown(event.Key);
            GuiEvents.push_back(event);
            break;
        case TInputKind::KeyUp:
            if (event.Key <= 0) break;
            if (!TakeKeyUp(event.Key)) FormKeyUp(event.Key);
            break;
        case TInputKind::Quit:
            // Closing the window keeps the progress of the run, as quitting from the menu does;
            // a daily race's score is not the run's.
            RestoreNormalGame(*this);
            WriteStoredFiles(*this);
            Close();
            break;
        case TInputKind::RenderReset:
            KerbScreen1.HandleRenderReset();
            break;
        case TInputKind::MouseMove:
        case TInputKind::MouseDown:
        case TInputKind::MouseUp:
            MouseX = event.X;
            MouseY = event.Y;
            GuiEvents.push_back(event);
            break;
        case TInputKind::MouseWheel:
        case TInputKind::TextInput:
            GuiEvents.push_back(event);
            break;
        default:
            HandleWindowEvent(event);
            break;
    }
}

void TForm1::KerbTimer1Timer() {
    // Menu pictures decoded behind the logo come in a few at a time, so that no frame waits
    // long for their textures.
    if (KerbImageList1.ImageList.PicturesPending())
        KerbImageList1.ImageList.AdoptPictures(kPictureAdoptBudgetMs);
    StartMenuMusicWhenReady();
    SyncInputLayout();
    Online.PollOnline();
    if (MusicOn == 1) KerbMusic1.Poll();
    FeedGui();
    FrameState(CurrentState);
    // Keys are given their meaning as the window reads them, before the next frame: a race
    // resumed in this frame must map the next press with the player's bindings already.
    SyncInputLayout();
}

void TForm1::SyncInputLayout() {
    if (Window != nullptr) Window->SetPadLayout(InputLayout());
}

void TForm1::CenteredText(TKerbFont& font, int32_t cx, int32_t y, const std::string& text) {
    font.TextOut(cx - font.TextWidth(text) / 2, y, text);
}

void TForm1::ShowCursor(bool visible) {
    if (Cursor != nullptr) Cursor->Visible = visible;
}

void TForm1::CreateLights() {
    Lights[0] = new TLight(&KerbSprite1, 376, 353, 0);
    Lights[1] = new TLight(&KerbSprite1, 403, 370, 1);
}

void TForm1::KillLights() {
    for (TLight*& light : Lights) {
        if (light != nullptr) light->Dead();
        light = nullptr;
    }
}

void TForm1::ShowLights(bool visible) {
    for (TLight* light : Lights)
        if (light != nullptr) light->Visible = visible;
}

void TForm1::KillPage() {
    if (PageSprite != nullptr) PageSprite->Dead();
    PageSprite = nullptr;
    FreePage();
}

void TForm1::FreePage() {
    Page.reset();
}

void TForm1::KillSpritesNamed(const std::string& name) {
    for (TSprite* s : KerbSprite1.SpriteList)
        if (s->Name == name) s->Dead();
}

void TForm1::DrawSprites() {
    if (KerbScreen1.HasDevice()) KerbSprite1.Draw();
}

void TForm1::BeginMenuFrame(int32_t backdropPattern) {
    KerbScreen1.Clear(0, 0, 0, 0);
    KerbScreen1.BeginScene();
    KerbImageList1.BeginDraw();
    if (TImageListItem* back = KerbImageList1.Find("mainback")) back->Draw(0, 0, backdropPattern);
    KerbSprite1.Dead();
    KerbSprite1.Move(0);
    // The cursor goes on top of the GUI page, so it is drawn last, in EndMenuFrame.
    const bool cursorShown = Cursor != nullptr && Cursor->Visible;
    if (cursorShown) Cursor->Visible = false;
    DrawSprites();
    if (cursorShown) Cursor->Visible = true;
}

void TForm1::EndMenuFrame() {
    if (Page != nullptr) Page->DrawDisabledLooks();
    KerbGUI1.Draw();
    // Without a drawing device (headless runs) the cursor has nothing to draw with.
    if (Cursor != nullptr && KerbScreen1.HasDevice()) Cursor->Draw();
    KerbImageList1.EndDraw();
    KerbScreen1.EndScene();
}
