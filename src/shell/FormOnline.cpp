// TForm1's two online actions: the score submission and the web-page shortcut.
#include "platform/OpenUrl.h"
#include "platform/Paths.h"
#include "shell/Form1.h"
#include "shell/Globals.h"
#include "shell/WebPage.h"

void TForm1::SubmitScore() {
    Online.SubmitScore(PlayerName, Score, ExtraText);
}

void TForm1::OpenWebPage() {
    ::OpenWebPage({ProgramDir(), Online.Config().ConfigDir});
}

void TForm1::VisitWebPage(std::string_view servicePath) {
    // Nothing installs a "play.url": without one the buttons show the score service's own
    // pages, so they work in every install.
    const auto address = FindWebPage({ProgramDir(), Online.Config().ConfigDir});
    OpenUrlInBrowser(address ? *address : ServicePage(Online.Config().ServerUrl, servicePath));
}
