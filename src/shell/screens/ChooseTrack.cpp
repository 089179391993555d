// Choosing the track (state 14): the preview picture (or the locked one), the track's name,
// best time, length, laps and opponents, and the buttons sliding in from both sides.
#include <algorithm>

#include "platform/KeyCodes.h"
#include "shell/Globals.h"
#include "shell/screens/MenuSprites.h"
#include "shell/screens/ScreenKit.h"
#include "shell/screens/Screens.h"
#include "world/GameTables.h"

namespace {
class TChooseTrack {
public:
    explicit TChooseTrack(TForm1& form) : F(form) {}

    void Enter() {
        CurrentState = st::ChooseTrack;
        F.KerbFont1.SetFont("Micra", 13, fsBold);
        F.KerbFont2.SetFont("Micra", 10, fsBold);
        F.KerbFont2.SetColor(15, 15, 15);
        F.KerbFont3.SetFont("Micra", 15, fsBold);
        F.KerbFont3.SetColor(14, 58, 69);
        // The arrows choose here; Tab still moves the keyboard focus.
        NewPage(F).List->ArrowsMoveFocus = false;
        AddButton(F, "bc_next", 900, 131, [this] { Step(1); });
        AddButton(F, "bc_prev", -100, 323, [this] { Step(-1); });
        AddButton(F, "b_back", -200, 524, GoTo(F, st::MainMenu));
        F.Page->ShowDisabledLook(AddButton(F, "bc_race", 900, 524, GoTo(F, st::ChooseCar)));
        F.PageSprite = NewPageSprite(F, "scr_choose", "choosetrack", 500, 0, 0);
        F.TrackImage =
            new TMenuScreen(&F.KerbSprite1, 312, 156, 521, "tr_notav", "trackimage", 255, true);
        ShowTrack();
        PhaseCounter = 0;
        ClearKeyReleased();
        F.ShowCursor(true);
        StateFrames = 0;
    }

    void Frame() {
        if (Keys()) return;
        if (StateFrames < 26) {
            ++StateFrames;
            Slide();
        }
        F.BeginMenuFrame(1);
        DrawInformation();
        F.EndMenuFrame();
    }

    void Leave() {
        if (F.TrackImage != nullptr) F.TrackImage->Dead();
        F.TrackImage = nullptr;
        F.KillPage();
    }

private:
    static bool Available() { return Tracks[static_cast<size_t>(TrackIndex)].Available != 0; }

    bool Keys() {
        if (ConsumeRelease(vk::Escape)) {
            F.ChangeState(st::MainMenu, "check2");
            return true;
        }
        if (ConsumeRelease(vk::Return) && Available()) {
            F.ChangeState(st::ChooseCar);
            return true;
        }
        if (ConsumeRelease(vk::Right)) Step(1);
        if (ConsumeRelease(vk::Left)) Step(-1);
        return false;
    }

    void Slide() {
        TMenuPage& p = *F.Page;
        TMenuButton& next = *p.Button("bc_next");
        next.X = std::max(next.X - 20, 360);
        TMenuButton& prev = *p.Button("bc_prev");
        prev.X += 20;
        if (prev.X > 233) prev.X = 234;
        TMenuButton& back = *p.Button("b_back");
        back.X += 20;
        if (back.X > 8) back.X = 9;
        TMenuButton& race = *p.Button("bc_race");
        race.X -= 20;
        if (race.X < 643) race.X = 642;
    }

    void Step(int32_t step) {
        F.PlaySound("check");
        TrackIndex += step;
        if (TrackIndex > LastTrackIndex) TrackIndex = 0;
        if (TrackIndex < 0) TrackIndex = LastTrackIndex;
        ShowTrack();
    }

    void ShowTrack() {
        TrackIndex = std::clamp(TrackIndex, 0, LastTrackIndex);
        const TTrack& t = Tracks[static_cast<size_t>(TrackIndex)];
        F.TrackImage->SetImage(F.KerbImageList1.Find(Available() ? t.ImageName : "tr_notav"));
        F.Page->Button("bc_race")->Visible = Available();
    }

    void DrawInformation() {
        const TTrack& t = Tracks[static_cast<size_t>(TrackIndex)];
        const bool open = Available();
        TForm1::CenteredText(F.KerbFont3, 419, 68,
                             open ? t.Name : "Track " + std::to_string(TrackIndex + 1));
        const char* labels[] = {"Best time: ", "Length:", "Laps:", "Opponents:"};
        const int32_t rows[] = {385, 425, 463, 501};
        const std::string values[] = {
            open ? BestTimeText(t) : "--:--:--", open ? t.LengthText : "-",
            open ? std::to_string(t.InfoLaps) : "-", open ? std::to_string(t.InfoOpponents) : "-"};
        for (int i = 0; i < 4; ++i) {
            F.KerbFont1.TextOut(335, rows[i], labels[i]);
            // Dark values on the light plates beside the white labels.
            TForm1::CenteredText(F.KerbFont2, 480, rows[i], values[i]);
        }
    }

    TForm1& F;
};
}  // namespace

void RegisterChooseTrack(TForm1& form) {
    RegisterScreen(form, st::ChooseTrack, std::make_shared<TChooseTrack>(form));
}
