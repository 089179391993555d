#include "platform/CommandLine.h"

#include <array>

namespace {
// The options that take a value, and where it goes.
struct TValueOption {
    std::string_view Name;
    std::string TCommandLine::*Field;
};
constexpr std::array<TValueOption, 4> ValueOptions{{
    {"--config-dir", &TCommandLine::ConfigDir},
    {"--data", &TCommandLine::DataDir},
    {"--server", &TCommandLine::Server},
    {"--renderer", &TCommandLine::Renderer},
}};

bool TakeValue(const std::vector<std::string_view>& args, size_t& i, TCommandLine& cmd) {
    const std::string_view arg = args[i];
    for (const TValueOption& opt : ValueOptions) {
        std::optional<std::string_view> value;
        if (arg == opt.Name) {
            if (i + 1 < args.size()) value = args[++i];
        } else if (arg.size() > opt.Name.size() && arg.substr(0, opt.Name.size()) == opt.Name &&
                   arg[opt.Name.size()] == '=') {
            value = arg.substr(opt.Name.size() + 1);
        } else {
            continue;
        }
        if (!value || value->empty()) {
            cmd.Error = std::string(opt.Name) + " needs a value after it";
        } else {
            cmd.*(opt.Field) = std::string(*value);
        }
        return true;
    }
    return false;
}
}  // namespace

TCommandLine ParseCommandLine(const std::vector<std::string_view>& args) {
    TCommandLine cmd;
    for (size_t i = 0; i < args.size() && cmd.Error.empty(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h") {
            cmd.Help = true;
        } else if (arg == "--version") {
            cmd.Version = true;
        } else if (arg == "--fullscreen") {
            cmd.FullScreen = true;
        } else if (arg == "--windowed") {
            cmd.FullScreen = false;
        } else if (arg == "--stats") {
            cmd.Stats = true;
        } else if (!TakeValue(args, i, cmd)) {
            cmd.Error = "unknown option " + std::string(arg);
        }
    }
    return cmd;
}

std::string UsageText() {
    return "Usage: velkaro [OPTION]...\n"
           "A top-down arcade car racing game.\n"
           "\n"
           "  --fullscreen        start in full screen\n"
           "  --windowed          start in a window\n"
           "  --config-dir DIR    keep settings, players and scores in DIR\n"
           "                      (default: $VELKARO_CONFIG_DIR, else ~/.local/share/Velkaro)\n"
           "  --data DIR          read Data/, Sounds/ and Fonts/ from DIR\n"
           "  --server URL        the score service to send scores to\n"
           "                      (default: $VELKARO_SERVER)\n"
           "  --renderer NAME     auto, software or opengl (default: $VELKARO_RENDERER, else\n"
           "                      auto: OpenGL on a real GPU, else SDL's software renderer)\n"
           "  --stats             print frame rate, frame gaps, memory and renderer at exit\n"
           "  --help              show this text and exit\n"
           "  --version           show the version and exit\n"
           "\n"
           "Keys: arrows drive, Space or Ctrl handbrake, H horn, P or F1 pause, Escape quit menu,\n"
           "Alt+Enter or F11 full screen. Game controllers work too (see README).\n";
}
