#pragma once

#include "incoming/DecodeThread.h"

// Decodes a base64 attachment.
class TMimeDecodeThread : public TDecodeThread {
public:
    static void Start(const std::string& input, const std::string& output, IUserPrompt& prompt, TDecodeGroup& group,
                      std::shared_ptr<TDownloadFile> source = nullptr);

protected:
    using TDecodeThread::TDecodeThread;
    bool Decode(std::FILE* in, std::FILE* out) override;
};
