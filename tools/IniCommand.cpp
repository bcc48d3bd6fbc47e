#include <iostream>

#include "Tool.h"
#include "common/TextUtil.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"

namespace {

// FILE names a path when it holds a "/"; a bare name means the location file
// ("Skiffpost.Ini") or a file of the data folder ("Internet.ini").
std::optional<std::string> ResolveFile(TToolContext& ctx, const std::string& file) {
    if (file.find('/') != std::string::npos) return file;
    const TFolders* folders = ctx.Folders();
    if (!folders) return std::nullopt;
    if (text::EqualsNoCase(file, cfg::kLocationFile)) return folders->locationFile;
    return folders->data + file;
}

std::optional<bool> ParseBool(const std::string& v) {
    if (v == "1" || text::EqualsNoCase(v, "true")) return true;
    if (v == "0" || text::EqualsNoCase(v, "false")) return false;
    return std::nullopt;
}

}  // namespace

int IniCommand(TToolContext& ctx, const TToolArgs& args) {
    if (args.size() < 4) throw TUsageError{"ini: too few arguments"};
    const std::string& verb = args[0];
    const auto path = ResolveFile(ctx, args[1]);
    if (!path) return kExitFailed;
    TIniFile ini(*path, &ctx.prompt);
    const std::string section = FromArg(args[2]);
    const std::string key = FromArg(args[3]);
    const auto value = [&]() -> const std::string& {
        if (args.size() != 5) throw TUsageError{"ini " + verb + ": expected FILE SECTION KEY VALUE"};
        return args[4];
    };

    if (verb == "get") {
        if (args.size() > 5) throw TUsageError{"ini get: too many arguments"};
        PrintLine(ini.ReadString(section, key, args.size() == 5 ? FromArg(args[4]) : std::string()));
        return kExitOk;
    }
    if (verb == "getint") {
        const auto def = text::ParseInt(value());
        if (!def) throw TUsageError{"ini getint: DEFAULT must be an integer"};
        std::cout << ini.ReadInteger(section, key, *def) << '\n';
        return kExitOk;
    }
    if (verb == "getbool") {
        const auto def = ParseBool(value());
        if (!def) throw TUsageError{"ini getbool: DEFAULT must be 0, 1, true or false"};
        std::cout << (ini.ReadBool(section, key, *def) ? 1 : 0) << '\n';
        return kExitOk;
    }
    if (verb == "set") return ini.WriteString(section, key, FromArg(value())) ? kExitOk : kExitFailed;
    if (verb == "setint") {
        const auto v = text::ParseInt(value());
        if (!v) throw TUsageError{"ini setint: VALUE must be an integer"};
        return ini.WriteInteger(section, key, *v) ? kExitOk : kExitFailed;
    }
    if (verb == "setbool") {
        const auto v = ParseBool(value());
        if (!v) throw TUsageError{"ini setbool: VALUE must be 0, 1, true or false"};
        return ini.WriteBool(section, key, *v) ? kExitOk : kExitFailed;
    }
    throw TUsageError{"ini: unknown operation \"" + verb + "\""};
}
