#include "config/DesktopEntries.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "common/AppTitle.h"
#include "common/FileUtil.h"

namespace {

constexpr const char* kDefaultSection = "[Default Applications]";
// Entries and the association are read by the desktop, which needs no more
// than reading them; nothing private is in them.
constexpr mode_t kPublicFile = 0644;
constexpr mode_t kPublicFolder = 0755;

std::string EnvOr(const char* name, const std::string& fallback) {
    const char* v = std::getenv(name);
    return (v && *v) ? std::string(v) : fallback;
}

// One argument of an Exec line: always quoted, with the characters the
// desktop entry format reserves inside quotes escaped, then the backslashes
// of the whole value doubled because the value itself is an escaped string.
// A "%" would start a field code and is written twice.
std::string ExecArgument(const std::string& path) {
    std::string quoted = "\"";
    for (char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        if (c == '%') quoted += '%';
        quoted += c;
    }
    quoted += '"';
    std::string value;
    for (char c : quoted) {
        if (c == '\\') value += '\\';
        value += c;
    }
    return value;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string Trimmed(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    const auto e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

// The key of a "key=value" line, without blanks around it.
std::string KeyOf(const std::string& line) {
    const auto eq = line.find('=');
    return eq == std::string::npos ? std::string() : Trimmed(line.substr(0, eq));
}

bool IsSectionLine(const std::string& line) {
    const std::string t = Trimmed(line);
    return !t.empty() && t.front() == '[';
}

}  // namespace

TDesktopEntries::Places TDesktopEntries::FromEnvironment(std::string programFolder) {
    const std::string home = EnvOr("HOME", "/tmp");
    return Places{std::move(programFolder), EnvOr("XDG_CONFIG_HOME", home + "/.config"),
                  EnvOr("XDG_DATA_HOME", home + "/.local/share")};
}

TDesktopEntries::TDesktopEntries(Places places) : places_(std::move(places)) {
    places_.programFolder = fileutil::WithTrailingSlash(places_.programFolder);
    places_.configHome = fileutil::WithTrailingSlash(places_.configHome);
    places_.dataHome = fileutil::WithTrailingSlash(places_.dataHome);
}

std::string TDesktopEntries::MenuEntryPath() const { return places_.dataHome + "applications/" + kEntryId; }
std::string TDesktopEntries::AutostartPath() const { return places_.configHome + "autostart/" + kEntryId; }
std::string TDesktopEntries::MimeAppsPath() const { return places_.configHome + "mimeapps.list"; }
std::string TDesktopEntries::RegistrationPath() const { return places_.configHome + "Skiffpost/Install.ini"; }

std::string TDesktopEntries::EntryText(bool autostart) const {
    std::string t =
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Version=1.0\n";
    t += std::string("Name=") + kAppTitle + "\n";
    t += "GenericName=Mail Client\n"
         "Comment=Read, write and send mail\n";
    // The menu entry takes the link a browser hands over; the session starts
    // the program without one.
    t += "Exec=" + ExecArgument(places_.programFolder + "skfp") + (autostart ? "\n" : " %u\n");
    t += "Icon=skiffpost\n"
         "Terminal=false\n"
         "Categories=Network;Email;\n";
    if (!autostart) t += std::string("MimeType=") + kMailtoType + ";\n";
    t += "StartupNotify=false\n";
    return t;
}

bool TDesktopEntries::Register(bool autostart) {
    fileutil::CreateFolders(fileutil::FolderOf(MenuEntryPath()), kPublicFolder);
    if (!fileutil::WriteAtomically(MenuEntryPath(), EntryText(false), kPublicFile)) return false;
    if (!SetMailtoHandler()) return false;
    fileutil::CreateFolders(fileutil::FolderOf(RegistrationPath()));
    const std::string record =
        "[Installation]\nProgram Folder=" + places_.programFolder + "\nMenu Entry=" + kEntryId + "\n";
    if (!fileutil::WriteAtomically(RegistrationPath(), record)) return false;
    return SetAutostart(autostart);
}

bool TDesktopEntries::SetAutostart(bool on) {
    if (!on) return std::remove(AutostartPath().c_str()) == 0 || !fileutil::Exists(AutostartPath());
    fileutil::CreateFolders(fileutil::FolderOf(AutostartPath()), kPublicFolder);
    return fileutil::WriteAtomically(AutostartPath(), EntryText(true), kPublicFile);
}

bool TDesktopEntries::IsAutostart() const { return fileutil::Exists(AutostartPath()); }

// The association lives in the user's mimeapps.list: the line of the
// "[Default Applications]" group is set (added, with the group when missing)
// and every other line and group is kept as it was.
bool TDesktopEntries::SetMailtoHandler() {
    const std::string line = std::string(kMailtoType) + "=" + kEntryId;
    std::vector<std::string> lines = Lines(fileutil::ReadAll(MimeAppsPath()).value_or(""));
    bool inDefaults = false, done = false;
    std::size_t groupEnd = lines.size();
    bool haveGroup = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (IsSectionLine(lines[i])) {
            if (inDefaults && !done) groupEnd = i;
            inDefaults = Trimmed(lines[i]) == kDefaultSection;
            haveGroup = haveGroup || inDefaults;
            continue;
        }
        if (inDefaults && KeyOf(lines[i]) == kMailtoType) {
            lines[i] = line;
            done = true;
        }
    }
    if (!done) {
        if (haveGroup) {
            // The last line of the group that is not blank gets the new line after it.
            std::size_t at = groupEnd;
            while (at > 0 && Trimmed(lines[at - 1]).empty()) --at;
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), line);
        } else {
            if (!lines.empty() && !Trimmed(lines.back()).empty()) lines.emplace_back();
            lines.emplace_back(kDefaultSection);
            lines.push_back(line);
        }
    }
    std::string text;
    for (const auto& l : lines) text += l + "\n";
    fileutil::CreateFolders(places_.configHome, kPublicFolder);
    return fileutil::WriteAtomically(MimeAppsPath(), text, fileutil::ModeOf(MimeAppsPath(), kPublicFile));
}

bool TDesktopEntries::IsMailtoHandler() const {
    bool inDefaults = false;
    for (const auto& l : Lines(fileutil::ReadAll(MimeAppsPath()).value_or(""))) {
        if (IsSectionLine(l)) {
            inDefaults = Trimmed(l) == kDefaultSection;
        } else if (inDefaults && KeyOf(l) == kMailtoType) {
            const std::string value = Trimmed(l.substr(l.find('=') + 1));
            return value.substr(0, value.find(';')) == kEntryId;
        }
    }
    return false;
}
