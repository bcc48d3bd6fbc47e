#include "common/gui/MainThreadPrompt.h"

#include <QMetaObject>
#include <QThread>

template <typename F>
void TMainThreadPrompt::OnMainThread(F work) {
    if (QThread::currentThread() == thread())
        work();
    else
        QMetaObject::invokeMethod(this, work, Qt::BlockingQueuedConnection);
}

void TMainThreadPrompt::Error(const std::string& text) {
    OnMainThread([&] { inner_.Error(text); });
}

void TMainThreadPrompt::Information(const std::string& text) {
    OnMainThread([&] { inner_.Information(text); });
}

bool TMainThreadPrompt::YesNo(const std::string& text) {
    bool answer = false;
    OnMainThread([&] { answer = inner_.YesNo(text); });
    return answer;
}

TPromptAnswer TMainThreadPrompt::YesNoAll(const std::string& text) {
    TPromptAnswer answer = TPromptAnswer::No;
    OnMainThread([&] { answer = inner_.YesNoAll(text); });
    return answer;
}
