#include "platform/application.h"

#include <QCoreApplication>
#include <QEvent>

namespace zolvu {

TApplication* Application = nullptr;

namespace {
const QEvent::Type QuitRequest = static_cast<QEvent::Type>(QEvent::registerEventType());
}

TApplication::TApplication() { Application = this; }

TApplication::~TApplication() {
    if (Application == this) Application = nullptr;
}

void TApplication::Initialize() {}

void TApplication::Run() {
    runEntered_ = true;
    for (auto& create : pendingForms_) {
        QWidget* form = create();
        forms_.push_back(form);
        if (!mainForm_) mainForm_ = form;
    }
    pendingForms_.clear();
    if (mainForm_) mainForm_->show();
    while (!terminated_) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void TApplication::ProcessMessages() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    // A close handled just now posted its quit request after Qt had read
    // the posted events; this hand-over must still take it, so the stop
    // test right after it sees Terminated.
    QCoreApplication::sendPostedEvents(this, QuitRequest);
}

void TApplication::Terminate() { QCoreApplication::postEvent(this, new QEvent(QuitRequest)); }

bool TApplication::event(QEvent* e) {
    if (e->type() == QuitRequest) {
        terminated_ = true;
        return true;
    }
    return QObject::event(e);
}

void TApplication::DestroyComponents() {
    for (auto it = forms_.rbegin(); it != forms_.rend(); ++it) delete *it;
    forms_.clear();
    mainForm_ = nullptr;
}

}  // namespace zolvu
