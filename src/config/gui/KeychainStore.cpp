#include "config/gui/KeychainStore.h"

#include <qt6keychain/keychain.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>


namespace {

// How long an answer may take: the first asks whether a keyring is there at
// all; a later one may wait on the user unlocking the keyring.
constexpr int kProbeMs = 10000;
constexpr int kAnswerMs = 120000;

// What a finished job left; shared with the job, which may end after its
// waiter gave up.
struct TOutcome {
    bool done = false;
    QKeychain::Error error = QKeychain::OtherError;
    QByteArray data;
};

// Keys are the program's stored bytes: each byte one character, so every
// key has one name in the keyring.
QString KeyName(const std::string& key) {
    return QString::fromLatin1(key.data(), static_cast<qsizetype>(key.size()));
}

}  // namespace

struct TKeychainStore::TJobs {
    // skfp-tool has no application object; the jobs need one for their
    // events (the Secret Service answers over D-Bus).
    int argc = 1;
    char name[16] = "skfp-tool";
    char* argv[2] = {name, nullptr};
    std::unique_ptr<QCoreApplication> app;

    TJobs() {
        if (!QCoreApplication::instance()) app = std::make_unique<QCoreApplication>(argc, argv);
    }

    // Starts the job and waits for it in a loop of its own, at most ms.
    std::shared_ptr<TOutcome> Run(QKeychain::Job* job, int ms) {
        auto outcome = std::make_shared<TOutcome>();
        QEventLoop loop;
        job->setAutoDelete(true);
        QObject::connect(job, &QKeychain::Job::finished, &loop, [outcome, &loop](QKeychain::Job* finished) {
            outcome->done = true;
            outcome->error = finished->error();
            if (auto* read = qobject_cast<QKeychain::ReadPasswordJob*>(finished)) outcome->data = read->binaryData();
            loop.quit();
        });
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        job->start();
        if (!outcome->done) loop.exec(QEventLoop::ExcludeUserInputEvents);
        // A job that did not answer in time ends on its own later and
        // deletes itself; its connection went with the loop.
        return outcome;
    }
};

TKeychainStore::TKeychainStore(std::string service)
    : service_(std::move(service)), jobs_(std::make_unique<TJobs>()) {}

TKeychainStore::~TKeychainStore() = default;

bool TKeychainStore::Available() {
    if (!available_) {
        // A key nobody stores: "not found" is an answer from a keyring.
        auto* job = new QKeychain::ReadPasswordJob(QString::fromStdString(service_));
        job->setKey(QStringLiteral("(keyring check)"));
        const auto outcome = jobs_->Run(job, kProbeMs);
        available_ =
            outcome->done && (outcome->error == QKeychain::NoError || outcome->error == QKeychain::EntryNotFound);
    }
    return *available_;
}

std::optional<std::string> TKeychainStore::Read(const std::string& key) {
    if (!Available()) return std::nullopt;
    auto* job = new QKeychain::ReadPasswordJob(QString::fromStdString(service_));
    job->setKey(KeyName(key));
    const auto outcome = jobs_->Run(job, kAnswerMs);
    if (!outcome->done || outcome->error != QKeychain::NoError) return std::nullopt;
    return outcome->data.toStdString();
}

bool TKeychainStore::Write(const std::string& key, const std::string& secret) {
    if (!Available()) return false;
    auto* job = new QKeychain::WritePasswordJob(QString::fromStdString(service_));
    job->setKey(KeyName(key));
    job->setBinaryData(QByteArray::fromStdString(secret));
    const auto outcome = jobs_->Run(job, kAnswerMs);
    return outcome->done && outcome->error == QKeychain::NoError;
}

bool TKeychainStore::Remove(const std::string& key) {
    if (!Available()) return false;
    auto* job = new QKeychain::DeletePasswordJob(QString::fromStdString(service_));
    job->setKey(KeyName(key));
    const auto outcome = jobs_->Run(job, kAnswerMs);
    return outcome->done && (outcome->error == QKeychain::NoError || outcome->error == QKeychain::EntryNotFound);
}
