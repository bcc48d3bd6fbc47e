#include <iostream>

#include "Tool.h"
#include "common/FileUtil.h"
#include "common/TextUtil.h"
#include "common/Windows1252.h"
#include "spell/DictionaryBuilder.h"
#include "spell/SpellEngine.h"

namespace {

// Dictionaries hold Windows-1252 words: a word beyond it matches none.
std::string DictWord(const std::string& utf8) { return cp1252::IsValidUtf8(utf8) ? cp1252::FromUtf8(utf8) : utf8; }

// Pulls "--user FILE", "--phoneme" and "--max N" out of the arguments after
// the verb's own first argument.
struct TDictOptions {
    std::string user;
    bool phoneme = false;
    int max = 10;
    std::vector<std::string> words;
};

TDictOptions ParseOptions(const TToolArgs& args, std::size_t from, bool allowSuggest) {
    TDictOptions o;
    for (std::size_t i = from; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--user") {
            if (++i >= args.size()) throw TUsageError{"dict: --user needs a file"};
            o.user = args[i];
        } else if (allowSuggest && a == "--phoneme") {
            o.phoneme = true;
        } else if (allowSuggest && a == "--max") {
            if (++i >= args.size()) throw TUsageError{"dict: --max needs a number"};
            const auto n = text::ParseInt(args[i]);
            if (!n || *n < 1 || *n > 255) throw TUsageError{"dict: --max must be 1 to 255"};
            o.max = *n;
        } else {
            o.words.push_back(DictWord(a));
        }
    }
    return o;
}

bool OpenDictionaries(SpellEngine& engine, const std::string& main, const std::string& user) {
    if (!engine.OpenMainDictionary(main)) {
        std::cerr << "skfp-tool: Could not open dictionary " << main << '\n';
        return false;
    }
    if (!user.empty() && engine.OpenUserDictionary(user) <= 0) {
        std::cerr << "skfp-tool: " << user << " is not a user dictionary or cannot be opened\n";
        return false;
    }
    return true;
}

int Build(const TToolArgs& args) {
    if (args.size() != 3) throw TUsageError{"dict build: expected WORDLIST OUT"};
    const auto list = fileutil::ReadAll(args[1]);
    if (!list) {
        std::cerr << "skfp-tool: cannot read " << args[1] << '\n';
        return kExitFailed;
    }
    TDictionaryBuilder builder;
    builder.AddUtf8List(*list);
    const std::string data = builder.Build();
    // A main dictionary is a shared, read-only resource of the program folder.
    if (!fileutil::WriteAtomically(args[2], data, 0644)) {
        std::cerr << "skfp-tool: cannot write " << args[2] << '\n';
        return kExitFailed;
    }
    const auto& s = builder.Stats();
    std::cout << s.words << " words in " << s.sections << " sections, " << s.skipped << " lines left out\n";
    return kExitOk;
}

int Lookup(const TToolArgs& args) {
    if (args.size() < 3) throw TUsageError{"dict lookup: expected MAIN [--user USERDCT] WORD..."};
    const auto o = ParseOptions(args, 2, false);
    if (o.words.empty()) throw TUsageError{"dict lookup: no word given"};
    SpellEngine engine;
    if (!OpenDictionaries(engine, args[1], o.user)) return kExitFailed;
    for (const auto& w : o.words) PrintLine(w + '\t' + (engine.Lookup(w) ? "yes" : "no"));
    return kExitOk;
}

int Add(const TToolArgs& args) {
    if (args.size() < 3) throw TUsageError{"dict add: expected USERDCT WORD..."};
    SpellEngine engine;
    int identity = engine.OpenUserDictionary(args[1]);
    if (identity == -1 && !fileutil::Exists(args[1])) identity = engine.CreateUserDictionary(args[1]);
    if (identity <= 0) {
        std::cerr << "skfp-tool: " << args[1] << " is not a user dictionary or cannot be opened\n";
        return kExitFailed;
    }
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::string w = DictWord(args[i]);
        PrintLine(w + '\t' + (engine.AddWord(identity, w) ? "added" : "refused"));
    }
    return kExitOk;
}

int Suggest(const TToolArgs& args) {
    if (args.size() < 3) throw TUsageError{"dict suggest: expected MAIN [--user USERDCT] [--phoneme] [--max N] WORD"};
    const auto o = ParseOptions(args, 2, true);
    if (o.words.size() != 1) throw TUsageError{"dict suggest: expected exactly one WORD"};
    SpellEngine engine;
    if (!OpenDictionaries(engine, args[1], o.user)) return kExitFailed;
    for (const auto& s : engine.Suggest(o.words[0], o.phoneme ? stPhoneme : stCloseMatch, o.max)) PrintLine(s);
    return kExitOk;
}

}  // namespace

int DictCommand(TToolContext&, const TToolArgs& args) {
    if (args.empty()) throw TUsageError{"dict: expected build, lookup, add or suggest"};
    const std::string& verb = args[0];
    if (verb == "build") return Build(args);
    if (verb == "lookup") return Lookup(args);
    if (verb == "add") return Add(args);
    if (verb == "suggest") return Suggest(args);
    throw TUsageError{"dict: unknown verb \"" + verb + "\""};
}
