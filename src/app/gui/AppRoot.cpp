#include "app/gui/AppRoot.h"

#include "app/gui/ControlCenter.h"
#include "app/gui/LeftoverProcessing.h"
#include "app/gui/ListPages.h"
#include "app/gui/MailCommands.h"
#include "store/MailStore.h"

TAppRoot::TAppRoot(TIniFile& config, const TFolders& folders, IUserPrompt& prompt, IEventPump& pump,
                   const std::function<void(TControlCenter&)>& windowMade)
    : folders_(folders) {
    store_ = std::make_unique<TMailStore>(folders_.data, config, prompt, pump);
    window_ = std::make_unique<TControlCenter>(config, folders_, prompt);
    if (windowMade) windowMade(*window_);
    window_->SetStore(*store_);
    processing_ = std::make_unique<TLeftoverProcessing>(*store_, folders_, prompt, window_->ListPages()->Filters(),
                                                        window_->FilterActions());
    window_->SetLeftoverProcessing(
        [this] { processing_->Start([this] { window_->Commands()->ProcessingFinished(); }); });
}

// The processing first (its thread works with the window's filters), then
// the window (its message windows save through the store), then the store.
TAppRoot::~TAppRoot() {
    processing_.reset();
    window_.reset();
}

void TAppRoot::RunFirstRun() {
    if (folders_.firstRun) window_->RunFirstRun();
}

void TAppRoot::Start() { window_->Initialise(); }

void TAppRoot::TakeHandOver(const std::function<void()>& done) { window_->TakeHandOver(done); }
