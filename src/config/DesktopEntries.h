#pragma once

#include <string>

// What an installation registers with the user's desktop: the menu entry,
// the handler of "mailto:" links, the optional autostart entry and the
// record that the program is installed. skfp-uninstall removes exactly these
// again, so every name here is one it knows too.
class TDesktopEntries {
public:
    // The desktop file id of the menu entry and of the autostart entry.
    static constexpr const char* kEntryId = "skiffpost.desktop";
    static constexpr const char* kMailtoType = "x-scheme-handler/mailto";

    struct Places {
        std::string programFolder;  // holds skfp
        std::string configHome;     // $XDG_CONFIG_HOME or ~/.config
        std::string dataHome;       // $XDG_DATA_HOME or ~/.local/share
    };
    static Places FromEnvironment(std::string programFolder);

    explicit TDesktopEntries(Places places);

    std::string MenuEntryPath() const;     // dataHome/applications/skiffpost.desktop
    std::string AutostartPath() const;     // configHome/autostart/skiffpost.desktop
    std::string MimeAppsPath() const;      // configHome/mimeapps.list
    std::string RegistrationPath() const;  // configHome/Skiffpost/Install.ini

    // The menu entry (autostart false) or the autostart entry.
    std::string EntryText(bool autostart) const;

    // Writes the menu entry, makes it the "mailto:" handler, records the
    // installation and writes or removes the autostart entry. False when a
    // file could not be written (errno tells why).
    bool Register(bool autostart);
    // For the preferences: starts the program with the desktop session, or no
    // longer does.
    bool SetAutostart(bool on);
    bool IsAutostart() const;
    // Whether the user's own association hands "mailto:" links to the entry.
    bool IsMailtoHandler() const;

private:
    bool SetMailtoHandler();

    Places places_;
};
