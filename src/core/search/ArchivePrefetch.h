#pragma once
// Reading a sequence of archive files ahead on reader threads while their
// consumer works on the one before.
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <pthread.h>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

#include "core/catalog/Archive.h"
#include "core/catalog/Host.h"

namespace orbisk {

// A message that reading an archive would have shown.
struct THostMessage {
    bool Warning = false; // Host::Warn; otherwise Host::Inform
    std::string Text;
};

// One archive as a reader left it.
struct TPrefetched {
    TArch Arch;
    bool Read = false; // ReadArchive succeeded
    std::vector<THostMessage> Messages;
    // Filled by the prepare step on the thread that read the archive (a
    // search: the entries that pass its tests, folder by folder; the entries
    // of folder d are Entries[EntryEnds[d - 1]] up to EntryEnds[d]).
    std::vector<std::int32_t> Entries;
    std::vector<std::size_t> EntryEnds;
    std::int64_t EntriesTested = 0;
    bool Complete = false;         // the prepare step went through the whole archive
    std::string Prepared;          // bytes an index build made of the archive
    std::string_view PreparedTail; // and the bytes of Text that follow them
    std::string Text;              // the file's bytes, when a load took them without parsing
    struct stat Stat {};           // and what fstat(2) gave of the file then
};

// Reads files[0], files[1], ... with ReadArchive (and prepares each, see
// TPrepare), in order, on `readers` threads and on the consuming thread while
// it would otherwise wait for one.
// Every thread reads into TArch slots of its own (the consumer three, each
// reader two; one in all without readers), so an archive's memory is always
// allocated and freed by the same thread, and at most that many archives are
// held at once. When the archive the consumer wants has been with a reader
// for a while (a reader descheduled on a busy machine), the consumer reads it
// again itself and the reader's copy is dropped. Messages are recorded, not
// shown: the consumer passes them on on its own thread. With no reader
// threads (0 asked for, or none could be started) Next reads each archive
// when it is wanted.
class TArchivePrefetch {
public:
    // Called before each reading of file seq, on the thread that reads it
    // (onReader false: the consumer's thread); tests hold readers up with it.
    using TReadHook = std::function<void(std::size_t seq, bool onReader)>;
    // Run on the reading thread right after each archive is read, so work on
    // the archive's memory stays with the thread that filled it.
    using TPrepare = std::function<void(TPrefetched& item)>;
    // Reads file into item in place of LoadRecorded (an index build takes the
    // bytes alone).
    using TLoad = std::function<void(const std::string& file, TPrefetched& item)>;

    TArchivePrefetch(std::vector<std::string> files, int readers, TPrepare prepare = {},
                     TReadHook hook = {}, TLoad load = {});
    ~TArchivePrefetch(); // lets readers finish the archive in hand, then joins them
    TArchivePrefetch(const TArchivePrefetch&) = delete;
    TArchivePrefetch& operator=(const TArchivePrefetch&) = delete;

    // The next archive in file order, reading it or waiting for it; nullptr
    // after the last. The archive returned before is given back.
    TPrefetched* Next();

    std::size_t ReaderCount() const { return threads_.size(); }

private:
    enum class TState { Free, Reading, Ready };
    struct TSlot {
        TPrefetched Item;
        std::size_t Owner = 0; // 0: the consumer; k: reader k
        TState State = TState::Free;
        std::size_t Seq = 0; // the file it holds or is reading
    };
    static constexpr std::chrono::milliseconds kRescueAfter{2};

    // All with mutex_ held (through lock where it is passed).
    void ReaderLoop(std::size_t owner);
    // A free slot of owner, or nullptr; count receives how many are free.
    TSlot* FreeSlotOf(std::size_t owner, std::size_t* count = nullptr);
    // A slot holding file seq read, or nullptr.
    TSlot* ReadySlot(std::size_t seq);
    // Reads file seq into slot, unlocking while reading.
    void ReadInto(TSlot& slot, std::size_t seq, std::unique_lock<std::mutex>& lock);
    // Hands slot to the consumer; other readings of its file are dropped.
    TPrefetched* Deliver(TSlot& slot);
    // Waits a little for file seq; true when it is still not read and the
    // reader that has it got less than half of that time on a processor.
    bool ReaderStalled(std::size_t seq, std::unique_lock<std::mutex>& lock);
    // The processor time reader owner has used, or -1 when unknown.
    std::int64_t ReaderCpuNs(std::size_t owner) const;

    std::vector<std::string> files_;
    TPrepare prepare_;
    TReadHook hook_;
    TLoad load_;
    std::vector<TSlot> slots_;
    std::mutex mutex_;
    std::condition_variable canClaim_; // a reader's slot became free, or stopping
    std::condition_variable ready_;    // a slot became ready
    std::size_t nextToRead_ = 0;       // the next file nobody has claimed
    std::size_t nextToTake_ = 0;       // the next file Next hands out
    std::size_t delivered_ = 0;        // files handed out so far
    TSlot* taken_ = nullptr;           // returned by Next last
    bool stopping_ = false;
    std::vector<std::thread> threads_;
    std::vector<clockid_t> readerClocks_; // processor-time clock of each reader
    std::vector<bool> readerTimed_;       // whether that clock could be had
};

// Loads file into item with ReadArchive, recording its messages.
void LoadRecorded(const std::string& file, TPrefetched& item);

} // namespace orbisk
