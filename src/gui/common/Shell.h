#pragma once
// Every "open with the desktop" of the program (help, home page, a catalogued
// file, an exported page) goes through Shell. The real backend asks
// QDesktopServices; tests install a RecordingShell, so no browser starts.
#include <QString>
#include <QUrl>
#include <vector>

namespace orbisk {

class ShellBackend {
public:
    virtual ~ShellBackend() = default;
    virtual bool OpenUrl(const QUrl& url) = 0; // true when the desktop took it
};

class Shell {
public:
    static bool OpenUrl(const QUrl& url);
    static bool OpenFile(const QString& path);

    // Replaces the backend and returns the one it replaces; nullptr puts the
    // desktop back. The caller keeps ownership.
    static ShellBackend* Install(ShellBackend* backend);
    static ShellBackend& Current();
};

class DesktopShell : public ShellBackend {
public:
    bool OpenUrl(const QUrl& url) override;
};

// Installs itself for its lifetime and puts the previous backend back after.
class RecordingShell : public ShellBackend {
public:
    RecordingShell();
    ~RecordingShell() override;
    RecordingShell(const RecordingShell&) = delete;
    RecordingShell& operator=(const RecordingShell&) = delete;

    bool OpenUrl(const QUrl& url) override;

    std::vector<QUrl> opened;
    bool result = true; // what OpenUrl answers

private:
    ShellBackend* previous_;
};

} // namespace orbisk
