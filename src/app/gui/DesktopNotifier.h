#pragma once

#include <cstdint>
#include <string>

#include "transport/Notifier.h"

typedef struct ca_context ca_context;

// Beeps, programs and sounds as the desktop provides them: a program file
// that may be executed is started on its own, any other file opens in the
// application the desktop chooses, and sounds play through libcanberra
// without waiting for their end. Paths are stored text (Windows-1252).
class TDesktopNotifier : public INotifier {
public:
    TDesktopNotifier() = default;
    ~TDesktopNotifier() override;
    TDesktopNotifier(const TDesktopNotifier&) = delete;
    TDesktopNotifier& operator=(const TDesktopNotifier&) = delete;

    void Beep() override;
    void RunProgram(const std::string& path) override;
    // A file that cannot be played (or no sound service) plays nothing.
    void PlaySound(const std::string& path) override;

private:
    ca_context* sound_ = nullptr;  // made at the first sound
    std::uint32_t played_ = 0;
    bool soundFailed_ = false;  // no sound service: not asked again
};
