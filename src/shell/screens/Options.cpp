// The options (state 7): full screen and music switches, the effect volume (slider and two
// step buttons), the free text, Apply and Cancel. The switches and the volume act at once;
// Cancel puts back the values the screen was entered with. "Controls" leads to the key and
// button bindings.
#include <cmath>

#include "platform/KeyCodes.h"
#include "shell/Globals.h"
#include "shell/Storage.h"
#include "shell/screens/Screen.h"
#include "shell/screens/ScreenKit.h"
#include "shell/screens/Screens.h"

namespace {
const char* SwitchPicture(uint8_t on) {
    return on != 0 ? "b_on" : "b_off";
}

class TOptions : public TScreen {
public:
    explicit TOptions(TForm1& form) : TScreen(form, st::Options) {}

    void Enter() override {
        // Back from the controls page, Cancel still undoes what was changed before it.
        if (CurrentState != st::Controls) {
            VolumeBackup = Volume;
            MusicOnBackup = MusicOn;
            FullScreenBackup = FullScreen;
            ExtraTextBackup = ExtraText;
        }
        TScreen::Enter();
    }

    void Frame() override {
        if (ConsumeRelease(vk::Escape)) {
            F.PlaySound("check2");
            Cancel(false);
            return;
        }
        // The edit took the key as a character already.
        KeyTables.Released[vk::Back] = 0;
        Volume = F.Page->Slider()->Position;
        F.Sound3D.SetEffectVolumeStep(Volume);
        F.Page->StepCaret();
        // Alt+Enter or F11 may have flipped full screen meanwhile.
        ShowSwitches();
        F.BeginMenuFrame(0);
        if (TImageListItem* logo = F.KerbImageList1.Find("b_logo")) logo->Draw(638, 480, 0);
        F.EndMenuFrame();
    }

    void Leave() override {
        if (F.Page != nullptr && F.Page->Edit() != nullptr) ExtraText = F.Page->Edit()->Text;
        WriteConfig(F);
        F.KillPage();
    }

    // A choice made with the keys is kept: Cancel does not undo it.
    void FullScreenKey() override { FullScreenBackup = FullScreen; }

private:
    void Build() override {
        F.PageSprite = NewPageSprite(F, "scr_opt", "scrOptions", 20, 180, 160);
        NewPage(F);
        AddButton(F, "b_apply", 275, 417, [this] { Apply(); });
        AddButton(F, "b_cancel", 420, 417, [this] { Cancel(true); });
        AddButton(F, "b_controls", 532, 417, GoTo(F, st::Controls));
        AddButton(F, SwitchPicture(FullScreen), 517, 271, [this] {
            FullScreen = FullScreen != 0 ? 0 : 1;
            F.PlaySound("check");
            ApplyFullScreen();
            ShowSwitches();
        }).Name = "fullscreen";
        AddButton(F, SwitchPicture(MusicOn), 517, 300, [this] {
            MusicOn = MusicOn != 0 ? 0 : 1;
            F.PlaySound("check");
            ApplyMusic();
            ShowSwitches();
        }).Name = "music";
        AddButton(F, "b_menuleft", 467, 327, [this] { StepVolume(-1); });
        AddButton(F, "b_menuright", 606, 327, [this] { StepVolume(1); });
        TKerbEdit& edit = F.Page->AddEdit("Edit", 465, 354);
        std::string text = ExtraText;
        while (!text.empty() && text.back() == '%') text.pop_back();
        edit.SetText(text.substr(0, 12));
        F.Page->AddSlider("opt_bar", F.KerbImageList1.Find("opt_bar"), 486, 328, 120, 20, 0, 5,
                          Volume);
    }

    void ShowSwitches() {
        SetButtonPicture(*F.Page->Button("fullscreen"),
                         F.KerbImageList1.Find(SwitchPicture(FullScreen)));
        SetButtonPicture(*F.Page->Button("music"), F.KerbImageList1.Find(SwitchPicture(MusicOn)));
    }

    void StepVolume(int32_t step) {
        TKerbBar& s = *F.Page->Slider();
        if ((step < 0 && s.Position > s.Min) || (step > 0 && s.Position < s.Max))
            s.Position += step;
        Volume = s.Position;
        F.Sound3D.SetEffectVolumeStep(Volume);
    }

    void ApplyFullScreen() {
        if (FullScreen == FullScreenApplied) return;
        F.KerbScreen1.ToggleFullScreen();
        FullScreenApplied = FullScreen;
    }

    void ApplyMusic() {
        if (MusicOn != 0) {
            F.PlayMusic("menumusic");
        } else {
            F.StopMusic("menumusic");
        }
    }

    void Apply() {
        F.PlaySound("check");
        Volume = F.Page->Slider()->Position;
        F.LeaveState(st::Options);
        ApplyFullScreen();
        F.PlaySound("check");
        F.EnterState(st::MainMenu);
    }

    void Cancel(bool button) {
        const uint8_t musicBefore = MusicOn;
        FullScreen = FullScreenBackup;
        Volume = VolumeBackup;
        MusicOn = MusicOnBackup;
        ExtraText = ExtraTextBackup;
        if (MusicOn != musicBefore) ApplyMusic();
        ApplyFullScreen();
        F.Sound3D.SetEffectVolumeStep(Volume);
        // The leave action keeps the edit's text: give it the old one back first.
        if (F.Page != nullptr && F.Page->Edit() != nullptr) F.Page->Edit()->SetText(ExtraText);
        F.LeaveState(st::Options);
        if (button) F.PlaySound("check");
        F.EnterState(st::MainMenu);
    }

    // What Cancel puts back: the values the page was entered with from the main menu.
    int32_t VolumeBackup = 0;
    uint8_t MusicOnBackup = 1, FullScreenBackup = 0;
    std::string ExtraTextBackup;
};
}  // namespace

void RegisterOptions(TForm1& form) {
    RegisterScreen(form, std::make_shared<TOptions>(form));
}
