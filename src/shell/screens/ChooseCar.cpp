// Choosing the car (state 15): the car's name and picture and four bars for its top speed,
// acceleration, steering and grip. The race button starts a new game with any car; Enter
// only with an available one.
#include <algorithm>

#include "platform/KeyCodes.h"
#include "shell/Globals.h"
#include "shell/screens/CarDisplay.h"
#include "shell/screens/MenuSprites.h"
#include "shell/screens/Screen.h"
#include "shell/screens/ScreenKit.h"
#include "shell/screens/Screens.h"
#include "world/GameTables.h"

namespace {
// The car's name, centred above its picture frame and below the page's title strip, in light
// text on the dark page.
constexpr int32_t NameCentreX = 400, NameY = 197;

class TChooseCar : public TScreen {
public:
    explicit TChooseCar(TForm1& form) : TScreen(form, st::ChooseCar, st::ChooseTrack) {}

    void Frame() override {
        if (Keys()) return;
        if (StateFrames < 46) {
            ++StateFrames;
            // From both sides into the bays of the page.
            SlideButtons(F, {{"bc_next", 210}, {"bc_prev", 520}, {"b_back", 282}, {"bc_race", 425}},
                         20);
        }
        F.BeginMenuFrame(1);
        TForm1::CenteredText(F.KerbFont2, NameCentreX, NameY,
                             Cars[static_cast<size_t>(CarIndex)].Name);
        F.EndMenuFrame();
    }

    void Leave() override {
        KillCarDisplay(F);
        F.KillPage();
    }

private:
    void Build() override {
        F.KerbFont1.SetFont("Micra", 13, fsBold);
        F.KerbFont1.SetColor(30, 30, 30);
        F.KerbFont2.SetFont("Micra", 13, fsBold);
        F.KerbFont2.SetColor(250, 250, 250);
        // The arrows choose here; Tab still moves the keyboard focus.
        NewPage(F).List->ArrowsMoveFocus = false;
        AddButton(F, "bc_next", 900, 240, [this] { Step(1); });
        AddButton(F, "bc_prev", -200, 240, [this] { Step(-1); });
        AddButton(F, "b_back", -200, 443, GoTo(F, st::MainMenu));
        AddButton(F, "bc_race", 900, 443, [this] { F.NewGame(); });
        F.PageSprite = NewPageSprite(F, "scr_choosecar", "choosetrack", 500, 180, 150);
        ShowCar();
        PhaseCounter = 0;
    }

    bool Keys() {
        if (EscapeGoesBack()) return true;
        if (ConsumeRelease(vk::Return) && Cars[static_cast<size_t>(CarIndex)].Available != 0) {
            F.NewGame();
            return true;
        }
        if (ConsumeRelease(vk::Right)) Step(1);
        if (ConsumeRelease(vk::Left)) Step(-1);
        return false;
    }

    void Step(int32_t step) {
        F.PlaySound("check");
        CarIndex = WrapStep(CarIndex, step, LastCarIndex);
        ShowCar();
    }

    void ShowCar() {
        CarIndex = std::clamp(CarIndex, 0, LastCarIndex);
        ShowCarDisplay(F, Cars[static_cast<size_t>(CarIndex)]);
        F.Page->Button("bc_race")->Visible = true;
    }
};
}  // namespace

void RegisterChooseCar(TForm1& form) {
    RegisterScreen(form, std::make_shared<TChooseCar>(form));
}
