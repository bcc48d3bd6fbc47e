#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "common/SleepPump.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"
#include "store/MailStore.h"
#include "support/RecordingPrompt.h"
#include "support/TempDir.h"

// A store over a fresh data folder; Reopen() starts a new run on the same
// files, as the next start of the client would.
class StoreFixture : public ::testing::Test {
protected:
    TTempDir dir;
    TRecordingPrompt prompt;
    TSleepPump pump;
    std::unique_ptr<TIniFile> config;
    std::unique_ptr<TMailStore> store;

    void SetUp() override { Reopen(false); }

    void Reopen(bool loadTree = true) {
        store.reset();
        config = std::make_unique<TIniFile>(dir.File(cfg::kConfigFile), &prompt);
        store = std::make_unique<TMailStore>(dir.Path(), *config, prompt, pump);
        if (loadTree) store->LoadTree();
    }

    static THeaderItem Record(const std::string& mailbox, const std::string& subject, std::uint8_t flags = 0) {
        THeaderItem item;
        item.Mailbox = mailbox;
        item.Subject = subject;
        item.Flags = flags;
        item.Offset = -1;
        return item;
    }
    // A record of a mailbox with a subject and no body, added to the store;
    // its index is written with the mailbox's next save.
    const THeaderItem& Add(const std::string& mailbox, const std::string& subject, std::uint8_t flags = 0) {
        return *store->Headers().At(
            store->AddRecord(Record(mailbox, subject, flags), std::nullopt, TPersist::WithNextSave));
    }
    // A record with a stored body.
    const THeaderItem& AddWithBody(const std::string& mailbox, const std::string& subject, const std::string& body,
                                   std::uint8_t flags = 0) {
        const THeaderItem& item = *store->Headers().At(store->AddRecord(Record(mailbox, subject, flags), body));
        EXPECT_GE(item.Offset, 0) << subject;
        return item;
    }
    int HandleOf(const THeaderItem& item) const { return store->Headers().HandleOf(&item); }
    std::string Body(const THeaderItem& item) {
        std::string body;
        EXPECT_TRUE(store->Files().ReadBody(item, body)) << item.Subject.str();
        return body;
    }
    bool FlagsFree() {
        auto& f = store->Flags();
        return !f.listFill.IsHeld() && !f.rowUpdate.IsHeld() && !f.messageFile.IsHeld() && !f.indexSave.IsHeld();
    }
};
