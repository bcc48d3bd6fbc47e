#include "Tool.h"
#include "common/FileUtil.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"
#include "richtext/FormatFile.h"

int FmtCommand(TToolContext& ctx, const TToolArgs& args) {
    if (!args.empty()) throw TUsageError{"fmt: unexpected argument \"" + args[0] + "\""};
    const TFolders* folders = ctx.Folders();
    if (!folders) return kExitFailed;
    const TIniFile config(fileutil::FindNoCase(folders->data, cfg::kConfigFile), &ctx.prompt);
    const std::string path = fileutil::FindNoCase(folders->data, cfg::kFormatFile);
    if (!TFormatFile::Write(config, path)) {
        ctx.prompt.Error("Unable to write to " + path);
        return kExitFailed;
    }
    PrintLine(path);
    return kExitOk;
}
