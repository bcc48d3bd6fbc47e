#include "incoming/DecodeThread.h"

#include <cerrno>
#include <cstdio>
#include <string>
#include <system_error>

#include "common/AppTitle.h"
#include "common/UserPrompt.h"
#include "incoming/DecodeGroup.h"
#include "incoming/DownloadFile.h"

void TDecodeThread::Launch(std::unique_ptr<TDecodeThread> thread, TDecodeGroup& group) {
    // The job owns the object and frees it before the group counts it done:
    // the group's waiters see the job's last hold on the download let go.
    group.Add([job = std::shared_ptr<TDecodeThread>(std::move(thread))]() mutable {
        job->Run();
        job.reset();
    });
}

void TDecodeThread::Run() {
    bool whole = false;
    int writeError = 0;
    try {
        if (std::FILE* in = std::fopen(input_.c_str(), "rb")) {
            if (std::FILE* out = std::fopen(output_.c_str(), "wb")) {
                const bool complete = Decode(in, out) && !std::ferror(in);
                if (std::ferror(out)) writeError = errno != 0 ? errno : EIO;
                // A full disk may show only when the last block is flushed.
                if (std::fclose(out) != 0 && writeError == 0) writeError = errno != 0 ? errno : EIO;
                whole = complete && writeError == 0;
            } else {
                writeError = errno != 0 ? errno : EIO;
            }
            std::fclose(in);
        }
        if (whole) std::remove(input_.c_str());
    } catch (...) {
        // A thread must never end the program; what was written stays.
    }
    if (writeError != 0) {
        // A decoding error has told the user already; a file that could not
        // be written (a full disk) is said here, once.
        const auto slash = output_.rfind('/');
        prompt_.Error(std::string(kAppTitle) + " could not decode attachment " +
                      (slash == std::string::npos ? output_ : output_.substr(slash + 1)) +
                      ".\nReason: " + std::generic_category().message(writeError) + ".");
    }
    if (!whole && source_) source_->Fail();
}
