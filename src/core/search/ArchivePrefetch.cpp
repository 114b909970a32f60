#include "core/search/ArchivePrefetch.h"

#include <algorithm>
#include <system_error>
#include <time.h>

#include "core/catalog/ArchiveFile.h"

namespace orbisk {

namespace {

// Keeps what ReadArchive says for later; a reader thread has nothing to pump.
class RecordingHost : public Host {
public:
    explicit RecordingHost(std::vector<THostMessage>& messages) : messages_(messages) {}
    void Inform(std::string_view text) override { messages_.push_back({false, std::string(text)}); }
    void Warn(std::string_view text) override { messages_.push_back({true, std::string(text)}); }
    void Pump() override {}

private:
    std::vector<THostMessage>& messages_;
};

} // namespace

void LoadRecorded(const std::string& file, TPrefetched& item) {
    item.Messages.clear();
    item.Arch.Head.FileName = file;
    RecordingHost host(item.Messages);
    item.Read = ReadArchive(item.Arch, host).ok;
}

TArchivePrefetch::TArchivePrefetch(std::vector<std::string> files, int readers, TPrepare prepare,
                                   TReadHook hook, TLoad load)
    : files_(std::move(files)), prepare_(std::move(prepare)), hook_(std::move(hook)),
      load_(load ? std::move(load) : TLoad(LoadRecorded)) {
    std::size_t wanted = readers < 0 ? 0 : static_cast<std::size_t>(readers);
    wanted = std::min(wanted, files_.size());
    // The consumer keeps one slot for the archive it matches, one to read
    // ahead and one to read an archive again whose reader is held up; each
    // reader has one to read into and one waiting to be taken.
    slots_.resize(wanted == 0 ? 1 : 3 + 2 * wanted);
    for (std::size_t k = 3; k < slots_.size(); ++k)
        slots_[k].Owner = 1 + (k - 3) / 2;
    for (std::size_t owner = 1; owner <= wanted; ++owner) {
        try {
            threads_.emplace_back([this, owner] { ReaderLoop(owner); });
        } catch (const std::system_error&) {
            break; // go on with the readers that did start, or read in Next
        }
        clockid_t clock{};
        const bool timed = ::pthread_getcpuclockid(threads_.back().native_handle(), &clock) == 0;
        readerClocks_.push_back(timed ? clock : CLOCK_THREAD_CPUTIME_ID);
        readerTimed_.push_back(timed);
    }
}

TArchivePrefetch::~TArchivePrefetch() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    canClaim_.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
}

TArchivePrefetch::TSlot* TArchivePrefetch::FreeSlotOf(std::size_t owner, std::size_t* count) {
    TSlot* found = nullptr;
    std::size_t n = 0;
    for (TSlot& slot : slots_) {
        if (slot.Owner != owner || slot.State != TState::Free) continue;
        if (found == nullptr) found = &slot;
        ++n;
    }
    if (count != nullptr) *count = n;
    return found;
}

TArchivePrefetch::TSlot* TArchivePrefetch::ReadySlot(std::size_t seq) {
    for (TSlot& slot : slots_)
        if (slot.State == TState::Ready && slot.Seq == seq) return &slot;
    return nullptr;
}

void TArchivePrefetch::ReadInto(TSlot& slot, std::size_t seq, std::unique_lock<std::mutex>& lock) {
    slot.State = TState::Reading;
    slot.Seq = seq;
    lock.unlock();
    if (hook_) hook_(seq, slot.Owner != 0);
    load_(files_[seq], slot.Item);
    if (prepare_) prepare_(slot.Item);
    lock.lock();
    slot.State = TState::Ready;
}

void TArchivePrefetch::ReaderLoop(std::size_t owner) {
    std::unique_lock lock(mutex_);
    for (;;) {
        TSlot* slot = nullptr;
        canClaim_.wait(lock, [&] {
            return stopping_ || nextToRead_ >= files_.size() ||
                   (slot = FreeSlotOf(owner)) != nullptr;
        });
        if (stopping_ || nextToRead_ >= files_.size()) return;
        ReadInto(*slot, nextToRead_++, lock);
        if (slot->Seq < delivered_)
            slot->State = TState::Free; // the consumer read it itself meanwhile
        else
            ready_.notify_one();
    }
}

TPrefetched* TArchivePrefetch::Deliver(TSlot& slot) {
    taken_ = &slot;
    delivered_ = slot.Seq + 1;
    bool freed = false;
    for (TSlot& other : slots_) {
        if (&other == &slot || other.State != TState::Ready || other.Seq != slot.Seq) continue;
        other.State = TState::Free; // a second reading of the same file
        freed = true;
    }
    if (freed) canClaim_.notify_all();
    return &slot.Item;
}

TPrefetched* TArchivePrefetch::Next() {
    std::unique_lock lock(mutex_);
    if (taken_ != nullptr) {
        taken_->State = TState::Free;
        if (taken_->Owner != 0) canClaim_.notify_all();
        taken_ = nullptr;
    }
    if (nextToTake_ >= files_.size()) return nullptr;
    const std::size_t seq = nextToTake_++;
    for (;;) {
        if (TSlot* slot = ReadySlot(seq)) return Deliver(*slot);
        std::size_t freeCount = 0;
        TSlot* own = FreeSlotOf(0, &freeCount);
        // Rather than wait, read the next unclaimed archive here: the one
        // wanted (always so without readers), or one further on while a slot
        // stays free for the wanted one.
        if (nextToRead_ < files_.size() && freeCount > (nextToRead_ == seq ? 0u : 1u)) {
            ReadInto(*own, nextToRead_++, lock);
            continue;
        }
        // A reader has the wanted archive. Should that reader be held up
        // (descheduled on a busy machine), read the archive again here.
        if (own == nullptr) {
            ready_.wait(lock);
        } else if (ReaderStalled(seq, lock) && ReadySlot(seq) == nullptr) {
            ReadInto(*own, seq, lock);
        }
    }
}

bool TArchivePrefetch::ReaderStalled(std::size_t seq, std::unique_lock<std::mutex>& lock) {
    std::size_t owner = 0;
    for (const TSlot& slot : slots_)
        if (slot.State == TState::Reading && slot.Seq == seq) owner = slot.Owner;
    const auto wallBefore = std::chrono::steady_clock::now();
    const std::int64_t cpuBefore = ReaderCpuNs(owner);
    if (ready_.wait_for(lock, kRescueAfter) == std::cv_status::no_timeout) return false;
    const std::int64_t cpu = ReaderCpuNs(owner) - cpuBefore;
    const auto wall = std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now() - wallBefore);
    // A reader that ran less than half of the time waited is held up; one
    // that works on a long archive is left to finish it.
    return cpuBefore >= 0 && cpu >= 0 && 2 * cpu < wall.count();
}

std::int64_t TArchivePrefetch::ReaderCpuNs(std::size_t owner) const {
    if (owner == 0 || owner > readerClocks_.size() || !readerTimed_[owner - 1]) return -1;
    timespec ts{};
    if (::clock_gettime(readerClocks_[owner - 1], &ts) != 0) return -1;
    return static_cast<std::int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

} // namespace orbisk
