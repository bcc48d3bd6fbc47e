#include "app/Folders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "common/AppTitle.h"
#include "common/BoundedText.h"
#include "common/FileUtil.h"
#include "common/UserPrompt.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"

namespace fs = std::filesystem;

namespace {

std::string EnvOr(const char* name, const std::string& fallback) {
    const char* v = std::getenv(name);
    return (v && *v) ? std::string(v) : fallback;
}

// The user's home: $HOME, or the account's home when a service or cron job
// started the program without one (mail must not land in a shared /tmp).
std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir && *pw->pw_dir) return pw->pw_dir;
    return "/";
}

// A folder as the location file holds it: at most 255 characters, then a
// trailing "/" unless it has one.
std::string FolderValue(const std::string& value) { return fileutil::WithTrailingSlash(TBoundedText(value).str()); }

// Moves a file, also across file systems. The source is removed only once
// the copy is complete on disk, so a failure at any point loses nothing.
bool MoveFile(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) == 0) return true;
    if (errno != EXDEV) return false;
    const auto content = fileutil::ReadAll(from);
    if (!content || !fileutil::WriteAtomically(to, *content)) return false;
    ::unlink(from.c_str());  // the copy stands; a stale original would only be moved again
    return true;
}

// An installed program folder has no write bits. Root passes access(W_OK)
// on any folder, so the bits are asked too: root running an installed copy
// must not start writing mail into the installation.
bool IsWritableFolder(const std::string& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) return false;
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 && ::access(folder.c_str(), W_OK) == 0;
}

}  // namespace

TFolderSetup::Options TFolderSetup::FromEnvironment(std::string programFolder) {
    Options o;
    o.programFolder = std::move(programFolder);
    const fs::path shared = fs::path(fileutil::WithTrailingSlash(o.programFolder)) / SKFP_SHARED_FROM_PROGRAM;
    o.sharedFolder = fileutil::WithTrailingSlash(shared.lexically_normal().string());
    const std::string home = HomeFolder();
    o.configHome = EnvOr("XDG_CONFIG_HOME", home + "/.config");
    o.dataHome = EnvOr("XDG_DATA_HOME", home + "/.local/share");
    return o;
}

std::string TFolderSetup::ExecutableFolder() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return fileutil::WithTrailingSlash(fs::current_path(ec).string());
    return fileutil::WithTrailingSlash(exe.parent_path().string());
}

std::optional<TFolders> TFolderSetup::Run(const Options& options) {
    TFolders folders;
    folders.program = fileutil::WithTrailingSlash(options.programFolder);

    // A program folder the user may write to (or one that already holds the
    // location file) keeps everything beside the program; an installed,
    // read-only one sends the data to the user's XDG folders.
    // A build folder or a portable copy has the dictionary beside the
    // program. An installation has it in its share folder, and keeps the
    // data in the user's folders even where the program folder is writable
    // (root, an install into the user's own prefix).
    const bool installed = !options.sharedFolder.empty() && !fileutil::Exists(folders.program + cfg::kMainDictionary) &&
                           fileutil::IsDirectory(options.sharedFolder);
    folders.resources = installed ? fileutil::WithTrailingSlash(options.sharedFolder) : folders.program;

    std::string defaultData = folders.program + "Data/";
    std::string defaultAttach = folders.program + "Attach/";
    folders.locationFile = fileutil::FindNoCase(folders.program, cfg::kLocationFile);
    const bool writable = options.isWritable ? options.isWritable(folders.program) : IsWritableFolder(folders.program);
    const bool portable = fileutil::Exists(folders.locationFile) || (writable && !installed);
    if (!portable) {
        const std::string configFolder = fileutil::WithTrailingSlash(options.configHome) + "Skiffpost/";
        const std::string dataRoot = fileutil::WithTrailingSlash(options.dataHome) + "Skiffpost/";
        folders.locationFile = fileutil::FindNoCase(configFolder, cfg::kLocationFile);
        defaultData = dataRoot + "Data/";
        defaultAttach = dataRoot + "Attach/";
        fileutil::CreateFolders(configFolder);
    }

    MigrateOldConfiguration(folders, defaultData, defaultAttach);

    TIniFile location(folders.locationFile, &prompt_);
    folders.data =
        FolderValue(options.dataFolder ? *options.dataFolder
                                       : location.ReadString(cfg::kLocationSection, cfg::kDataFolderKey, defaultData));
    folders.attach = FolderValue(
        options.attachFolder ? *options.attachFolder
                             : location.ReadString(cfg::kLocationSection, cfg::kAttachFolderKey, defaultAttach));

    folders.firstRun = !fileutil::Exists(fileutil::FindNoCase(folders.data, cfg::kConfigFile));

    if (!CreateFolder(folders.attach) || !CreateFolder(folders.data)) return std::nullopt;
    WarnIfExposed(folders.data);
    return folders;
}

void TFolderSetup::WarnIfExposed(const std::string& folder) {
    // The data folder holds the mail and the account passwords. One that
    // another user owns, or that others may write to, lets them read or
    // plant mail and settings: the user is told, the folder is not changed.
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) return;
    const bool foreign = st.st_uid != ::getuid();
    const bool open = (st.st_mode & S_IWOTH) != 0;
    if (!foreign && !open) return;
    prompt_.Error(std::string(kAppTitle) + " found your data folder \"" + folder + "\" unprotected.\n" + "Reason: " +
                  (foreign ? "the folder belongs to another user." : "other users may write to the folder.") + "\n" +
                  "Fix: Make the folder your own and writable only by you (chmod 700).");
}

void TFolderSetup::MigrateOldConfiguration(const TFolders& folders, const std::string& defaultData,
                                           const std::string& defaultAttach) {
    const std::string old = fileutil::FindNoCase(folders.program, cfg::kConfigFile);
    if (!fileutil::Exists(old)) return;

    TIniFile location(folders.locationFile, &prompt_);
    const std::string target =
        FolderValue(location.ReadString(cfg::kLocationSection, cfg::kDataFolderKey, defaultData));
    const std::string attach =
        FolderValue(location.ReadString(cfg::kLocationSection, cfg::kAttachFolderKey, defaultAttach));

    // The data folder may not exist yet on the first start after an upgrade;
    // create it so the move can succeed. A configuration already standing in
    // the data folder is never overwritten.
    fileutil::CreateFolders(target);
    const std::string moved = fileutil::FindNoCase(target, cfg::kConfigFile);
    if (fileutil::Exists(moved) || !MoveFile(old, moved)) return;  // the old file stays where it is

    // The location file names the folder the configuration now lies in.
    location.WriteString(cfg::kLocationSection, cfg::kDataFolderKey, target);
    location.WriteString(cfg::kLocationSection, cfg::kAttachFolderKey, attach);
}

bool TFolderSetup::CreateFolder(const std::string& folder) {
    if (fileutil::IsDirectory(folder)) return true;
    // Mail, attachments and passwords live here: only the user may enter.
    errno = 0;
    if (fileutil::CreateFolders(folder)) return true;
    const int failure = errno;
    prompt_.Error(std::string(kAppTitle) + " could not create the folder \"" + folder + "\".\n" +
                  "Reason: " + (failure ? std::strerror(failure) : std::string("the path is not a folder")) + "\n" +
                  "Fix: Check the \"" + cfg::kDataFolderKey + "\" and \"" + cfg::kAttachFolderKey + "\" entries of " +
                  cfg::kLocationFile + " and the folder's permissions.");
    return false;
}
