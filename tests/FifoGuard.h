#pragma once
// A FIFO for the tests of refused special files. Should the code under test
// wait on it after all, the guard opens it for writing after a while, so the
// wait ends (with an empty read) and the test fails instead of hanging.
#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class FifoGuard {
public:
    explicit FifoGuard(std::string path, std::chrono::milliseconds patience = std::chrono::seconds(3))
        : path_(std::move(path))
    {
        made_ = ::mkfifo(path_.c_str(), 0644) == 0;
        watcher_ = std::thread([this, patience] {
            const auto until = std::chrono::steady_clock::now() + patience;
            while (!done_ && std::chrono::steady_clock::now() < until)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            // Opening for writing succeeds only while a reader waits.
            while (!done_) {
                const int fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) {
                    ::close(fd);
                    unblocked_ = true;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        });
    }
    ~FifoGuard()
    {
        done_ = true;
        watcher_.join();
        ::unlink(path_.c_str());
    }
    FifoGuard(const FifoGuard&) = delete;
    FifoGuard& operator=(const FifoGuard&) = delete;

    bool Made() const { return made_; }
    // True when something waited on the FIFO and had to be let go.
    bool HadToUnblock() const { return unblocked_; }
    const std::string& Path() const { return path_; }
    // Still a FIFO (not replaced by a regular file)?
    bool StillAFifo() const
    {
        struct stat info {};
        return ::lstat(path_.c_str(), &info) == 0 && S_ISFIFO(info.st_mode);
    }

private:
    std::string path_;
    bool made_ = false;
    std::atomic<bool> done_{false};
    std::atomic<bool> unblocked_{false};
    std::thread watcher_;
};
