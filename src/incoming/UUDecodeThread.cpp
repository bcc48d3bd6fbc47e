#include "incoming/UUDecodeThread.h"

#include <cstdlib>

#include "common/UserPrompt.h"
#include "incoming/UUDecoder.h"
#include "incoming/UUInvalidCharacter.h"

void TUUDecodeThread::Start(const std::string& input, const std::string& output, IUserPrompt& prompt,
                            TDecodeGroup& group, std::shared_ptr<TDownloadFile> source) {
    Launch(std::unique_ptr<TDecodeThread>(new TUUDecodeThread(input, output, prompt, std::move(source))), group);
}

bool TUUDecodeThread::Decode(std::FILE* in, std::FILE* out) {
    char* buffer = nullptr;
    std::size_t capacity = 0;
    std::string bytes;
    bool ok = true;
    try {
        ssize_t n;
        while (ok && (n = ::getline(&buffer, &capacity, in)) >= 0) {
            std::string_view line(buffer, static_cast<std::size_t>(n));
            while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
            bytes.clear();
            uudecode::DecodeLine(line, bytes);
            ok = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
        }
    } catch (const EUUInvalidCharacter& e) {
        Prompt().Error(e.what());
        ok = false;
    }
    std::free(buffer);
    return ok;
}
