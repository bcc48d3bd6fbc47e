// Arbitrary bytes as RTF shown in a rich text box: the document the reader
// makes goes into a QTextDocument and back without a crash, and once it has
// made the trip, a second trip changes nothing of what the writer writes.
#include <QGuiApplication>
#include <QTextDocument>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"
#include "richtext/gui/QtRichText.h"

namespace {
// One application for every input; the offscreen platform unless one is set.
QGuiApplication& Application() {
    static int argc = 1;
    static char name[] = "fuzz_qtrender";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    return *app;
}

TRichDocument Trip(const TRichDocument& doc) {
    QTextDocument shown;
    qtrichtext::Fill(shown, doc);
    return qtrichtext::FromQt(shown);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Application();
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const TRichDocument once = Trip(TRtfReader::Read(input));
    const TRichDocument twice = Trip(once);
    if (TRtfWriter::Write(once) != TRtfWriter::Write(twice)) std::abort();
    return 0;
}
