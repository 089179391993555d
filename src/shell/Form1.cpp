#include "shell/Form1.h"

#include "platform/Clock.h"
#include "platform/Window.h"
#include "shell/Globals.h"
#include "world/GameTables.h"
#include "world/Random.h"

TForm1::TForm1(const TClock& clock, TPlatformWindow* window)
    : Clock(clock), Window(window), KerbTimer1(clock), AnimTimer(clock), RaceTimer(clock, 10) {
    Form1 = this;
    KerbTimer1.SetTargetFPS(90);
    KerbTimer1.SetMinFPS(10);
    KerbTimer1.SetMaxFPS(120);
    KerbTimer1.SetFPSWarningFrames(10);
    KerbTimer1.SetOnTimer([this](TKerbTimer&) { KerbTimer1Timer(); });
    RaceTimer.SetEnabled(false);
    RandomSeed = static_cast<uint64_t>(clock.Now());
    RegisterStates();
}

TForm1::~TForm1() {
    if (Form1 == this) Form1 = nullptr;
}

void TForm1::RegisterStates() {}

void TForm1::SetStateActions(uint8_t n, TStateActions actions) {
    if (n < st::Count) States[n] = std::move(actions);
}

void TForm1::EnterState(uint8_t n) {
    if (n < st::Count && States[n].Enter) States[n].Enter();
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

void TForm1::PlaySound(const std::string& name) {
    if (SoundOn == 0) return;
    if (OnPlaySound) OnPlaySound(name);
}

void TForm1::FormCreate() {
    Randomize(RandomSeed);
    FullScreen = FullScreenApplied = 0;
    MusicOn = SoundOn = 1;
    ExtraText.clear();
    PlayerName.clear();
    Score = 0;
    if (Window != nullptr) Window->SetCaption("Velkaro");
    GameImagesLoaded = 0;
    for (int i = 1; i < 256; ++i) KeyReleased[i] = 0;
    FillTrackTable();
    FillCarTable();
    Score = 0;
    UnlockThreshold = 300;
    UnlockStage = 0;
    UnlockIncrements = {400, 500, 1000, 500, 2000, 2000, 2500, 4000, 4500};
    Level = 3;
    TracksOpen = 3;
    CarsOpen = 5;
    ApplyOpenCounts();
    StateFrames = 0;
}

void TForm1::FormShow() {
    KerbTimer1.SetEnabled(true);
    EnterState(st::Logo);
}

void TForm1::FormDestroy() { KerbTimer1.SetEnabled(false); }

void TForm1::FormKeyDown(int32_t key) {
    if (key < 0 || key > 255) return;
    KeyHeld[key] = 1;
}

void TForm1::FormKeyUp(int32_t key) {
    if (key < 0 || key > 255) return;
    KeyReleased[key] = 1;
    KeyHeld[key] = 0;
}

void TForm1::HandleEvent(const TInputEvent& event) {
    switch (event.Kind) {
        case TInputKind::KeyDown: FormKeyDown(event.Key); break;
        case TInputKind::KeyUp: FormKeyUp(event.Key); break;
        case TInputKind::Quit: Close(); break;
        case TInputKind::MouseMove:
        case TInputKind::MouseDown:
        case TInputKind::MouseUp:
        case TInputKind::MouseWheel:
        case TInputKind::TextInput: GuiEvents.push_back(event); break;
        default: break;
    }
}

void TForm1::KerbTimer1Timer() { FrameState(CurrentState); }
