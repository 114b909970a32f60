#pragma once
// The worker thread of a search window. It runs one search and hands what it
// finds to the window through blocking queued calls: results in batches (up
// to kBatchSize, or whatever came within kBatchInterval), the folder reached,
// each archive about to be searched, and finally the end of the search. The
// window's side always runs on the interface thread while the worker waits,
// so the results it takes are complete and in run order.
#include <QThread>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/catalog/Host.h"
#include "core/search/SearchRun.h"

namespace orbisk {

inline constexpr std::size_t kBatchSize = 1000;
inline constexpr std::chrono::milliseconds kBatchInterval{50};

// What the window does with the worker's hand-offs; each runs on the
// interface thread.
struct TVlaknoHandlers {
    // Results in run order and the folder the run has reached (empty: none yet).
    std::function<void(std::vector<TSearchResult>& batch, const std::string& folder)> Batch;
    // An archive of a many-archive search is about to be searched.
    std::function<void(std::int32_t slot, const std::string& name)> Archive;
    // The run has ended (all searched, stopped, or a cap reached).
    std::function<void(const TSearchOutcome& outcome)> Finished;
};

class TVlakno : public QThread {
    Q_OBJECT
public:
    // Runs the search; host shows messages on the interface thread.
    using Job =
        std::function<TSearchOutcome(TSearchSink& sink, Host& host, const std::atomic<bool>& stop)>;

    // window: the object whose thread takes the hand-offs; cap: the result
    // that reaches it is the last one handed over. uiHost is used on the
    // interface thread only.
    TVlakno(QObject* window, Job job, std::int64_t cap, TVlaknoHandlers handlers, Host& uiHost,
            const std::atomic<bool>& stop);

protected:
    void run() override;

private:
    QObject* window_;
    Job job_;
    std::int64_t cap_;
    TVlaknoHandlers handlers_;
    Host& uiHost_;
    const std::atomic<bool>& stop_;
};

} // namespace orbisk
