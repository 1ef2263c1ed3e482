#include "link/JobRecorder.h"

#include <cstring>

#include "image/JoinedText.h"
#include "image/ValueCodec.h"

namespace {

// What a job was doing when its port went away.
const char* LostPortText(LinkJobMode mode, bool writeClosed)
{
    if (writeClosed)
        return "the port went away during the read-back after the write; the radio took the whole write.";
    switch (mode) {
    case JobWrite: return "the port went away during the write; the radio may be half-programmed.";
    case JobRead: return "the port went away during the read.";
    default: return "the port went away while the radio was asked for its information.";
    }
}

} // namespace

JobRecorder::JobRecorder(JobObserver& owner, JobArchive* archive) : owner_(owner), archive_(archive) {}

void JobRecorder::Begin(LinkJobMode mode, const std::string& port, const std::string& device, bool readBack,
                        const uint8_t* image, const std::string& modelCode)
{
    outcome_ = Outcome{};
    outcome_.mode = mode;
    outcome_.readBack = mode == JobWrite && readBack;
    port_ = port;
    device_ = device;
    modelCode_ = modelCode;
    writeStarted_ = false;
    notStartedReason_.clear();
    if (image)
        std::memcpy(sent_.data(), image, sent_.size());
}

void JobRecorder::RecordNotStarted(const std::string& reason)
{
    outcome_.ended = true;
    outcome_.success = false;
    notStartedReason_ = reason;
    static const JobArchive::Job kJobs[] = {JobArchive::Job::Read, JobArchive::Job::Read, JobArchive::Job::Write,
                                            JobArchive::Job::Info};
    JobArchive::Entry entry = NewEntry(kJobs[outcome_.mode], Clock::now());
    entry.reason = reason;
    if (outcome_.mode == JobWrite)
        entry.modelCode = modelCode_;
    if (outcome_.readBack)
        entry.verified = false;
    Keep({entry});
}

std::vector<std::string> JobRecorder::FailureLines() const
{
    if (!outcome_.ended || outcome_.success)
        return {};
    if (!notStartedReason_.empty())
        return {notStartedReason_};
    std::vector<std::string> lines;
    if (outcome_.writeClosed)
        lines.push_back(outcome_.verify ? ImageCompare::VerifyText(*outcome_.verify)
                                        : ImageCompare::ReadBackFailedText());
    else
        lines.push_back(kCommunicationFailed);
    if (!outcome_.lostDevice.empty())
        lines.push_back(outcome_.lostDevice + ": " + LostPortText(outcome_.mode, outcome_.writeClosed));
    return lines;
}

void JobRecorder::OnTrace(const std::string& line)
{
    owner_.OnTrace(line);
}

void JobRecorder::OnProgress(int position)
{
    if (outcome_.mode == JobWrite && position < int(ImageMap::kWritableSize))
        writeStarted_ = true;
    owner_.OnProgress(position);
}

void JobRecorder::OnBeep(int frequencyHz, int durationMs)
{
    owner_.OnBeep(frequencyHz, durationMs);
}

bool JobRecorder::AskModelOverwrite()
{
    const bool yes = owner_.AskModelOverwrite();
    outcome_.modelRefused = !yes;
    return yes;
}

void JobRecorder::OnIdentification(const uint8_t ident[ImageMap::kIdentSize])
{
    outcome_.ident.emplace();
    std::memcpy(outcome_.ident->data(), ident, ImageMap::kIdentSize);
    owner_.OnIdentification(ident);
}

void JobRecorder::OnReadComplete(const uint8_t image[ImageMap::kSize])
{
    outcome_.image.emplace();
    std::memcpy(outcome_.image->data(), image, ImageMap::kSize);
    owner_.OnReadComplete(image);
}

void JobRecorder::OnInfoComplete(const uint8_t bytes[ImageMap::kInfoSize])
{
    outcome_.info.emplace();
    std::memcpy(outcome_.info->data(), bytes, ImageMap::kInfoSize);
    owner_.OnInfoComplete(bytes);
}

void JobRecorder::OnWriteClosed()
{
    outcome_.writeClosed = true;
    writeClosedAt_ = Clock::now();
    owner_.OnWriteClosed();
}

void JobRecorder::OnReadBack(const uint8_t image[ImageMap::kSize], const ImageCompare::VerifyResult& result)
{
    outcome_.readBackImage.emplace();
    std::memcpy(outcome_.readBackImage->data(), image, ImageMap::kSize);
    outcome_.verify = result;
    owner_.OnReadBack(image, result);
}

void JobRecorder::OnPortError(const std::string& text)
{
    owner_.OnPortError(text);
}

void JobRecorder::OnPortLost(const std::string& device, LinkJobMode mode)
{
    outcome_.lostDevice = device;
    owner_.OnPortLost(device, mode);
}

void JobRecorder::OnArchiveProblem(const std::string& text)
{
    owner_.OnArchiveProblem(text);
}

JobArchive::Entry JobRecorder::NewEntry(JobArchive::Job job, Clock::time_point when) const
{
    JobArchive::Entry entry;
    entry.job = job;
    entry.port = port_;
    entry.device = device_;
    entry.when = when;
    return entry;
}

void JobRecorder::OnJobEnded(LinkJobMode mode, bool success)
{
    outcome_.ended = true;
    outcome_.success = success;
    const Clock::time_point now = Clock::now();
    const std::string reason = success ? std::string() : Joined(FailureLines(), " ");
    std::vector<JobArchive::Entry> entries;
    switch (mode) {
    case JobRead:
    case JobInfo: {
        JobArchive::Entry e = NewEntry(mode == JobRead ? JobArchive::Job::Read : JobArchive::Job::Info, now);
        e.ok = success;
        e.reason = reason;
        if (outcome_.ident)
            e.modelCode = ReversedText(outcome_.ident->data());
        const uint8_t* info = outcome_.image ? outcome_.image->data() + ImageMap::kInfoText1
                            : outcome_.info  ? outcome_.info->data()
                                             : nullptr;
        if (info) {
            e.info1 = ReversedText(info);
            e.info2 = ReversedText(info + ImageMap::kInfoText2 - ImageMap::kInfoText1);
        }
        if (outcome_.image)
            e.image = outcome_.image->data();
        entries.push_back(e);
        break;
    }
    case JobWrite: {
        JobArchive::Entry write = NewEntry(JobArchive::Job::Write, outcome_.writeClosed ? writeClosedAt_ : now);
        write.ok = success;
        write.reason = reason;
        write.modelCode = modelCode_;
        if (writeStarted_)
            write.image = sent_.data(); // what may now be in the radio, if only in part
        if (outcome_.readBack)
            write.verified = success;
        entries.push_back(write);
        if (outcome_.writeClosed) {
            JobArchive::Entry verify = NewEntry(JobArchive::Job::Verify, now);
            verify.ok = success;
            verify.reason = reason;
            if (outcome_.readBackImage) {
                const uint8_t* back = outcome_.readBackImage->data();
                verify.modelCode = ReversedText(back + ImageMap::kModelCode);
                verify.info1 = ReversedText(back + ImageMap::kInfoText1);
                verify.info2 = ReversedText(back + ImageMap::kInfoText2);
                verify.image = back;
            }
            entries.push_back(verify);
        }
        break;
    }
    case JobIdle: break;
    }
    Keep(entries);
    owner_.OnJobEnded(mode, success);
}

void JobRecorder::Keep(const std::vector<JobArchive::Entry>& entries)
{
    if (!archive_)
        return;
    for (const JobArchive::Entry& entry : entries) {
        const JobArchive::Kept kept = archive_->Keep(entry);
        if (outcome_.archiveProblem.empty())
            outcome_.archiveProblem = kept.problem;
    }
    // Once per job, however many of its entries failed.
    if (!outcome_.archiveProblem.empty())
        owner_.OnArchiveProblem(outcome_.archiveProblem);
}
