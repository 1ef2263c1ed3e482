#include "app/JobBridge.h"

#include <algorithm>
#include <array>
#include <memory>

#include <QString>
#include <QThread>

#include "app/BeepPlayer.h"
#include "app/RadioJobs.h"

namespace {
template <std::size_t N>
std::array<uint8_t, N> Copy(const uint8_t* bytes)
{
    std::array<uint8_t, N> copy;
    std::copy_n(bytes, N, copy.begin());
    return copy;
}
} // namespace

JobBridge::JobBridge(RadioJobs& jobs) : jobs_(jobs) {}

void JobBridge::Detach()
{
    {
        std::lock_guard<std::mutex> lock(waitLock_);
        detached_ = true;
    }
    answered_.notify_all();
}

template <typename F>
void JobBridge::Post(F&& call)
{
    if (detached_)
        return;
    // Queued to this object: a call still pending when the bridge is
    // destroyed is dropped with it.
    QMetaObject::invokeMethod(
        this, [this, call = std::forward<F>(call)]() mutable {
            if (!detached_)
                call();
        },
        Qt::QueuedConnection);
}

template <typename F>
bool JobBridge::Wait(F&& call)
{
    if (detached_)
        return false;
    // Called on this object's own thread (never by the link, but harmless
    // for a caller that does) the call runs directly instead of deadlocking.
    if (QThread::currentThread() == thread())
        return call();

    // The answer lives in a state of its own, not on the waiting thread's
    // stack: a detach releases the job thread while the call may not have
    // run yet. The call takes copies of everything it reads.
    struct Answer {
        bool done = false;
        bool value = false;
    };
    auto answer = std::make_shared<Answer>();
    QMetaObject::invokeMethod(
        this, [this, answer, call = std::forward<F>(call)]() mutable {
            const bool value = !detached_ && call();
            {
                std::lock_guard<std::mutex> lock(waitLock_);
                answer->value = value;
                answer->done = true;
            }
            answered_.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock<std::mutex> lock(waitLock_);
    answered_.wait(lock, [&] { return answer->done || detached_; });
    return answer->done && answer->value;
}

void JobBridge::OnTrace(const std::string& line)
{
    Post([this, text = QString::fromStdString(line)] { jobs_.HandleTrace(text); });
}

void JobBridge::OnProgress(int position)
{
    Post([this, position] { jobs_.HandleProgress(position); });
}

void JobBridge::OnBeep(int frequencyHz, int durationMs)
{
    // Queued to the sound thread: no window waits for a tone.
    if (!detached_)
        PlayBeep(frequencyHz, durationMs);
}

bool JobBridge::AskModelOverwrite()
{
    return Wait([this] { return jobs_.HandleAskModelOverwrite(); });
}

void JobBridge::OnIdentification(const uint8_t ident[ImageMap::kIdentSize])
{
    Wait([this, copy = Copy<ImageMap::kIdentSize>(ident)] {
        jobs_.HandleIdentification(copy);
        return true;
    });
}

void JobBridge::OnReadComplete(const uint8_t image[ImageMap::kSize])
{
    Wait([this, copy = Copy<ImageMap::kSize>(image)] {
        jobs_.HandleReadComplete(copy);
        return true;
    });
}

void JobBridge::OnInfoComplete(const uint8_t bytes[ImageMap::kInfoSize])
{
    Wait([this, copy = Copy<ImageMap::kInfoSize>(bytes)] {
        jobs_.HandleInfoComplete(copy);
        return true;
    });
}

void JobBridge::OnJobEnded(LinkJobMode mode, bool success)
{
    // Queued: the failure box must not hold the job thread, which ends now.
    Post([this, mode, success] { jobs_.HandleJobEnded(mode, success); });
}

void JobBridge::OnPortError(const std::string& text)
{
    Post([this, message = QString::fromStdString(text)] { jobs_.HandlePortError(message); });
}

void JobBridge::OnWriteClosed()
{
    Post([this] { jobs_.HandleWriteClosed(); });
}

void JobBridge::OnArchiveProblem(const std::string& text)
{
    // Also called on the user-interface thread, for a job that never
    // started: queued all the same, as every other report.
    Post([this, message = QString::fromStdString(text)] { jobs_.HandleArchiveProblem(message); });
}
