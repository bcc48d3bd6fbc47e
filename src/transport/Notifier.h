#pragma once

#include <string>

// How the user hears about new mail: a beep, a program or a sound file.
class INotifier {
public:
    virtual ~INotifier() = default;
    virtual void Beep() = 0;
    // Opens the file as the desktop would (a program runs).
    virtual void RunProgram(const std::string& path) = 0;
    // Starts playing a sound file without waiting for its end.
    virtual void PlaySound(const std::string& path) = 0;
};
