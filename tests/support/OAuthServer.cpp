#include "support/OAuthServer.h"

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <thread>

#include "support/LocalServers.h"

namespace {

constexpr const char* kScript = R"(import base64, hashlib, json, os, secrets, sys, urllib.parse
from http.server import BaseHTTPRequestHandler, HTTPServer

port, folder, lifetime = int(sys.argv[1]), sys.argv[2], int(sys.argv[3])
codes, refresh, access = {}, {}, {}

def log(line):
    with open(os.path.join(folder, 'log'), 'a') as f:
        f.write(line + '\n')

def revoked():
    return os.path.exists(os.path.join(folder, 'revoked'))

class Handler(BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass
    def reply(self, status, body, headers=()):
        data = json.dumps(body).encode() if body is not None else b''
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header('Content-Type', 'application/json')
        self.send_header('Content-Length', str(len(data)))
        self.end_headers()
        self.wfile.write(data)
    def do_GET(self):
        url = urllib.parse.urlparse(self.path)
        q = dict(urllib.parse.parse_qsl(url.query))
        if url.path != '/authorize':
            return self.reply(404, {'error': 'not_found'})
        redirect = q.get('redirect_uri', '')
        ok = (q.get('client_id') == 'skfp-test' and q.get('response_type') == 'code'
              and q.get('code_challenge_method') == 'S256' and redirect.startswith('http://127.0.0.1:'))
        log('authorize %s' % q.get('login_hint', '?'))
        if not ok:
            return self.reply(400, {'error': 'invalid_request'})
        code = secrets.token_urlsafe(12)
        codes[code] = (q['code_challenge'], redirect, q.get('login_hint', ''))
        where = redirect + '?' + urllib.parse.urlencode({'code': code, 'state': q.get('state', '')})
        self.reply(302, None, [('Location', where)])
    def do_POST(self):
        size = int(self.headers.get('Content-Length', '0'))
        form = dict(urllib.parse.parse_qsl(self.rfile.read(size).decode()))
        if self.path == '/introspect':
            token = form.get('token', '')
            user = None if revoked() else access.get(token)
            log('introspect %s %s' % (token, 'active' if user else 'inactive'))
            return self.reply(200, {'active': True, 'username': user} if user else {'active': False})
        if self.path != '/token':
            return self.reply(404, {'error': 'not_found'})
        grant = form.get('grant_type')
        log('token %s' % grant)
        if form.get('client_id') != 'skfp-test' or form.get('client_secret') != 's3cret-client':
            return self.reply(401, {'error': 'invalid_client'})
        if grant == 'authorization_code':
            held = codes.pop(form.get('code', ''), None)
            verifier = form.get('code_verifier', '').encode()
            challenge = base64.urlsafe_b64encode(hashlib.sha256(verifier).digest()).rstrip(b'=').decode()
            if not held or held[0] != challenge or held[1] != form.get('redirect_uri'):
                return self.reply(400, {'error': 'invalid_grant'})
            user = held[2]
        elif grant == 'refresh_token':
            user = None if revoked() else refresh.get(form.get('refresh_token', ''))
            if not user:
                return self.reply(400, {'error': 'invalid_grant', 'error_description': 'revoked'})
        else:
            return self.reply(400, {'error': 'unsupported_grant_type'})
        token = 'at-' + secrets.token_urlsafe(16)
        access[token] = user
        body = {'access_token': token, 'token_type': 'Bearer', 'expires_in': lifetime}
        if grant == 'authorization_code':
            body['refresh_token'] = 'rt-' + secrets.token_urlsafe(16)
            refresh[body['refresh_token']] = user
        self.reply(200, body, [('Cache-Control', 'no-store')])

HTTPServer(('127.0.0.1', port), Handler).serve_forever()
)";

}  // namespace

TOAuthServer::TOAuthServer(int lifetime) : lifetime_(lifetime) {}

TOAuthServer::~TOAuthServer() {
    if (child_ <= 0) return;
    ::kill(child_, SIGTERM);
    int status = 0;
    ::waitpid(child_, &status, 0);
}

std::string TOAuthServer::Log() const { return ReadFileOrEmpty(dir_.Path() + "log"); }

void TOAuthServer::RevokeAll() { std::ofstream(dir_.Path() + "revoked") << "yes\n"; }

bool TOAuthServer::Start() {
    const std::string script = dir_.Path() + "oauth.py";
    std::ofstream(script) << kScript;
    port_ = FreeLoopbackPort();
    child_ = ::fork();
    if (child_ == 0) {
        const std::string port = std::to_string(port_);
        const std::string lifetime = std::to_string(lifetime_);
        const std::string folder = dir_.Path();
        ::execl("/usr/bin/python3", "python3", script.c_str(), port.c_str(), folder.c_str(), lifetime.c_str(),
                nullptr);
        ::_exit(127);
    }
    if (child_ < 0 || !WaitForListener(port_, 15)) {
        failure_ = "the authorization server does not listen on port " + std::to_string(port_);
        return false;
    }
    return true;
}
