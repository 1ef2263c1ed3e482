#pragma once
#include <atomic>
#include <condition_variable>
#include <mutex>

#include <QObject>

#include "link/JobObserver.h"

class RadioJobs;

// Carries the job thread's reports to the radio jobs on the user-interface
// thread. Reports that the job must see finished before it goes on (the model
// question, the identification, the finished image, the radio information)
// wait for that thread; the rest are queued. The user-interface thread never
// waits for the job thread, so neither can block the other.
class JobBridge : public QObject, public JobObserver {
    Q_OBJECT
public:
    explicit JobBridge(RadioJobs& jobs);

    // The jobs are going away: a report waiting now is released at once and
    // every later one is answered here (No to the model question) without
    // touching them, so the job runs to its end on its own.
    void Detach();

    void OnTrace(const std::string& line) override;
    void OnProgress(int position) override;
    void OnBeep(int frequencyHz, int durationMs) override;
    bool AskModelOverwrite() override;
    void OnIdentification(const uint8_t ident[ImageMap::kIdentSize]) override;
    void OnReadComplete(const uint8_t image[ImageMap::kSize]) override;
    void OnInfoComplete(const uint8_t bytes[ImageMap::kInfoSize]) override;
    void OnJobEnded(LinkJobMode mode, bool success) override;
    void OnPortError(const std::string& text) override;
    // The read-back and the lost port are kept by the job's recorder, which
    // the jobs read once the job has ended; these two are shown meanwhile.
    void OnWriteClosed() override;
    void OnArchiveProblem(const std::string& text) override;

private:
    template <typename F>
    void Post(F&& call);
    // Runs call (returning bool) on the user-interface thread and waits for
    // its answer; false when the bridge is detached before it has run.
    template <typename F>
    bool Wait(F&& call);

    RadioJobs& jobs_;
    std::atomic<bool> detached_{false};
    std::mutex waitLock_;
    std::condition_variable answered_;
};
