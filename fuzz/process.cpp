// Arbitrary bytes as one downloaded message, processed into a temporary data
// folder: never a crash or a hang, and the message is always stored.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "QuietParts.h"
#include "common/Clock.h"
#include "common/SleepPump.h"
#include "config/IniFile.h"
#include "incoming/DecodeGroup.h"
#include "incoming/DownloadFile.h"
#include "incoming/MessageParser.h"
#include "mail/MessageStorer.h"
#include "store/MailStore.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string root = "/tmp/skfp-fuzz-process-" + std::to_string(::getpid()) + "/";
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root + "data");
    std::filesystem::create_directories(root + "attach");
    const std::string path = root + "data/acct1.tsg";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    TQuietPrompt prompt;
    TSystemClock clock;
    {
        TDecodeGroup decoders;
        TMessageParser parser(root + "data/", root + "attach/", prompt, decoders, clock);
        auto message = parser.Parse(path);
        if (!message) std::abort();
        // Every attachment listed lies inside the attachment folder.
        std::string_view list = message->record.Attachments;
        while (!list.empty()) {
            const auto end = list.find('\x02');
            if (end == std::string_view::npos) std::abort();
            const std::string_view one = list.substr(0, end);
            if (one.substr(0, root.size() + 7) != root + "attach/" ||
                one.substr(root.size() + 7).find('/') != std::string_view::npos)
                std::abort();
            list.remove_prefix(end + 1);
        }
        decoders.WaitAll();
        // Something of the message that could not be written whole (a
        // uuencoded line with a foreign character, say) keeps the file.
        const bool lost = message->download->Failed();

        // Stored: the download file is gone unless something was lost, and a
        // fresh start reads back the same record and body.
        TSleepPump pump;
        TIniFile config(root + "data/Internet.ini");
        const std::string body = message->body;
        const THeaderItem parsed = message->record;
        {
            TMailStore store(root + "data/", config, prompt, pump);
            store.LoadTree();
            TNoFilterActions actions;
            const std::vector<TListRow> filters;
            TMessageStorer storer(store, filters, actions);
            std::vector<TParsedMessage> batch;
            batch.push_back(std::move(*message));
            storer.Store(batch, "In Box");
        }
        if (std::filesystem::exists(path) != lost) std::abort();
        TMailStore again(root + "data/", config, prompt, pump);
        again.LoadTree();
        const THeaderItem* stored = again.Headers().At(0);
        std::string read;
        if (!stored || again.Headers().Length() != 1 || !again.Files().ReadBody(*stored, read) || read != body)
            std::abort();
        if (stored->Subject != parsed.Subject || stored->Who != parsed.Who || stored->Address != parsed.Address ||
            stored->CCList != parsed.CCList || stored->Date != parsed.Date ||
            stored->Attachments != parsed.Attachments || stored->Flags != parsed.Flags)
            std::abort();
    }
    std::filesystem::remove_all(root);
    return 0;
}
