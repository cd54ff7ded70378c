#pragma once
// A stream reader over a list of packed archives. Opening a name selects the entry of that
// name in the latest opened archive that has it; reads, positions and the size then work
// inside that entry's byte window.
//
// One reader is shared by several threads (the game thread, a floor worker, loaders). Each
// `open` starts an entry session that lasts until `close`, so a second thread's `open` waits for
// the first session to end instead of failing or interleaving its reads. A session belongs to
// no thread: a streamed source opens its entry on the game thread, reads it on its own thread
// and may close it from either. Streams that keep an entry open for their whole life (music,
// movies) must use readers of their own.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "engine/io/OxArchiveData.h"
#include "engine/io/OxArchiveFormat.h"
#include "engine/io/OxStreamIO.h"
#include "engine/system/shared_vector_ptr.h"
#include "engine/thread/OxCriticalSection.h"

namespace Orvex::FileArchiver {

class OxPackedStreamReader : public IO::StreamIO::IOrvexStreamReader {
public:
    OxPackedStreamReader() = default;
    OxPackedStreamReader(const OxPackedStreamReader&) = delete;
    OxPackedStreamReader& operator=(const OxPackedStreamReader&) = delete;
    ~OxPackedStreamReader() override;

    // Opens every archive in order. 0 on success; kArchiveOpenFailed (0x80000008) at the first
    // archive that cannot be opened: those before it stay, and getLastError names the file and
    // what is wrong with it.
    uint32_t openArchives(const std::vector<std::u16string>& paths, const OxArchiveOptions& options);

    // False while this thread's own session is open; waits while another thread's is.
    bool open(const std::u16string& name) override;
    void close() override;
    bool isOpen() const override { return open_.load(std::memory_order_acquire); }
    std::u16string getFileName() const override;
    uint32_t getSize() override;

    bool readToVector(IO::StreamIO::ByteVector& out, uint32_t count = 0, uint32_t* outCount = nullptr) override;
    bool read(void* buffer, uint32_t count, uint32_t* outCount = nullptr) override;
    bool seek(uint32_t position) override;
    bool tell(uint32_t& position) override;
    bool skip(int32_t delta) override;
    bool rewind() override;
    bool seekToEnd() override;

    bool isLoaded() const { return loaded_ != 0; }
    std::size_t getArchiveCount() const { return archives_.size(); }
    std::u16string getLastError() const;

private:
    bool selectEntry(const std::u16string& name);
    void endSession();

    // Guards the fields below for the length of one call; sessions are tracked apart from it.
    mutable Thread::OxCriticalSection lock_;
    std::mutex sessionLock_;
    std::condition_variable sessionEnded_;
    bool sessionActive_ = false;
    uint32_t sessionOwner_ = 0;
    uint8_t loaded_ = 0;
    OxArchiveOptions options_{};
    System::shared_vector_ptr<OxArchiveData> archives_;
    std::u16string fileName_;
    OxArchiveData* current_ = nullptr;
    std::atomic<bool> open_{false};
    std::u16string lastError_;
};

}  // namespace Orvex::FileArchiver
