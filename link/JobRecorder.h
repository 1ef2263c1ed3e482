#pragma once
#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "image/ImageCompare.h"
#include "image/ImageMap.h"
#include "link/JobArchive.h"
#include "link/JobObserver.h"
#include "link/LinkJobMode.h"

// One radio job on one port, recorded: stands between the link and the
// owner's observer, passes every report on, keeps what the job produced
// and, when the job ends, keeps its backups and log lines in the archive
// (before the owner hears of the end). The command-line tool, the window
// and a production line use one per port, so a job is verified, backed up
// and logged the same way wherever it ran.
//
// Begin (and RecordNotStarted) run on the owner's thread before the job
// starts; the observer calls come from the job thread; Outcome is read once
// the owner has heard OnJobEnded (or after RadioLink::WaitForJob).
class JobRecorder : public JobObserver {
public:
    // archive: null keeps nothing (--no-backup).
    JobRecorder(JobObserver& owner, JobArchive* archive);

    // Before each job: the port as given, the device it names, and for a
    // write the image as sent (all 2048 bytes) with its model code.
    void Begin(LinkJobMode mode, const std::string& port, const std::string& device, bool readBack = false,
               const uint8_t* image = nullptr, const std::string& modelCode = std::string());
    // The job never ran (its port could not be opened, or the job could not
    // start): it is logged as failed with the message shown.
    void RecordNotStarted(const std::string& reason);

    struct Outcome {
        LinkJobMode mode = JobIdle;
        bool readBack = false;
        bool ended = false;
        bool success = false;        // the whole job, the verify included
        bool writeClosed = false;    // a write's closing exchange went through
        bool modelRefused = false;   // the model question was answered No
        std::string lostDevice;      // the port went away during the job
        std::optional<std::array<uint8_t, ImageMap::kIdentSize>> ident;
        std::optional<std::array<uint8_t, ImageMap::kSize>> image;    // a read's image
        std::optional<std::array<uint8_t, ImageMap::kInfoSize>> info; // an info job's bytes
        std::optional<std::array<uint8_t, ImageMap::kSize>> readBackImage;
        std::optional<ImageCompare::VerifyResult> verify;
        std::string archiveProblem;
    };
    const Outcome& Result() const { return outcome_; }

    // What a failed job says, one line each: the job's own message, then
    // the lost port if it went away. Empty after a success.
    std::vector<std::string> FailureLines() const;

    static constexpr const char* kCommunicationFailed = "Communication failed,please try again!";

    // JobObserver: recorded, then passed on.
    void OnTrace(const std::string& line) override;
    void OnProgress(int position) override;
    void OnBeep(int frequencyHz, int durationMs) override;
    bool AskModelOverwrite() override;
    void OnIdentification(const uint8_t ident[ImageMap::kIdentSize]) override;
    void OnReadComplete(const uint8_t image[ImageMap::kSize]) override;
    void OnInfoComplete(const uint8_t bytes[ImageMap::kInfoSize]) override;
    void OnWriteClosed() override;
    void OnReadBack(const uint8_t image[ImageMap::kSize], const ImageCompare::VerifyResult& result) override;
    void OnJobEnded(LinkJobMode mode, bool success) override;
    void OnPortError(const std::string& text) override;
    void OnPortLost(const std::string& device, LinkJobMode mode) override;
    void OnArchiveProblem(const std::string& text) override;

private:
    using Clock = std::chrono::system_clock;
    JobArchive::Entry NewEntry(JobArchive::Job job, Clock::time_point when) const;
    void Keep(const std::vector<JobArchive::Entry>& entries);

    JobObserver& owner_;
    JobArchive* archive_;
    std::string port_, device_, modelCode_;
    std::array<uint8_t, ImageMap::kSize> sent_{};
    Clock::time_point writeClosedAt_{};
    bool writeStarted_ = false; // a write frame went out: the image may be (partly) in the radio
    std::string notStartedReason_;
    Outcome outcome_;
};
