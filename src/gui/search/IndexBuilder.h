#pragma once
// Builds the search index of a working folder in the background, on one
// thread, so that the next searches of the folder go through it instead of
// reading every archive file. The index is disposable: a build that fails
// says nothing, and the searches read the files as before.
#include <QObject>
#include <atomic>
#include <functional>
#include <memory>
#include <string>

class QThread;

namespace orbisk {

struct TArchiveList;

class TIndexBuilder : public QObject {
    Q_OBJECT
public:
    explicit TIndexBuilder(QObject* parent = nullptr);
    ~TIndexBuilder() override;

    // Starts building the index of list.Folder from a copy of list, unless a
    // build runs or the last build of that folder failed. True when started.
    bool Start(const TArchiveList& list);
    // Makes a running build stop and waits for its thread, which ends within
    // about one archive's reading and then writes nothing.
    void Stop();
    bool Running() const { return thread_ != nullptr; }
    // The folder of the running or last build.
    const std::string& Folder() const { return folder_; }

    // Runs on the build's thread before the archives are read (tests hold a
    // build up with it until it is told to stop).
    std::function<void(const std::atomic<bool>& stop)> BeforeBuild;

Q_SIGNALS:
    // A build has ended by itself (not by Stop); built: the index is complete.
    void Ended(bool built);

private:
    void Finish(unsigned generation, bool built);

    std::unique_ptr<QThread> thread_;
    std::atomic<bool> stop_{false};
    unsigned generation_ = 0; // tells a running build's end from a stopped one's
    std::string folder_, failed_;
};

} // namespace orbisk
