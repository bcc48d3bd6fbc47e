#pragma once

#include <functional>
#include <optional>
#include <string>

class IUserPrompt;

// Where the program's files live, as start-up settles it.
struct TFolders {
    std::string program;       // the executable's folder
    std::string locationFile;  // "Skiffpost.Ini"
    std::string data;          // "Internet.ini", mailboxes, list files
    std::string attach;        // decoded attachments
    bool firstRun = false;     // the data folder held no "Internet.ini"
    std::string resources;     // the main dictionary and the user guide: the
                               // program folder, or an installation's share folder
};

// The folder steps of start-up: find the location file, move an older
// "Internet.ini" out of the program folder, read and create the data and
// attachment folders.
class TFolderSetup {
public:
    struct Options {
        std::string programFolder;                // with or without trailing "/"
        // Where an installation keeps the dictionary and the guide (lib/
        // holds the programs, share/ the rest); empty: nowhere but beside
        // the program.
        std::string sharedFolder;
        std::optional<std::string> dataFolder;    // overrides the location file
        std::optional<std::string> attachFolder;  // overrides the location file
        std::string configHome;                   // $XDG_CONFIG_HOME or ~/.config
        std::string dataHome;                     // $XDG_DATA_HOME or ~/.local/share
        // Whether the program may write to a folder; the default asks the
        // file system (root may write anywhere, so tests choose the answer).
        std::function<bool(const std::string&)> isWritable;
    };

    // Options from the environment of the running process; the share
    // folder lies where the installation puts it, relative to the program.
    static Options FromEnvironment(std::string programFolder);
    // The folder of the running executable, with a trailing "/".
    static std::string ExecutableFolder();

    explicit TFolderSetup(IUserPrompt& prompt) : prompt_(prompt) {}

    // Runs the steps; nothing when a folder could not be created (the reason
    // has been shown through the prompt).
    std::optional<TFolders> Run(const Options& options);

private:
    void MigrateOldConfiguration(const TFolders& folders, const std::string& defaultData,
                                 const std::string& defaultAttach);
    bool CreateFolder(const std::string& folder);
    void WarnIfExposed(const std::string& folder);

    IUserPrompt& prompt_;
};
