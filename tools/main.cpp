// skfp-tool: the mail client's core on the command line, for scripting,
// maintenance and tests.

#include <cstring>
#include <iostream>
#include <string_view>

#include "Tool.h"

namespace {

struct TCommand {
    const char* name;
    int (*run)(TToolContext&, const TToolArgs&);
    const char* usage;
};

constexpr TCommand kCommands[] = {
    {"ini", IniCommand,
     "ini get FILE SECTION KEY [DEFAULT]\n"
     "  ini getint FILE SECTION KEY DEFAULT | ini getbool FILE SECTION KEY DEFAULT\n"
     "  ini set FILE SECTION KEY VALUE | ini setint ... | ini setbool FILE SECTION KEY 0|1|true|false\n"
     "  (FILE: a path with \"/\", else a file of the data folder, or Skiffpost.Ini)"},
    {"folders", FoldersCommand, "folders [--command ARG]"},
    {"rtf", RtfCommand, "rtf text FILE | rtf roundtrip FILE"},
    {"fmt", FmtCommand, "fmt  (writes Internet.fmt into the data folder)"},
    {"accounts", AccountsCommand, "accounts   (prints ALIAS TAB POP TAB SMTP TAB SECURITY[/SMTP SECURITY])"},
    {"account", AccountCommand,
     "account add ALIAS [--pop HOST[:PORT]] [--smtp HOST[:PORT]] [--user U] [--pass P | --password-stdin] [--return ADDRESS] [--nick "
     "NAME]\n"
     "      [--security none|starttls|tls] [--smtp-security none|starttls|tls] [--trust-fingerprint SHA256]\n"
     "      [--oauth PROVIDER|none]\n"
     "  account set ALIAS [the options of add]   (changes only what it names)\n"
     "  account detect ADDRESS   (prints the servers found for the address and the sign-in they take)\n"
     "  account keyring on|off|status   (the passwords in the desktop keyring, or in Internet.svr)\n"
     "  account oauth ALIAS [--provider NAME]   (signs in with OAuth2 in the browser: $BROWSER or xdg-open)\n"
     "  account rm ALIAS | account rename OLD NEW"},
    {"mailboxes", MailboxesCommand, "mailboxes"},
    {"list", ListCommand, "list MAILBOX"},
    {"show", ShowCommand, "show [--text] HANDLE   (the stored body, or its plain text in UTF-8)"},
    {"compact", CompactCommand, "compact MAILBOX"},
    {"move", MoveCommand, "move HANDLE MAILBOX"},
    {"destroy", DestroyCommand, "destroy HANDLE"},
    {"trash", TrashCommand, "trash HANDLE   (moves the message to the Trash Can)"},
    {"empty-trash", EmptyTrashCommand, "empty-trash   (destroys every message of the Trash Can; prints how many)"},
    {"mkbox", MkboxCommand, "mkbox NAME [PARENT]"},
    {"rename-box", RenameBoxCommand, "rename-box OLD NEW"},
    {"rmbox", RmboxCommand, "rmbox NAME"},
    {"dict", DictCommand,
     "dict build WORDLIST OUT | dict lookup MAIN [--user USERDCT] WORD...\n"
     "  dict add USERDCT WORD... | dict suggest MAIN [--user USERDCT] [--phoneme] [--max N] WORD"},
    {"process", ProcessCommand,
     "process   (stores every downloaded .tsg message; prints HANDLE TAB MAILBOX TAB SUBJECT)"},
    {"check", CheckCommand, "check [ALIAS...]   (then stores what it downloaded, as process does)"},
    {"compose", ComposeCommand,
     "compose --to TEXT [--cc TEXT] [--bcc TEXT] [--subject TEXT] [--text FILE] [--attach FILE]...\n"
     "  [--server ALIAS] [--type RTF|Text] [--signature NAME]   (prints the new Out Box message's handle)"},
    {"send", SendCommand, "send HANDLE"},
    {"import", ImportCommand,
     "import PATH [--into MAILBOX] [--filters]\n"
     "  (an mbox file, a Maildir, .eml files or a tree of these; without --into a new mailbox named after PATH)"},
    {"export", ExportCommand, "export MAILBOX PATH [--format mbox|eml]   (one mbox file, or a folder of .eml files)"},
    {"search", SearchCommand,
     "search QUERY...   (prints HANDLE TAB MAILBOX TAB DATE TAB WHO TAB SUBJECT, newest first;\n"
     "  exit 1 when nothing is found; the query language is in the README)"},
    {"desktop", DesktopCommand,
     "desktop register [--autostart] | desktop autostart on|off | desktop status\n"
     "  (the menu entry, the mailto: handler and the autostart entry of this user)"},
};

void PrintUsage(std::ostream& out) {
    out << "usage: skfp-tool [--program-folder DIR] [--data DIR] [--attach DIR] [--yes] COMMAND ...\n"
           "commands:\n";
    for (const auto& c : kCommands) out << "  " << c.usage << '\n';
}

}  // namespace

int main(int argc, char** argv) {
    TToolContext ctx;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string_view a = argv[i];
        const auto takeValue = [&]() -> std::string {
            if (i + 1 >= argc) {
                std::cerr << "skfp-tool: " << a << " needs a folder\n";
                PrintUsage(std::cerr);
                std::exit(kExitUsage);
            }
            return argv[++i];
        };
        if (a == "--program-folder")
            ctx.programFolder = takeValue();
        else if (a == "--data")
            ctx.dataFolder = takeValue();
        else if (a == "--attach")
            ctx.attachFolder = takeValue();
        else if (a == "--yes")
            ctx.prompt.SetAnswer(true);
        else if (a == "--help" || a == "-h") {
            PrintUsage(std::cout);
            return kExitOk;
        } else
            break;
    }
    if (i >= argc) {
        PrintUsage(std::cerr);
        return kExitUsage;
    }
    const std::string_view name = argv[i];
    const TToolArgs args(argv + i + 1, argv + argc);
    for (const auto& c : kCommands) {
        if (name != c.name) continue;
        try {
            return c.run(ctx, args);
        } catch (const TUsageError& e) {
            std::cerr << "skfp-tool: " << e.message << "\nusage: skfp-tool " << c.usage << '\n';
            return kExitUsage;
        }
    }
    std::cerr << "skfp-tool: unknown command \"" << name << "\"\n";
    PrintUsage(std::cerr);
    return kExitUsage;
}
