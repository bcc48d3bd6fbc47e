#include <iostream>

#include "Tool.h"
#include "app/CommandRequest.h"
#include "common/FileUtil.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"

int FoldersCommand(TToolContext& ctx, const TToolArgs& args) {
    std::string argument;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--command" && i + 1 < args.size())
            argument = args[++i];
        else
            throw TUsageError{"folders: unexpected argument \"" + args[i] + "\""};
    }
    const std::string request = TCommandRequest::FromArgument(FromArg(argument));
    const TFolders* folders = ctx.Folders();
    if (!folders) return kExitFailed;

    TIniFile config(fileutil::FindNoCase(folders->data, cfg::kConfigFile), &ctx.prompt);
    if (!config.Write(cfg::Command, request)) return kExitFailed;

    PrintLine("program=" + folders->program);
    PrintLine("resources=" + folders->resources);
    PrintLine("data=" + folders->data);
    PrintLine("attach=" + folders->attach);
    PrintLine(std::string("first-run=") + (folders->firstRun ? "1" : "0"));
    PrintLine("command=" + config.Read(cfg::Command));
    return kExitOk;
}
