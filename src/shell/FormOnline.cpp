// TForm1's two online actions: the score submission and the web-page shortcut.
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
