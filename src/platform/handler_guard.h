#pragma once
// The guard around every event handler of the program. Qt must never see an
// exception leave a slot or an event override, so each one runs through
// Guarded(). An escaping EAbort is silent; any other exception shows its
// innermost non-empty message (HandlerDialogText's "." rule) in a modal
// dialog with one OK button and an empty title, and dispatching goes on.

#include <QString>
#include <exception>
#include <functional>
#include <utility>

namespace zolvu {

void Guarded(const std::function<void()>& handler) noexcept;

// A slot that runs f under the guard: connect(sender, signal, GuardedSlot(f)).
template <class F>
auto GuardedSlot(F f) {
    return [f = std::move(f)]() { Guarded(f); };
}

// The innermost non-empty message of an exception and the ones nested in
// it (std::throw_with_nested); empty when none has a message.
QString InnermostMessage(std::exception_ptr error);

// Shows the handler dialog; tests may replace it, e.g. to record the text
// and answer OK at once. Passing an empty function restores the dialog.
void ShowMessageDialog(const QString& text);
void SetMessageDialogHook(std::function<void(const QString&)> hook);

}  // namespace zolvu
