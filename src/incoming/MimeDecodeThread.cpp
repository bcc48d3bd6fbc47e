#include "incoming/MimeDecodeThread.h"

#include <vector>

#include "incoming/Base64Decoder.h"

void TMimeDecodeThread::Start(const std::string& input, const std::string& output, IUserPrompt& prompt,
                              TDecodeGroup& group, std::shared_ptr<TDownloadFile> source) {
    Launch(std::unique_ptr<TDecodeThread>(new TMimeDecodeThread(input, output, prompt, std::move(source))), group);
}

bool TMimeDecodeThread::Decode(std::FILE* in, std::FILE* out) {
    // The decoder ignores line ends, so the file goes through in large
    // blocks; memory stays the same for an attachment of any size.
    std::vector<char> block(1 << 16);
    std::string bytes;
    TBase64Decoder decoder;
    while (true) {
        const std::size_t n = std::fread(block.data(), 1, block.size(), in);
        if (n == 0) break;
        bytes.clear();
        decoder.Feed(std::string_view(block.data(), n), bytes);
        if (std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) return false;
        if (decoder.Ended()) break;
    }
    bytes.clear();
    decoder.Finish(bytes);
    return std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
}
