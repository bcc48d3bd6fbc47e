#include "support/LocalServers.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

bool CanConnect(std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

std::uint16_t FreeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&at), sizeof at);
    socklen_t len = sizeof at;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&at), &len);
    ::close(fd);
    return ntohs(at.sin_port);
}

bool WaitForListener(std::uint16_t port, int seconds) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < until) {
        if (CanConnect(port)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

TDovecotServer::TDovecotServer(std::string user, std::string password)
    : user_(std::move(user)), password_(std::move(password)) {
    for (const char* sub : {"run", "state", "Maildir/new", "Maildir/cur", "Maildir/tmp"})
        std::filesystem::create_directories(dir_.Path() + sub);
}

TDovecotServer::~TDovecotServer() { Stop(); }

void TDovecotServer::EnableTls(const std::string& certFile, const std::string& keyFile) {
    certFile_ = certFile;
    keyFile_ = keyFile;
}

std::string TDovecotServer::Log() const { return ReadFileOrEmpty(dir_.Path() + "dovecot.log"); }

bool TDovecotServer::Start() {
    const std::string d = dir_.Path();
    // Dovecot's own users must reach the folder.
    ::chmod(d.c_str(), 0755);
    const bool root = ::geteuid() == 0;
    std::string users;
    if (root) {
        // Dovecot refuses uid 0 for mail access.
        const passwd* nobody = ::getpwnam("nobody");
        if (!nobody) {
            failure_ = "no user \"nobody\" for the mailbox";
            return false;
        }
        mailUid_ = nobody->pw_uid;
        mailGid_ = nobody->pw_gid;
    } else {
        mailUid_ = ::geteuid();
        mailGid_ = ::getegid();
        const passwd* me = ::getpwuid(mailUid_);
        const std::string name = me ? me->pw_name : "";
        users = "default_internal_user = " + name + "\ndefault_login_user = " + name + "\n";
    }
    for (const char* sub : {"Maildir", "Maildir/new", "Maildir/cur", "Maildir/tmp"})
        if (::chown((d + sub).c_str(), mailUid_, mailGid_) != 0 && root) {
            failure_ = "cannot hand the Maildir to the mail user";
            return false;
        }
    port_ = FreeLoopbackPort();
    const bool tls = !certFile_.empty();
    tlsPort_ = tls ? FreeLoopbackPort() : 0;
    {
        std::ofstream passwdFile(d + "passwd");
        passwdFile << user_ << ":{PLAIN}" << password_ << "\n";
    }
    if (!introspectionUrl_.empty()) {
        std::ofstream oauth(d + "oauth2.conf.ext");
        oauth << "introspection_mode = post\nintrospection_url = " << introspectionUrl_
              << "\nforce_introspection = yes\nusername_attribute = username\nusername_format = %u\n"
                 "active_attribute = active\nactive_value = true\n";
    }
    std::ofstream conf(d + "dovecot.conf");
    conf << "base_dir = " << d << "run\n"
         << "state_dir = " << d << "state\n"
         << "log_path = " << d << "dovecot.log\n"
         << "protocols = pop3\n"
         << "listen = 127.0.0.1\n"
         << (tls ? "ssl = yes\nssl_cert = <" + certFile_ + "\nssl_key = <" + keyFile_ + "\n" : "ssl = no\n")
         << "auth_verbose = yes\n"
         << "disable_plaintext_auth = no\n"
         << "auth_mechanisms = " << (introspectionUrl_.empty() ? "plain" : "xoauth2 oauthbearer") << "\n"
         << "auth_failure_delay = 0\n"
         << "mail_location = maildir:" << d << "Maildir\n"
         << "mail_uid = " << mailUid_ << "\nmail_gid = " << mailGid_ << "\n"
         << "first_valid_uid = 1\n"
         << users << "pop3_uidl_format = %08Xu%08Xv\n"
         << (introspectionUrl_.empty()
                 ? "passdb {\n  driver = passwd-file\n  args = " + d + "passwd\n}\n"
                 : "passdb {\n  driver = oauth2\n  mechanisms = xoauth2 oauthbearer\n  args = " + d +
                       "oauth2.conf.ext\n}\n")
         << "userdb {\n  driver = static\n  args = uid=" << mailUid_ << " gid=" << mailGid_ << " home=" << d
         << "Maildir\n}\n"
         << "service pop3-login {\n  inet_listener pop3 {\n    address = 127.0.0.1\n    port = " << port_
         << "\n  }\n  inet_listener pop3s {\n    address = 127.0.0.1\n    port = " << tlsPort_
         << (tls ? "\n    ssl = yes" : "") << "\n  }\n  chroot =\n}\n"
         << "service anvil {\n  chroot =\n}\n";
    conf.close();
    // In the foreground, so the server is this test's child and is
    // stopped and reaped by it.
    std::remove((d + "run/master.pid").c_str());
    master_ = ::fork();
    if (master_ == 0) {
        const std::string confPath = d + "dovecot.conf";
        ::execlp("dovecot", "dovecot", "-F", "-c", confPath.c_str(), nullptr);
        ::_exit(127);
    }
    if (master_ < 0) {
        failure_ = "cannot start dovecot";
        return false;
    }
    if (!WaitForListener(port_, 10) || (tls && !WaitForListener(tlsPort_, 10))) {
        failure_ = "dovecot does not listen on port " + std::to_string(port_) + "\n" + Log();
        return false;
    }
    return true;
}

void TDovecotServer::Stop() {
    if (master_ <= 0) return;
    ::kill(master_, SIGTERM);
    int status = 0;
    for (int i = 0; i < 250; ++i) {
        if (::waitpid(master_, &status, WNOHANG) == master_) {
            master_ = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(master_, SIGKILL);
    ::waitpid(master_, &status, 0);
    master_ = -1;
}

void TDovecotServer::AddMessage(const std::string& content) {
    ++added_;
    char name[64];
    std::snprintf(name, sizeof name, "%010d.M%dP1.skfp", 1000000000 + added_, added_);
    const std::string tmp = dir_.Path() + "Maildir/tmp/" + name;
    {
        std::ofstream out(tmp, std::ios::binary);
        out << content;
    }
    ::chown(tmp.c_str(), mailUid_, mailGid_);
    std::filesystem::rename(tmp, dir_.Path() + "Maildir/new/" + name);
}

std::string TDovecotServer::WireForm(const std::string& content) {
    std::string out;
    bool lineStart = true;
    for (const char c : content) {
        if (lineStart && c == '.') out += '.';
        if (c == '\n')
            out += "\r\n";
        else
            out += c;
        lineStart = c == '\n';
    }
    if (!lineStart) out += "\r\n";
    return out + ".\r\n";
}

std::size_t TDovecotServer::MessagesOnServer() const {
    std::size_t n = 0;
    for (const char* sub : {"Maildir/new", "Maildir/cur"})
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir_.Path() + sub)) ++n;
    return n;
}

TSmtpSink::TSmtpSink(TSmtpSinkOptions options) : options_(std::move(options)) {}

std::string TSmtpSink::AuthLog() const { return ReadFileOrEmpty(dir_.Path() + "auth.log"); }

TSmtpSink::~TSmtpSink() {
    if (stdinFd_ >= 0) ::close(stdinFd_);  // the sink stops when its input ends
    if (child_ > 0) {
        int status = 0;
        for (int i = 0; i < 250; ++i) {
            if (::waitpid(child_, &status, WNOHANG) == child_) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ::kill(child_, SIGKILL);
        ::waitpid(child_, &status, 0);
    }
}

bool TSmtpSink::Start() {
    const std::string script = dir_.Path() + "sink.py";
    {
        std::ofstream out(script);
        out << R"(import logging, os, ssl, sys, warnings
# The sink's own warnings about test set-ups would only clutter the output.
warnings.simplefilter('ignore')
logging.disable(logging.WARNING)
from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword

class Sink:
    def __init__(self, folder):
        self.folder = folder
        self.count = 0
    async def handle_RCPT(self, server, session, envelope, address, options):
        if address.startswith('reject'):
            return '550 no such user here'
        envelope.rcpt_tos.append(address)
        return '250 OK'
    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        with open(os.path.join(self.folder, 'msg%d.eml' % self.count), 'wb') as f:
            f.write(envelope.original_content)
        with open(os.path.join(self.folder, 'env%d.txt' % self.count), 'w') as f:
            f.write(envelope.mail_from + '\n' + '\n'.join(envelope.rcpt_tos) + '\n')
        return '250 Message accepted for delivery'

mode, cert, key, user, password, introspection = sys.argv[3:9]

import base64, json, urllib.parse, urllib.request
from aiosmtpd.smtp import AuthResult as _Result

async def _oauth(server, args, mechanism):
    if len(args) > 1:
        blob = base64.b64decode(args[1])
    else:
        blob = await server.challenge_auth('')
        if not isinstance(blob, bytes):
            return _Result(success=False, handled=False)
    fields = blob.split(b'\x01')
    login, token = '?', ''
    for f in fields:
        if f.startswith(b'user='):
            login = f[5:].decode()
        if f.startswith(b'n,a='):
            login = f[4:].rstrip(b',').decode()
        if f.startswith(b'auth=Bearer '):
            token = f[12:].decode()
    data = urllib.parse.urlencode({'token': token}).encode()
    with urllib.request.urlopen(introspection, data) as answer:
        said = json.loads(answer.read())
    ok = said.get('active') is True and said.get('username') == login == user
    with open(os.path.join(folder, 'auth.log'), 'a') as f:
        f.write('%s %s %s\n' % (mechanism, login, 'ok' if ok else 'refused'))
    return _Result(success=ok, handled=False)

class OAuthSink(Sink):
    async def auth_XOAUTH2(self, server, args):
        return await _oauth(server, args, 'XOAUTH2')
    async def auth_OAUTHBEARER(self, server, args):
        return await _oauth(server, args, 'OAUTHBEARER')
folder = sys.argv[2]

def authenticator(server, session, envelope, mechanism, auth_data):
    ok = isinstance(auth_data, LoginPassword) and auth_data.login.decode() == user \
        and auth_data.password.decode() == password
    with open(os.path.join(folder, 'auth.log'), 'a') as f:
        login = auth_data.login.decode() if isinstance(auth_data, LoginPassword) else '?'
        f.write('%s %s %s\n' % (mechanism, login, 'ok' if ok else 'refused'))
    # Not handled: the server itself answers a refusal with 535.
    return AuthResult(success=ok, handled=False)

options = {}
context = None
if mode != 'plain':
    context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    context.load_cert_chain(cert, key)
if mode == 'starttls':
    options['tls_context'] = context
elif mode == 'tls':
    options['ssl_context'] = context
if introspection:
    options.update(auth_required=True, auth_require_tls=(mode != 'tls'),
                   auth_exclude_mechanism=['PLAIN', 'LOGIN'])
elif user:
    # Implicit TLS is not known to the server's own check, which only
    # counts STARTTLS; there the whole connection is protected anyway.
    options.update(authenticator=authenticator, auth_required=True, auth_require_tls=(mode != 'tls'))
controller = Controller((OAuthSink if introspection else Sink)(folder), hostname='127.0.0.1', port=int(sys.argv[1]), **options)
controller.start()
sys.stdin.read()
controller.stop()
)";
    }
    port_ = FreeLoopbackPort();
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return false;
    child_ = ::fork();
    if (child_ == 0) {
        ::dup2(pipeFds[0], 0);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        const std::string port = std::to_string(port_);
        const std::string folder = dir_.Path();
        // Debian's aiosmtpd belongs to Debian's own interpreter.
        const char* mode = options_.mode == TSmtpSinkOptions::TMode::ImplicitTls ? "tls"
                           : options_.mode == TSmtpSinkOptions::TMode::StartTls  ? "starttls"
                                                                                 : "plain";
        ::execl("/usr/bin/python3", "python3", script.c_str(), port.c_str(), folder.c_str(), mode,
                options_.certFile.c_str(), options_.keyFile.c_str(), options_.user.c_str(), options_.password.c_str(),
                options_.introspectionUrl.c_str(), nullptr);
        ::_exit(127);
    }
    ::close(pipeFds[0]);
    stdinFd_ = pipeFds[1];
    if (child_ < 0 || !WaitForListener(port_, 15)) {
        failure_ = "the SMTP sink does not listen on port " + std::to_string(port_);
        return false;
    }
    return true;
}
