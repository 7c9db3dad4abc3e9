#pragma once
// The application object: the program's event loop and its one event
// hand-over, on top of QApplication.
//
// Promises:
// - ProcessMessages() dispatches every pending event on the calling (UI)
//   thread and returns as soon as none is pending; it never waits. A quit
//   request posted while it dispatches (a close handled in it) is taken
//   before it returns.
// - Terminate() posts a quit request. Whoever takes it off the queue, the
//   event loop or a hand-over, sets Terminated(); the event loop then ends.
//   Terminated() is never cleared.
// - Every event handler of the program runs under the handler guard
//   (handler_guard.h), so an exception never reaches Qt, in the event loop
//   and inside a hand-over alike.
// - Run() creates the registered forms in order (the first becomes the main
//   form and is shown), then dispatches events until Terminated(). A form
//   constructor that raises leaves its variable null and the exception
//   leaves Run(), before any event is dispatched.

#include <QApplication>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

namespace zolvu {

class TApplication : public QObject {
public:
    TApplication();
    ~TApplication() override;

    void Initialize();

    template <class TForm>
    void CreateForm(TForm*& variable) {
        pendingForms_.push_back([&variable]() -> QWidget* {
            variable = nullptr;
            try {
                variable = new TForm();
            } catch (...) {
                variable = nullptr;
                throw;
            }
            return variable;
        });
    }

    void Run();
    void ProcessMessages();
    void Terminate();
    bool Terminated() const { return terminated_; }
    QWidget* MainForm() const { return mainForm_; }

    // True once Run() has been entered: only then do the application's
    // components exist for DoneApplication to destroy.
    bool RunEntered() const { return runEntered_; }

    // Destroys every form the application created, the main form among them.
    void DestroyComponents();

protected:
    bool event(QEvent* e) override;

private:
    std::vector<std::function<QWidget*()>> pendingForms_;
    std::vector<QWidget*> forms_;
    QWidget* mainForm_ = nullptr;
    bool terminated_ = false;
    bool runEntered_ = false;
};

// The one application object, from the runtime start to the program's end.
extern TApplication* Application;

}  // namespace zolvu
