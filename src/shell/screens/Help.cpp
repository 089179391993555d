// Help (state 6): four pages turned with Next and Prev; the three buttons rise into place.
#include <algorithm>

#include "platform/KeyCodes.h"
#include "shell/Globals.h"
#include "shell/screens/ScreenKit.h"
#include "shell/screens/Screens.h"

namespace {
const char* const HelpPictures[] = {"scr_help", "scr_help2", "scr_help3", "scr_help4"};

class THelp {
public:
    explicit THelp(TForm1& form) : F(form) {}

    void Enter() {
        CurrentState = st::Help;
        ClearKeyReleased();
        F.HelpPage = 1;
        F.PageSprite = NewPageSprite(F, "scr_help", "scr_Help", 500, 180, 160);
        NewPage(F);
        AddButton(F, "b_back", 354, 650, GoTo(F, st::MainMenu));
        AddButton(F, "b_next", 488, 710, [this] { Next(); });
        AddButton(F, "b_prev", 218, 770, [this] { Previous(); });
        F.ShowCursor(true);
        StateFrames = 0;
    }

    void Frame() {
        if (ConsumeRelease(vk::Escape)) {
            F.ChangeState(st::MainMenu, "check2");
            return;
        }
        for (TKerbButton* b : F.Page->Buttons()) b->Y = std::max(b->Y - 20, 420);
        F.BeginMenuFrame(1);
        F.EndMenuFrame();
    }

    void Leave() { F.KillPage(); }

private:
    void Show(int32_t page) {
        F.HelpPage = page;
        TImageListItem* picture = F.KerbImageList1.Find(HelpPictures[page - 1]);
        F.PageSprite->SetImage(picture);
    }

    void Next() {
        F.PlaySound("check");
        if (F.HelpPage < 4) Show(F.HelpPage + 1);
    }

    void Previous() {
        if (F.HelpPage > 1) Show(F.HelpPage - 1);
        F.PlaySound("check");
    }

    TForm1& F;
};
}  // namespace

void RegisterHelp(TForm1& form) {
    RegisterScreen(form, st::Help, std::make_shared<THelp>(form));
}
