// The message windows on a large body: opening the reader on 1 MB of rich
// text and a composer on a new message, each to a painted window, and a key
// typed into a 1 MB body (the keystroke handled and the box repainted).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <filesystem>
#include <fstream>
#include <memory>

#include "app/gui/ControlCenter.h"
#include "app/gui/MailCommands.h"
#include "app/gui/MessageOpener.h"
#include "app/gui/MessageWindows.h"
#include "common/SleepPump.h"
#include "common/UserPrompt.h"
#include "compose/gui/MessagePad.h"
#include "compose/gui/SRichEdit.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"
#include "store/MailStore.h"
#include "support/BenchFolder.h"
#include "support/QuietPrompt.h"

namespace {

// About 1 MB of rich text: paragraphs of ordinary prose with bold, italic
// and coloured words, as a long formatted letter has.
std::string BigRtf() {
    std::string rtf =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New Roman;}}\r\n"
        "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue128;}\r\n\\pard\\plain\\f0\\fs20 ";
    int i = 0;
    while (rtf.size() < 1024 * 1024) {
        rtf += "Paragraph " + std::to_string(i) + " of the report: the \\b northern\\b0  region shipped \\i " +
               std::to_string(i * 37 % 1000) + "\\i0  units, \\cf1 above\\cf0  the \\f1 forecast\\f0  of the " +
               "\\cf2 quarter\\cf0 ; details follow in the attached tables.\\par\r\n";
        ++i;
    }
    return rtf + "}\r\n";
}

int argc = 1;
char arg0[] = "bench_pads";
char* argv[] = {arg0, nullptr};

struct TRig {
    std::string folder = BenchFolder("pads");
    TQuietPrompt prompt;
    TSleepPump pump;
    TIniFile config{folder + cfg::kConfigFile, &prompt};
    TFolders folders{folder, folder + "Skiffpost.Ini", folder, folder, false, folder};
    TMailStore store{folder, config, prompt, pump};
    std::unique_ptr<TControlCenter> window;
    int big = -1;

    TRig() {
        std::ofstream(folder + cfg::kFormatFile)
            << "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\r\n\\pard\\plain\\f0\\fs20 \r\n";
        config.Write(cfg::ShowMessageOnCreationNew, true);
        // A user writing mail has an account (without one the new-message
        // command opens the new-account editor instead).
        std::ofstream(folder + cfg::kServerFile) << "Home\x01pop.example.org\x01smtp.example.org\x01"
                                                    "ann\x01\x01ann@example.org\x01Ann\x01\r\n";
        window = std::make_unique<TControlCenter>(config, folders, prompt);
        window->SetStore(store);
        window->Initialise();
        auto item = std::make_unique<THeaderItem>();
        item->Mailbox = "In Box";
        item->Subject = "big";
        item->MsgType = "RTF";
        item->Flags = mfRead;
        item->Offset = -1;
        big = store.AddRecord(*item, BigRtf());
    }
    ~TRig() {
        window.reset();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
};

void Painted(QWidget* w) {
    QApplication::processEvents();
    w->repaint();
}

void OpenReaderOnAOneMegabyteBody(benchmark::State& state) {
    QApplication app(argc, argv);
    TRig rig;
    for (auto _ : state) {
        rig.window->Commands()->OpenMessage(rig.big);
        Painted(rig.window->Windows().WindowOf(rig.big));
        state.PauseTiming();
        rig.window->Windows().CloseAll();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}
BENCHMARK(OpenReaderOnAOneMegabyteBody)->Unit(benchmark::kMillisecond)->Iterations(5);

void OpenComposerOnANewMessage(benchmark::State& state) {
    QApplication app(argc, argv);
    TRig rig;
    for (auto _ : state) {
        rig.window->Opener()->NewMessage("");
        Painted(rig.window->Windows().WindowOf(rig.store.Headers().Length() - 1));
        state.PauseTiming();
        rig.window->Windows().CloseAll();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}
BENCHMARK(OpenComposerOnANewMessage)->Unit(benchmark::kMillisecond)->Iterations(10);

void TypeIntoAOneMegabyteBody(benchmark::State& state) {
    QApplication app(argc, argv);
    TRig rig;
    rig.store.ChangeRecord(rig.big, [](THeaderItem& r) { r.Flags = mfQueued; });
    rig.window->Commands()->OpenMessage(rig.big);
    auto* pad = dynamic_cast<TMessagePad*>(rig.window->Windows().Find(rig.big));
    TSRichEdit* body = pad->Body();
    body->setFocus();
    QTextCursor middle = body->textCursor();
    middle.setPosition(body->document()->characterCount() / 2);
    body->setTextCursor(middle);
    Painted(pad);
    for (auto _ : state) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(body, &press);
        QApplication::sendEvent(body, &release);
        Painted(body->viewport());
    }
    pad->SaveTimer().stop();
}
BENCHMARK(TypeIntoAOneMegabyteBody)->Unit(benchmark::kMillisecond)->Iterations(200);

}  // namespace
