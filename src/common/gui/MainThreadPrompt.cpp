#include "common/gui/MainThreadPrompt.h"

#include <QMetaObject>
#include <QThread>
#include <cstdio>

TMainThreadPrompt::TMainThreadPrompt(IUserPrompt& inner, QObject* parent) : QObject(parent), inner_(inner) {}

TMainThreadPrompt::~TMainThreadPrompt() { Close(); }

void TMainThreadPrompt::Close() {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->closed = true;
    }
    shared_->answered.notify_all();
}

template <typename R, typename F>
R TMainThreadPrompt::OnMainThread(const std::string& text, F ask, R fallback) {
    if (QThread::currentThread() == thread()) return ask(inner_);
    struct TAsked {
        bool done = false;
        R answer;
    };
    auto asked = std::make_shared<TAsked>(TAsked{false, fallback});
    {
        std::lock_guard lock(shared_->mutex);
        if (!shared_->closed) {
            // The box owns what it shows: a worker released by Close leaves
            // nothing behind that the box still reads.
            QMetaObject::invokeMethod(
                this,
                [this, shared = shared_, asked, ask] {
                    {
                        std::lock_guard lock(shared->mutex);
                        if (shared->closed) return;
                    }
                    R answer = ask(inner_);
                    std::lock_guard lock(shared->mutex);
                    asked->answer = answer;
                    asked->done = true;
                    shared->answered.notify_all();
                },
                Qt::QueuedConnection);
        }
    }
    std::unique_lock lock(shared_->mutex);
    shared_->answered.wait(lock, [&] { return asked->done || shared_->closed; });
    if (!asked->done) std::fprintf(stderr, "%s\n", text.c_str());
    return asked->answer;
}

void TMainThreadPrompt::Error(const std::string& text) {
    OnMainThread<bool>(
        text,
        [text](IUserPrompt& inner) {
            inner.Error(text);
            return true;
        },
        false);
}

void TMainThreadPrompt::Information(const std::string& text) {
    OnMainThread<bool>(
        text,
        [text](IUserPrompt& inner) {
            inner.Information(text);
            return true;
        },
        false);
}

bool TMainThreadPrompt::YesNo(const std::string& text) {
    return OnMainThread<bool>(text, [text](IUserPrompt& inner) { return inner.YesNo(text); }, false);
}

TPromptAnswer TMainThreadPrompt::YesNoAll(const std::string& text) {
    return OnMainThread<TPromptAnswer>(text, [text](IUserPrompt& inner) { return inner.YesNoAll(text); },
                                       TPromptAnswer::No);
}
