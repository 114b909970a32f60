#include "gui/search/TVlakno.h"

#include <string_view>
#include <utility>

namespace orbisk {

namespace {

// Runs f on the window's thread and waits for it.
template <typename F>
void OnWindow(QObject* window, F&& f) {
    QMetaObject::invokeMethod(window, std::forward<F>(f), Qt::BlockingQueuedConnection);
}

// Collects results and passes them on in batches; counts them against the cap.
class BatchSink : public TSearchSink {
public:
    BatchSink(QObject* window, const TVlaknoHandlers& handlers, std::int64_t cap)
        : window_(window), handlers_(handlers), cap_(cap), last_(Clock::now()) {}

    void OnArchive(std::int32_t slot, std::string_view name) override {
        Flush();
        if (!handlers_.Archive) return;
        const std::string shown(name);
        OnWindow(window_, [&] { handlers_.Archive(slot, shown); });
    }

    void OnFolder(std::string_view path) override {
        folder_.assign(path);
        if (Clock::now() - last_ >= kBatchInterval) Flush();
    }

    bool OnResult(TSearchResult&& result) override {
        pending_.push_back(std::move(result));
        ++count_;
        if (pending_.size() >= kBatchSize || Clock::now() - last_ >= kBatchInterval) Flush();
        return count_ < cap_;
    }

    // Hands over what is pending, and the folder reached. The interval is
    // counted from when the window has taken the batch: counted from before
    // the wait, a window slower than the interval would be handed every
    // later result alone, one blocking call each.
    void Flush() {
        if (pending_.empty() && folder_ == shownFolder_) {
            last_ = Clock::now();
            return;
        }
        OnWindow(window_, [this] { handlers_.Batch(pending_, folder_); });
        pending_.clear();
        shownFolder_ = folder_;
        last_ = Clock::now();
    }

private:
    using Clock = std::chrono::steady_clock;
    QObject* window_;
    const TVlaknoHandlers& handlers_;
    std::int64_t cap_;
    std::int64_t count_ = 0;
    std::vector<TSearchResult> pending_;
    std::string folder_, shownFolder_;
    Clock::time_point last_;
};

// Shows the run's messages on the interface thread, after the results found
// before them.
class RelayHost : public Host {
public:
    RelayHost(QObject* window, Host& uiHost, BatchSink& sink)
        : window_(window), uiHost_(uiHost), sink_(sink) {}
    void Inform(std::string_view text) override { Relay(text, false); }
    void Warn(std::string_view text) override { Relay(text, true); }
    void FileFailed(const TFileStatus& status) override {
        sink_.Flush();
        OnWindow(window_, [&] { uiHost_.FileFailed(status); });
    }
    void Pump() override {}

private:
    void Relay(std::string_view text, bool warning) {
        sink_.Flush();
        const std::string shown(text);
        OnWindow(window_, [&] { warning ? uiHost_.Warn(shown) : uiHost_.Inform(shown); });
    }
    QObject* window_;
    Host& uiHost_;
    BatchSink& sink_;
};

} // namespace

TVlakno::TVlakno(QObject* window, Job job, std::int64_t cap, TVlaknoHandlers handlers, Host& uiHost,
                 const std::atomic<bool>& stop)
    : window_(window), job_(std::move(job)), cap_(cap), handlers_(std::move(handlers)),
      uiHost_(uiHost), stop_(stop) {
    setObjectName(QStringLiteral("TVlakno"));
}

void TVlakno::run() {
    BatchSink sink(window_, handlers_, cap_);
    RelayHost host(window_, uiHost_, sink);
    const TSearchOutcome outcome = job_(sink, host, stop_);
    sink.Flush();
    OnWindow(window_, [&] { handlers_.Finished(outcome); });
}

} // namespace orbisk
