#pragma once

#include <gtest/gtest.h>

#include "app/Folders.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"
#include "support/RecordingPrompt.h"
#include "support/TempDir.h"

// A fresh folder that serves as program, resource, data and attachment
// folder at once,
// with the configuration file in it: all the main window needs before it
// shows a store.
class DataFolderFixture : public ::testing::Test {
protected:
    TTempDir dir;
    TRecordingPrompt prompt;
    TIniFile ini{dir.File(cfg::kConfigFile), &prompt};
    TFolders folders{dir.Path(), dir.File(cfg::kLocationFile), dir.Path(), dir.Path(), false, dir.Path()};
};
