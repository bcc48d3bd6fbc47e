#include <cerrno>
#include <cstring>
#include <iostream>

#include "Tool.h"
#include "config/DesktopEntries.h"

// Run by the installation for the installing user, and by hand to change the
// autostart entry. It touches only the desktop's files, never the data folder.
int DesktopCommand(TToolContext& ctx, const TToolArgs& args) {
    if (args.empty()) throw TUsageError{"desktop: which action?"};
    TDesktopEntries entries(
        TDesktopEntries::FromEnvironment(ctx.programFolder.value_or(TFolderSetup::ExecutableFolder())));
    const auto failed = [](const std::string& what) {
        std::cerr << "skfp-tool: could not write " << what << ": " << std::strerror(errno) << '\n';
        return kExitFailed;
    };
    const std::string& action = args[0];
    if (action == "register") {
        bool autostart = false;
        for (std::size_t i = 1; i < args.size(); ++i) {
            if (args[i] == "--autostart")
                autostart = true;
            else
                throw TUsageError{"desktop: unexpected argument \"" + args[i] + "\""};
        }
        if (!entries.Register(autostart)) return failed("the desktop entries");
    } else if (action == "autostart" && args.size() == 2 && (args[1] == "on" || args[1] == "off")) {
        if (!entries.SetAutostart(args[1] == "on")) return failed(entries.AutostartPath());
    } else if (action == "status" && args.size() == 1) {
        std::cout << "menu-entry=" << entries.MenuEntryPath() << '\n'
                  << "mailto-handler=" << (entries.IsMailtoHandler() ? 1 : 0) << '\n'
                  << "autostart=" << (entries.IsAutostart() ? 1 : 0) << '\n';
    } else {
        throw TUsageError{"desktop: unknown action \"" + action + "\""};
    }
    return kExitOk;
}
