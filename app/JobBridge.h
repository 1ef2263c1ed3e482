#pragma once
#include <atomic>

#include <QObject>

#include "link/JobObserver.h"

class CZEMTRA800View;

// Carries the job thread's reports to the view on the user-interface thread.
// Reports that the job must see finished before it goes on (the model
// question, the identification, the finished image, the radio information)
// wait for that thread; the rest are queued. The user-interface thread never
// waits for the job thread, so neither can block the other.
class JobBridge : public QObject, public JobObserver {
    Q_OBJECT
public:
    explicit JobBridge(CZEMTRA800View& view);

    // The view is going away: from now on reports are answered here (No to
    // the model question) without touching it.
    void Detach() { detached_ = true; }

    void OnTrace(const std::string& line) override;
    void OnProgress(int position) override;
    void OnBeep(int frequencyHz, int durationMs) override;
    bool AskModelOverwrite() override;
    void OnIdentification(const uint8_t ident[ImageMap::kIdentSize]) override;
    void OnReadComplete(const uint8_t image[ImageMap::kSize]) override;
    void OnInfoComplete(const uint8_t bytes[ImageMap::kInfoSize]) override;
    void OnJobEnded(LinkJobMode mode, bool success) override;
    void OnPortError(const std::string& text) override;

private:
    template <typename F>
    void Post(F&& call);
    template <typename F>
    void Wait(F&& call);

    CZEMTRA800View& view_;
    std::atomic<bool> detached_{false};
};
