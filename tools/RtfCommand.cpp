#include <iostream>

#include "Tool.h"
#include "common/FileUtil.h"
#include "richtext/PlainText.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"

int RtfCommand(TToolContext& ctx, const TToolArgs& args) {
    if (args.size() != 2 || (args[0] != "text" && args[0] != "roundtrip"))
        throw TUsageError{"rtf: expected \"text FILE\" or \"roundtrip FILE\""};
    const auto data = fileutil::ReadAll(args[1]);
    if (!data) {
        ctx.prompt.Error("Unable to read " + FromArg(args[1]));
        return kExitFailed;
    }
    const TRichDocument doc = TRtfReader::Read(*data);
    if (args[0] == "text")
        std::cout << plaintext::Utf8(doc);
    else
        std::cout << TRtfWriter::Write(doc);
    return std::cout.flush() ? kExitOk : kExitFailed;
}
