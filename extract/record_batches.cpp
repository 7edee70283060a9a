#include "extract/record_batches.h"

#include "extract/extract_messages.h"
#include "extract/line_rules.h"
#include "extract/record_builder.h"

#include <algorithm>

namespace ov {

void RecordBatch::Reserve(std::size_t n)
{
    if (n <= capacity)
        return;
    GrowRawBytes(bytes, n);
    capacity = n;
}

void RecordBatch::Clear()
{
    used = 0;
    output.Clear();
    faults.clear();
    failure = nullptr;
}

void VerifyBatch(RecordBatch& batch, RecordBuilder& builder, const BatchContext& context)
{
    const std::size_t k = builder.SuppliedCount();
    if (k == 0)
        return;
    const char* p = batch.bytes.get();
    const char* const end = p + batch.used;
    std::uint64_t record = batch.firstRecord;
    std::uint64_t lineNumber = batch.firstLine;
    std::size_t j = 0;
    bool bad = false;
    while (p != end) {
        // The batch ends behind a line end, or with the extract's last line.
        const char* lineEnd = FindLineEnd(p, end);
        const std::string_view line(p, static_cast<std::size_t>(lineEnd - p));
        p = lineEnd == end ? end : lineEnd + LineEndLength(lineEnd, end);
        if (j == 0) {
            builder.PrepareRecord();
            bad = false;
        }
        if (!builder.StoreValue(j, line)) {
            bad = true;
            ValueFault fault;
            fault.record = record;
            fault.field = static_cast<int>(j + 1);
            fault.position = static_cast<int>(builder.SuppliedPosition(j) + 1);
            fault.label = builder.Label(j);
            fault.typeCode = builder.TypeCode(j);
            fault.value = QuoteExcerpt(line);
            fault.lineNumber = lineNumber;
            std::string message = BadValueMessage(context.extractFile, fault.record, fault.field, fault.label,
                                                  builder.Fragment(j), line);
            batch.faults.emplace_back(ExtractFault::BadValue, message, std::move(fault));
            if (context.stopAtFirstFault)
                return;
        }
        ++lineNumber;
        if (++j == k) {
            j = 0;
            ++record;
            if (!bad) {
                builder.AppendImportLine(batch.output);
            }
        }
    }
}

BatchPipeline::BatchPipeline(const BatchContext& context, unsigned workers, std::size_t batchBytes,
                             Delivery deliver)
    : context_(context), deliver_(std::move(deliver)), maxInFlight_(2 * static_cast<std::size_t>(workers) + 2)
{
    batchBytes_ = batchBytes == 0 ? 1 : batchBytes;
    current_ = FreshBatch(batchBytes_);
    if (workers == 0) {
        inlineBuilder_ = std::make_unique<RecordBuilder>(*context.fields, context.keyFlags, context.regional,
                                                         context.currentYear);
        return;
    }
    for (unsigned i = 0; i < workers; ++i)
        threads_.emplace_back([this] { Work(); });
}

BatchPipeline::~BatchPipeline()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    workReady_.notify_all();
    for (std::thread& t : threads_)
        t.join();
}

std::unique_ptr<RecordBatch> BatchPipeline::FreshBatch(std::size_t capacity)
{
    std::unique_ptr<RecordBatch> batch;
    if (spare_.empty()) {
        batch = std::make_unique<RecordBatch>();
    } else {
        batch = std::move(spare_.back());
        spare_.pop_back();
        batch->Clear();
    }
    batch->Reserve(capacity);
    return batch;
}

void BatchPipeline::Recycle(std::unique_ptr<RecordBatch> batch)
{
    // A batch grown for a huge record gives its memory back.
    if (batch->capacity <= 4 * batchBytes_)
        spare_.push_back(std::move(batch));
}

void BatchPipeline::Work()
{
    RecordBuilder builder(*context_.fields, context_.keyFlags, context_.regional, context_.currentYear);
    for (;;) {
        RecordBatch* batch = nullptr;
        {
            std::unique_lock lock(mutex_);
            workReady_.wait(lock, [this] { return stopping_ || !pending_.empty(); });
            if (stopping_)
                return;
            batch = pending_.front();
            pending_.pop_front();
        }
        try {
            VerifyBatch(*batch, builder, context_);
        } catch (...) {
            batch->failure = std::current_exception();
        }
        {
            std::lock_guard lock(mutex_);
            for (Slot& slot : inFlight_)
                if (slot.batch.get() == batch)
                    slot.done = true;
        }
        batchDone_.notify_all();
    }
}

void BatchPipeline::DeliverFinished(bool wait)
{
    for (;;) {
        std::unique_ptr<RecordBatch> batch;
        {
            std::unique_lock lock(mutex_);
            if (inFlight_.empty())
                return;
            if (wait)
                batchDone_.wait(lock, [this] { return inFlight_.front().done; });
            else if (!inFlight_.front().done)
                return;
            batch = std::move(inFlight_.front().batch);
            inFlight_.pop_front();
        }
        deliver_(*batch);
        Recycle(std::move(batch));
        std::lock_guard lock(mutex_);
        wait = wait && inFlight_.size() >= maxInFlight_;
    }
}

void BatchPipeline::Submit(std::size_t length, bool verify, std::uint64_t nextRecord, std::uint64_t nextLine)
{
    std::unique_ptr<RecordBatch> batch = std::move(current_);
    // The bytes behind the handed-on part start the new batch.
    const std::size_t rest = batch->used - length;
    current_ = FreshBatch(std::max(batchBytes_, rest));
    current_->firstRecord = nextRecord;
    current_->firstLine = nextLine;
    std::copy_n(batch->bytes.get() + length, rest, current_->bytes.get());
    current_->used = rest;
    batch->used = length;
    if (length == 0 || !verify) {
        Recycle(std::move(batch));
        return;
    }
    if (inlineBuilder_) {
        VerifyBatch(*batch, *inlineBuilder_, context_);
        deliver_(*batch);
        Recycle(std::move(batch));
        return;
    }
    bool full;
    {
        std::lock_guard lock(mutex_);
        pending_.push_back(batch.get());
        inFlight_.push_back({std::move(batch), false});
        full = inFlight_.size() >= maxInFlight_;
    }
    workReady_.notify_one();
    DeliverFinished(full);
}

void BatchPipeline::Finish(std::size_t length, bool verify)
{
    Submit(length, verify, 0, 0);
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (inFlight_.empty())
                return;
        }
        DeliverFinished(true);
    }
}

} // namespace ov
