#include "harness/Harness.h"

#include <cstdlib>
#include <filesystem>

#include "harness/TempFolder.h"
#include "harness/TestEnvironment.h"
#include "platform/ConfigDir.h"
#include "platform/Paths.h"
#include "shell/Globals.h"
#include "world/Random.h"
#include "world/GameTables.h"
#include "world/RaceRecord.h"

THarness::THarness(THarnessOptions options) {
    SetEnvironment("SDL_VIDEODRIVER", "dummy", false);
    SetEnvironment("SDL_AUDIODRIVER", "dummy", false);
    // The game's data files live in the build's game folder.
    if (const char* gameDir = std::getenv("VELKARO_GAME_DIR")) SetProgramDir(gameDir);
    // Every harness has its own settings folder, so no test sees another's files (or the
    // player's own).
    ConfigFolder = options.ConfigDir;
    if (ConfigFolder.empty()) {
        ConfigFolder = MakeUniqueTempFolder("velkaro-harness");
        OwnsConfigFolder = !ConfigFolder.empty();
    }
    if (!ConfigFolder.empty() && ConfigFolder.back() != '/') ConfigFolder += '/';
    SetConfigDirOverride(ConfigFolder);
    ResetGlobals();
    ResetGameTables();
    ResetRaceRecord();
    ClockValue.Set(1'000'000'000);
    if (options.WithWindow) {
        Window = std::make_unique<TPlatformWindow>();
        if (!Window->Create("Velkaro", 800, 600)) Window.reset();
    }
    Form1Ptr = std::make_unique<TForm1>(ClockValue, Window.get());
    Form1Ptr->RandomSeed = options.Seed;
    Loop = std::make_unique<TMainLoop>(ClockValue, Form1Ptr->KerbTimer1, &Form1Ptr->RaceTimer);
    if (options.Start) {
        Form1Ptr->FormCreate();
        Form1Ptr->FormShow();
    }
}

THarness::~THarness() {
    Loop.reset();
    Form1Ptr.reset();
    Window.reset();
    SetConfigDirOverride({});
    std::error_code ec;
    if (OwnsConfigFolder) std::filesystem::remove_all(ConfigFolder, ec);
}

void THarness::Event(const TInputEvent& event) {
    Form1Ptr->HandleEvent(event);
}

void THarness::KeyDown(int32_t key) {
    TInputEvent e;
    e.Kind = TInputKind::KeyDown;
    e.Key = key;
    Event(e);
}

void THarness::KeyUp(int32_t key) {
    TInputEvent e;
    e.Kind = TInputKind::KeyUp;
    e.Key = key;
    Event(e);
}

void THarness::SyncInput() {
    std::vector<TInputEvent> out;
    Keys.SetControls(Form().Controls);
    Keys.SetLayout(Form().InputLayout());
    Pads.SetControls(Form().Controls, out);
    Pads.SetLayout(Form().InputLayout(), out);
    for (const TInputEvent& e : out) Event(e);
}

void THarness::PhysicalKeyDown(int32_t sdlKey) {
    SyncInput();
    TInputEvent e;
    e.Kind = TInputKind::KeyDown;
    e.Physical = sdlKey;
    e.Key = Keys.Down(sdlKey);
    Event(e);
}

void THarness::PhysicalKeyUp(int32_t sdlKey) {
    SyncInput();
    TInputEvent e;
    e.Kind = TInputKind::KeyUp;
    e.Physical = sdlKey;
    e.Key = Keys.Up(sdlKey);
    Event(e);
}

void THarness::PressKey(const std::string& name) {
    const int32_t key = KeyFromName(name);
    PhysicalKeyDown(key);
    PhysicalKeyUp(key);
    RunFrames(1);
}

void THarness::PadButton(TPadButton button, bool down) {
    SyncInput();
    std::vector<TInputEvent> out;
    if (Pads.PadCount() == 0) {
        TPadEvent added;
        added.Kind = TPadEventKind::Added;
        Pads.Feed(added, out);
    }
    TPadEvent e;
    e.Kind = TPadEventKind::Button;
    e.Button = button;
    e.Down = down;
    Pads.Feed(e, out);
    for (const TInputEvent& event : out) Event(event);
}

void THarness::Tap(int32_t key) {
    KeyDown(key);
    KeyUp(key);
    RunFrames(1);
}

void THarness::Stroke(int32_t key) {
    KeyDown(key);
    RunFrames(1);
    KeyUp(key);
    RunFrames(1);
}

void THarness::MouseMove(int32_t x, int32_t y) {
    TInputEvent e;
    e.Kind = TInputKind::MouseMove;
    e.X = x;
    e.Y = y;
    Event(e);
}

void THarness::MouseDown(int32_t x, int32_t y, TMouseButton button) {
    TInputEvent e;
    e.Kind = TInputKind::MouseDown;
    e.Button = button;
    e.X = x;
    e.Y = y;
    Event(e);
}

void THarness::MouseUp(int32_t x, int32_t y, TMouseButton button) {
    TInputEvent e;
    e.Kind = TInputKind::MouseUp;
    e.Button = button;
    e.X = x;
    e.Y = y;
    Event(e);
}

void THarness::Click(int32_t x, int32_t y) {
    MouseDown(x, y);
    MouseUp(x, y);
}

void THarness::TypeText(const std::string& utf8) {
    TInputEvent e;
    e.Kind = TInputKind::TextInput;
    e.Text = utf8;
    Event(e);
}

int32_t THarness::PumpWindow() {
    if (Window == nullptr) return 0;
    std::vector<TInputEvent> events;
    Window->PollEvents(events);
    for (const TInputEvent& e : events) Event(e);
    return static_cast<int32_t>(events.size());
}

int64_t THarness::FramePeriod() const {
    return Form1Ptr->KerbTimer1.TicksPerTarget;
}

void THarness::RunFrames(int32_t n) {
    for (int32_t i = 0; i < n && !Form1Ptr->IsClosing(); ++i) {
        ClockValue.Advance(FramePeriod());
        Loop->RunOnce();
    }
}

void THarness::StartRace(int32_t level, uint64_t seed) {
    TForm1& f = Form();
    f.LeaveState(CurrentState);
    f.KillLights();
    f.KerbSprite1.Dead();
    f.LoadGameImages();
    Randomize(seed);
    Lives = 3;
    Score = 0;
    ResetDifficulty();
    for (Level = 1; Level < level;) AdvanceDifficulty(++Level);
    Race.CarVariant = Random(3);
    f.EnterState(st::Race);
}
