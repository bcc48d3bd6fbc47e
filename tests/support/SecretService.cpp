#include "support/SecretService.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

bool WaitFor(const std::string& path, int seconds) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < until) {
        if (std::filesystem::exists(path)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

void StopChild(pid_t& pid) {
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    int status = 0;
    for (int i = 0; i < 250; ++i) {
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            pid = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    pid = -1;
}

}  // namespace

TSecretService::TSecretService() = default;

TSecretService::~TSecretService() { Stop(); }

void TSecretService::Stop() {
    StopChild(keyring_);
    StopChild(bus_);
    address_.reset();
}

bool TSecretService::Start() {
    const std::string d = dir_.Path();
    for (const char* sub : {"data", "run"}) std::filesystem::create_directories(d + sub);
    ::chmod((d + "run").c_str(), 0700);
    if (::access("/usr/bin/dbus-daemon", X_OK) != 0 || ::access("/usr/bin/gnome-keyring-daemon", X_OK) != 0) {
        failure_ = "dbus-daemon or gnome-keyring-daemon is not installed";
        return false;
    }
    const std::string socket = d + "bus";
    const std::string address = "unix:path=" + socket;
    // A bus that starts no service on demand: a keyring started that way
    // would take the user's own home folder.
    {
        std::ofstream conf(d + "bus.conf");
        conf << "<busconfig><type>session</type><listen>" << address
             << "</listen><auth>EXTERNAL</auth><policy context=\"default\"><allow user=\"*\"/>"
                "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                "<allow receive_sender=\"*\"/><allow send_requested_reply=\"true\"/>"
                "<allow receive_requested_reply=\"true\"/><allow own=\"*\"/></policy></busconfig>\n";
    }
    bus_ = ::fork();
    if (bus_ == 0) {
        const std::string config = "--config-file=" + d + "bus.conf";
        ::execl("/usr/bin/dbus-daemon", "dbus-daemon", config.c_str(), "--nofork", "--nopidfile", nullptr);
        ::_exit(127);
    }
    if (bus_ < 0 || !WaitFor(socket, 10)) {
        failure_ = "the session bus did not start";
        return false;
    }
    int input[2];
    if (::pipe(input) != 0) return false;
    keyring_ = ::fork();
    if (keyring_ == 0) {
        ::dup2(input[0], 0);
        ::close(input[0]);
        ::close(input[1]);
        ::setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
        ::setenv("HOME", d.c_str(), 1);
        ::setenv("XDG_DATA_HOME", (d + "data").c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", (d + "run").c_str(), 1);
        ::execl("/usr/bin/gnome-keyring-daemon", "gnome-keyring-daemon", "--unlock", "--components=secrets",
                "--foreground", nullptr);
        ::_exit(127);
    }
    ::close(input[0]);
    // The password of the login keyring it makes and unlocks.
    const char password[] = "keyring test";
    const bool written = ::write(input[1], password, sizeof password - 1) == static_cast<ssize_t>(sizeof password - 1);
    ::close(input[1]);
    if (keyring_ < 0 || !written || !WaitFor(d + "data/keyrings/login.keyring", 10)) {
        failure_ = "gnome-keyring-daemon did not make its keyring";
        return false;
    }
    // Ready once the Secret Service's name is taken on the bus.
    const std::string asked = "dbus-send --bus=" + address +
                              " --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus "
                              "org.freedesktop.DBus.NameHasOwner string:org.freedesktop.secrets 2>/dev/null "
                              "| grep -q true";
    bool owned = false;
    for (int i = 0; i < 250 && !owned; ++i) {
        owned = std::system(asked.c_str()) == 0;
        if (!owned) std::this_thread::sleep_for(std::chrono::milliseconds(40));
    }
    if (!owned) {
        failure_ = "the Secret Service did not appear on the bus";
        return false;
    }
    address_.emplace("DBUS_SESSION_BUS_ADDRESS", address);
    return true;
}
