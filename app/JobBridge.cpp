#include "app/JobBridge.h"

#include <QThread>

#include "app/CZEMTRA800View.h"

JobBridge::JobBridge(CZEMTRA800View& view) : view_(view) {}

template <typename F>
void JobBridge::Post(F&& call)
{
    if (detached_)
        return;
    QMetaObject::invokeMethod(
        this, [this, call = std::forward<F>(call)]() mutable {
            if (!detached_)
                call();
        },
        Qt::QueuedConnection);
}

template <typename F>
void JobBridge::Wait(F&& call)
{
    if (detached_)
        return;
    // Called on this object's own thread (never by the link, but harmless
    // for a caller that does) the call runs directly instead of deadlocking.
    const Qt::ConnectionType type =
        QThread::currentThread() == thread() ? Qt::DirectConnection : Qt::BlockingQueuedConnection;
    QMetaObject::invokeMethod(
        this, [this, &call]() {
            if (!detached_)
                call();
        },
        type);
}

void JobBridge::OnTrace(const std::string& line)
{
    Post([this, text = QString::fromStdString(line)] { view_.HandleTrace(text); });
}

void JobBridge::OnProgress(int position)
{
    Post([this, position] { view_.HandleProgress(position); });
}

void JobBridge::OnBeep(int frequencyHz, int durationMs)
{
    Post([this, frequencyHz, durationMs] { view_.HandleBeep(frequencyHz, durationMs); });
}

bool JobBridge::AskModelOverwrite()
{
    bool yes = false;
    Wait([this, &yes] { yes = view_.HandleAskModelOverwrite(); });
    return yes;
}

void JobBridge::OnIdentification(const uint8_t ident[ImageMap::kIdentSize])
{
    const QByteArray bytes(reinterpret_cast<const char*>(ident), 8);
    Wait([this, &bytes] { view_.HandleIdentification(bytes); });
}

void JobBridge::OnReadComplete(const uint8_t image[ImageMap::kSize])
{
    const QByteArray bytes(reinterpret_cast<const char*>(image), ImageMap::kSize);
    Wait([this, &bytes] { view_.HandleReadComplete(bytes); });
}

void JobBridge::OnInfoComplete(const uint8_t bytes[ImageMap::kInfoSize])
{
    const QByteArray info(reinterpret_cast<const char*>(bytes), 16);
    Wait([this, &info] { view_.HandleInfoComplete(info); });
}

void JobBridge::OnJobEnded(LinkJobMode mode, bool success)
{
    // Queued: the failure box must not hold the job thread, which ends now.
    Post([this, mode, success] { view_.HandleJobEnded(mode, success); });
}

void JobBridge::OnPortError(const std::string& text)
{
    Post([this, message = QString::fromStdString(text)] { view_.HandlePortError(message); });
}
