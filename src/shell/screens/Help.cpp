// Help (state 6): four pages turned with Next and Prev; the three buttons rise into place. The
// first page names the race's keys: the picture leaves its key caps blank and the keys and
// buttons are printed on them as the player bound them.
#include <algorithm>

#include "platform/KeyCodes.h"
#include "shell/Globals.h"
#include "shell/screens/Screen.h"
#include "shell/screens/ScreenKit.h"
#include "shell/screens/Screens.h"

namespace {
const char* const HelpPictures[] = {"scr_help", "scr_help2", "scr_help3", "scr_help4"};
// The key caps of the first page: one row per action.
constexpr int32_t CapsTop = 160 + 62, CapsStep = 22, CapHeight = 13, KeyCapX = 180 + 216,
                  PadCapX = 180 + 356;

class THelp : public TScreen {
public:
    explicit THelp(TForm1& form) : TScreen(form, st::Help, st::MainMenu) {}

    void Frame() override {
        if (EscapeGoesBack()) return;
        for (TKerbButton* b : F.Page->Buttons()) b->Y = std::max(b->Y - 20, 420);
        F.BeginMenuFrame(1);
        if (F.HelpPage == 1) DrawBoundKeys();
        F.EndMenuFrame();
    }

private:
    void Build() override {
        F.HelpPage = 1;
        F.KerbFont2.SetFont("Micra", 8, fsBold);
        F.KerbFont2.SetColor(20, 28, 36);
        F.PageSprite = NewPageSprite(F, "scr_help", "scr_Help", 500, 180, 160);
        NewPage(F);
        AddButton(F, "b_back", 354, 650, GoTo(F, st::MainMenu));
        AddButton(F, "b_next", 488, 710, [this] { Next(); });
        AddButton(F, "b_prev", 218, 770, [this] { Previous(); });
    }

    void DrawBoundKeys() {
        const int32_t half = F.KerbFont2.TextHeight() / 2;
        for (size_t i = 0; i < kActionCount; ++i) {
            const auto a = static_cast<TAction>(i);
            const int32_t y = CapsTop + CapsStep * static_cast<int32_t>(i) + CapHeight / 2 - half;
            TForm1::CenteredText(F.KerbFont2, KeyCapX, y, KeysText(F.Controls, a));
            TForm1::CenteredText(F.KerbFont2, PadCapX, y, ButtonsText(F.Controls, a));
        }
    }

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
};
}  // namespace

void RegisterHelp(TForm1& form) {
    RegisterScreen(form, std::make_shared<THelp>(form));
}
