#pragma once

#include <functional>
#include <memory>

#include "app/Folders.h"

class IEventPump;
class IUserPrompt;
class TControlCenter;
class TIniFile;
class TLeftoverProcessing;
class TMailStore;

// One run of the client, put together in one place apart from the main
// window: the store, the window over it, the processing of the downloads an
// earlier run left (on its own thread, with the window's filters) and the
// start-up sequence. The window coordinates what it shows; what a run is
// made of and how its parts reach each other is decided here.
class TAppRoot {
public:
    // windowMade runs once the window exists and before it is given the
    // store, which may already ask the user something (the prompt's parent).
    TAppRoot(TIniFile& config, const TFolders& folders, IUserPrompt& prompt, IEventPump& pump,
             const std::function<void(TControlCenter&)>& windowMade = {});
    ~TAppRoot();
    TAppRoot(const TAppRoot&) = delete;
    TAppRoot& operator=(const TAppRoot&) = delete;

    TMailStore& Store() const { return *store_; }
    TControlCenter& Window() const { return *window_; }

    // On a new configuration: the preferences (and a first account) before
    // the main window shows. Nothing otherwise.
    void RunFirstRun();
    // The last step of start-up: the window's own start, which also starts
    // the processing of leftovers.
    void Start();
    // A later copy's request (see TJustOne): taken and acted on by the window.
    void TakeHandOver(const std::function<void()>& done);

private:
    TFolders folders_;
    std::unique_ptr<TMailStore> store_;
    std::unique_ptr<TControlCenter> window_;
    // Goes before the window: it works with the window's filters.
    std::unique_ptr<TLeftoverProcessing> processing_;
};
