#include "platform/MessageBox.h"

#include <cstdio>

#include "platform/StopSignal.h"

namespace {
TMessageHandler& Handler() {
    static TMessageHandler handler;
    return handler;
}

TWindowBoxShower& WindowBox() {
    static TWindowBoxShower shower = nullptr;
    return shower;
}
}  // namespace

TMessageHandler SetMessageHandler(TMessageHandler handler) {
    TMessageHandler old = std::move(Handler());
    Handler() = std::move(handler);
    return old;
}

void SetWindowBoxShower(TWindowBoxShower shower) {
    WindowBox() = shower;
}

void ShowMessageBox(const std::string& caption, const std::string& text, TMsgButtons buttons,
                    TMsgIcon icon, const std::string& detail) {
    const TMessage message{caption, text, buttons, icon, detail};
    if (Handler()) {
        Handler()(message);
        return;
    }
    if (detail.empty())
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    else
        std::fprintf(stderr, "%s: %s (%s)\n", caption.c_str(), text.c_str(), detail.c_str());
    if (WindowBox() == nullptr || StopRequested()) return;
    WindowBox()(message);
}
