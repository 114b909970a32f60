#include "gui/search/IndexBuilder.h"

#include <QThread>

#include "core/catalog/ArchiveList.h"
#include "core/search/IndexedSearch.h"

namespace orbisk {

TIndexBuilder::TIndexBuilder(QObject* parent) : QObject(parent) {}

TIndexBuilder::~TIndexBuilder() {
    Stop();
}

bool TIndexBuilder::Start(const TArchiveList& list) {
    if (thread_ || list.Folder == failed_) return false;
    folder_ = list.Folder;
    stop_ = false;
    const unsigned generation = ++generation_;
    // One thread, so that the desktop and a search started meanwhile keep
    // the other cores; the rows are the build's own, so the window may
    // change its list meanwhile.
    thread_.reset(QThread::create([this, generation, list, before = BeforeBuild] {
        if (before) before(stop_);
        TSearchIndex index;
        const bool built = RefreshSearchIndex(list, index, 1, kIndexChangesFloor, &stop_).Usable;
        QMetaObject::invokeMethod(
            this, [this, generation, built] { Finish(generation, built); }, Qt::QueuedConnection);
    }));
    thread_->setObjectName(QStringLiteral("IndexBuilder"));
    thread_->start();
    return true;
}

void TIndexBuilder::Stop() {
    if (!thread_) return;
    stop_ = true;
    thread_->wait();
    thread_.reset();
}

void TIndexBuilder::Finish(unsigned generation, bool built) {
    // The end of a build stopped since, whose thread is gone.
    if (!thread_ || generation != generation_) return;
    thread_->wait();
    thread_.reset();
    // A folder that cannot take an index is not read in vain after every search.
    if (!built) failed_ = folder_;
    Q_EMIT Ended(built);
}

} // namespace orbisk
