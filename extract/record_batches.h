// Verifying the records of a data block in batches, on worker threads when
// the machine has more than one processor, with results handed back in order.
// Used by VerificationRun; not an interface of its own.
#pragma once

#include "checks/value_checks.h"
#include "extract/byte_buffer.h"
#include "extract/extract_error.h"
#include "extract/raw_bytes.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace ov {

class RecordBuilder;


// Consecutive lines of the data block as the extract holds them, line ends
// included: whole records, except perhaps at the very end of the block.
struct RecordBatch {
    std::uint64_t firstRecord = 1; // number of its first record, from 1
    std::uint64_t firstLine = 0;   // extract line number of its first line
    RawBytes bytes;                // room for `capacity` bytes
    std::size_t capacity = 0;
    std::size_t used = 0;          // bytes[0, used) hold the lines
    // Results:
    ByteBuffer output; // import lines of the accepted records, each followed by CR LF
    std::vector<ExtractError> faults;
    std::exception_ptr failure;

    void Clear();
    // Room for `n` bytes in all, keeping those used.
    void Reserve(std::size_t n);
};

// What every batch of one run is verified against.
struct BatchContext {
    const std::vector<std::string>* fields = nullptr;
    std::string_view keyFlags;
    RegionalSettings regional;
    int currentYear = 0;
    std::string_view extractFile;
    bool stopAtFirstFault = true; // otherwise every rejected value is kept
};

// Verifies the whole records of `batch` with `builder`, filling its results.
void VerifyBatch(RecordBatch& batch, RecordBuilder& builder, const BatchContext& context);

class BatchPipeline {
public:
    using Delivery = std::function<void(RecordBatch&)>;

    // `workers` threads verify batches (0: the caller's thread does, in
    // Submit); `deliver` gets each verified batch on the caller's thread, in
    // submission order. A batch starts with room for `batchBytes` bytes; a
    // record that does not fit makes it grow.
    BatchPipeline(const BatchContext& context, unsigned workers, std::size_t batchBytes, Delivery deliver);
    // Stops and joins the workers, also when the run ends with an error.
    ~BatchPipeline();
    BatchPipeline(const BatchPipeline&) = delete;
    BatchPipeline& operator=(const BatchPipeline&) = delete;

    // The batch being filled.
    RecordBatch& Current() { return *current_; }
    // Hands on the first `length` bytes of the current batch (or, unless
    // `verify`, lets them go) and starts a new one at `nextRecord`, `nextLine`
    // holding the bytes behind them; delivers what is finished, waiting when
    // too much is in flight.
    void Submit(std::size_t length, bool verify, std::uint64_t nextRecord, std::uint64_t nextLine);
    // Submits (or lets go) the first `length` bytes of the current batch and
    // delivers everything.
    void Finish(std::size_t length, bool verify);

private:
    struct Slot {
        std::unique_ptr<RecordBatch> batch;
        bool done = false;
    };

    void Work();
    void DeliverFinished(bool wait);
    std::unique_ptr<RecordBatch> FreshBatch(std::size_t capacity);
    void Recycle(std::unique_ptr<RecordBatch> batch);

    const BatchContext& context_;
    Delivery deliver_;
    std::unique_ptr<RecordBatch> current_;
    std::unique_ptr<RecordBuilder> inlineBuilder_;
    std::vector<std::unique_ptr<RecordBatch>> spare_;
    std::size_t batchBytes_ = 0;
    std::size_t maxInFlight_ = 0;

    std::mutex mutex_;
    std::condition_variable workReady_;
    std::condition_variable batchDone_;
    std::deque<Slot> inFlight_;        // submission order
    std::deque<RecordBatch*> pending_; // not yet taken by a worker
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

} // namespace ov
