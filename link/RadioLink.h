#pragma once
#include <cstdint>
#include <string>

#include "JobObserver.h"
#include "LinkJobMode.h"

// The radio link as a view owns it: the serial port, the receive ring and its
// lock, the job mode and the job thread. One job at a time.
// (Private members are the implementation's; the public calls are fixed.)
class RadioLink {
public:
    explicit RadioLink(JobObserver& observer);
    ~RadioLink(); // waits for a running job to end, then closes the port

    // Job start, step by step as the owner drives it (user-interface thread):
    // 1. OpenPort: false when the device cannot be opened (the owner shows
    //    "Failed to open COM%d,..."); nothing else happens then.
    bool OpenPort(const std::string& device, int portNumber);
    // 2. The owner prepares its progress bars (range 0..2048, 2000 or 16) and,
    //    for a write, encodes the document.
    // 3. StartJob: empties the ring, sets the mode, starts watching, waits
    //    100 ms (and 100 ms more before an info job), starts the job thread.
    //    For JobWrite, image holds the encoded 2048 bytes and modelCode the
    //    document's model code. false (nothing started) unless the mode was
    //    JobIdle and the port is open.
    bool StartJob(LinkJobMode mode, const uint8_t* image = nullptr,
                  const std::string& modelCode = std::string());

    LinkJobMode JobMode() const;
    bool IsBusy() const { return JobMode() != JobIdle; }
    // Blocks until the last job thread has ended (command line, tests, shutdown).
    void WaitForJob();
};
