#include "platform/handler_guard.h"

#include "platform/error_text.h"
#include "platform/exceptions.h"

#include <QMessageBox>

namespace zolvu {

namespace {
std::function<void(const QString&)>& DialogHook() {
    static std::function<void(const QString&)> hook;
    return hook;
}

QString OwnMessage(const std::exception& e) {
    if (const auto* own = dynamic_cast<const Exception*>(&e)) return own->Message();
    return QString::fromUtf8(e.what());
}
}  // namespace

QString InnermostMessage(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        try {
            std::rethrow_if_nested(e);
        } catch (...) {
            const QString inner = InnermostMessage(std::current_exception());
            if (!inner.isEmpty()) return inner;
        }
        return OwnMessage(e);
    } catch (...) {
        return QString();
    }
}

void SetMessageDialogHook(std::function<void(const QString&)> hook) { DialogHook() = std::move(hook); }

void ShowMessageDialog(const QString& text) {
    if (DialogHook()) {
        DialogHook()(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QString(), text, QMessageBox::Ok);
    box.exec();
}

void Guarded(const std::function<void()>& handler) noexcept {
    try {
        handler();
    } catch (const EAbort&) {
    } catch (...) {
        try {
            ShowMessageDialog(HandlerDialogText(InnermostMessage(std::current_exception())));
        } catch (...) {
            // A failing dialog has nowhere left to report to; dispatching goes on.
        }
    }
}

}  // namespace zolvu
