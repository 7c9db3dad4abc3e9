#include "platform/fatal_report.h"

#include "platform/error_text.h"
#include "platform/exceptions.h"
#include "platform/path_text.h"

#include <QFileInfo>
#include <QMessageBox>
#include <cxxabi.h>
#include <dlfcn.h>
#include <memory>
#include <typeinfo>
#include <unistd.h>

namespace zolvu {

namespace {

std::function<void(const QString&)>& ReportHook() {
    static std::function<void(const QString&)> hook;
    return hook;
}

QString ProgramFileName() {
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path);
    return n > 0 ? QFileInfo(TextFromSystem({path, static_cast<std::size_t>(n)})).fileName() : QString();
}

// The module that holds an address, and the address relative to its load
// address. An address that no module holds counts as the program's own.
void LocateAddress(const void* address, QString& module, std::uintptr_t& offset) {
    Dl_info info{};
    if (address && dladdr(address, &info) && info.dli_fbase) {
        offset = reinterpret_cast<std::uintptr_t>(address) - reinterpret_cast<std::uintptr_t>(info.dli_fbase);
        // The program itself may be reported under its name as started.
        Dl_info self{};
        const bool isProgram =
            dladdr(reinterpret_cast<const void*>(&ProgramFileName), &self) && self.dli_fbase == info.dli_fbase;
        module = (isProgram || !info.dli_fname || !*info.dli_fname)
                     ? ProgramFileName()
                     : QFileInfo(TextFromSystem(info.dli_fname)).fileName();
        return;
    }
    module = ProgramFileName();
    offset = 0;
}

QString Demangled(const std::type_info& type) {
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> name(abi::__cxa_demangle(type.name(), nullptr, nullptr, &status),
                                                     &std::free);
    return QString::fromLatin1(status == 0 && name ? name.get() : type.name());
}

}  // namespace

QString FatalReportText(std::exception_ptr error) {
    QString className;
    QString message;
    const void* address = nullptr;
    try {
        std::rethrow_exception(error);
    } catch (const Exception& e) {
        className = QString::fromLatin1(e.ClassName());
        message = e.Message();
        address = e.RaiseAddress();
    } catch (const std::exception& e) {
        className = Demangled(typeid(e));
    } catch (...) {
        className = QStringLiteral("Exception");
    }
    QString module;
    std::uintptr_t offset = 0;
    LocateAddress(address, module, offset);
    return ExceptionErrorMessage(className, module, offset, message);
}

void SetFatalReportHook(std::function<void(const QString&)> hook) { ReportHook() = std::move(hook); }

void ShowFatalReport(std::exception_ptr error) {
    const QString text = FatalReportText(error);
    if (ReportHook()) {
        ReportHook()(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QString::fromLatin1(ApplicationErrorCaption), text, QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

}  // namespace zolvu
