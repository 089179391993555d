// Choosing the track (state 14): the preview picture (or the locked one), the track's name,
// best time, length, laps and opponents, and the buttons sliding in from both sides.
#include <algorithm>

#include "platform/KeyCodes.h"
#include "shell/Globals.h"
#include "shell/screens/MenuSprites.h"
#include "shell/screens/Screen.h"
#include "shell/screens/ScreenKit.h"
#include "shell/screens/Screens.h"
#include "world/GameTables.h"

namespace {
class TChooseTrack : public TScreen {
public:
    explicit TChooseTrack(TForm1& form) : TScreen(form, st::ChooseTrack, st::MainMenu) {}

    void Frame() override {
        if (Keys()) return;
        if (StateFrames < 26) {
            ++StateFrames;
            // From both sides into the bays of the page.
            SlideButtons(F, {{"bc_next", 380}, {"bc_prev", 234}, {"b_back", 9}, {"bc_race", 642}},
                         20);
        }
        F.BeginMenuFrame(1);
        DrawInformation();
        F.EndMenuFrame();
    }

    void Leave() override {
        if (F.TrackImage != nullptr) F.TrackImage->Dead();
        F.TrackImage = nullptr;
        F.KillPage();
    }

private:
    void Build() override {
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
    }

    static bool Available() { return Tracks[static_cast<size_t>(TrackIndex)].Available != 0; }

    bool Keys() {
        if (EscapeGoesBack()) return true;
        if (ConsumeRelease(vk::Return) && Available()) {
            F.ChangeState(st::ChooseCar);
            return true;
        }
        if (ConsumeRelease(vk::Right)) Step(1);
        if (ConsumeRelease(vk::Left)) Step(-1);
        return false;
    }

    void Step(int32_t step) {
        F.PlaySound("check");
        TrackIndex = WrapStep(TrackIndex, step, LastTrackIndex);
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
};
}  // namespace

void RegisterChooseTrack(TForm1& form) {
    RegisterScreen(form, std::make_shared<TChooseTrack>(form));
}
