#include "gui/common/Shell.h"

#include <QDesktopServices>
#include <QFileInfo>

namespace orbisk {

namespace {

ShellBackend*& Installed() {
    static ShellBackend* backend = nullptr;
    return backend;
}

DesktopShell& Real() {
    static DesktopShell real;
    return real;
}

} // namespace

ShellBackend* Shell::Install(ShellBackend* backend) {
    ShellBackend* previous = Installed();
    Installed() = backend;
    return previous;
}

ShellBackend& Shell::Current() {
    return Installed() ? *Installed() : Real();
}

bool Shell::OpenUrl(const QUrl& url) {
    return Current().OpenUrl(url);
}

bool Shell::OpenFile(const QString& path) {
    return OpenUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}

bool DesktopShell::OpenUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

RecordingShell::RecordingShell() : previous_(Shell::Install(this)) {}

RecordingShell::~RecordingShell() {
    Shell::Install(previous_);
}

bool RecordingShell::OpenUrl(const QUrl& url) {
    opened.push_back(url);
    return result;
}

} // namespace orbisk
