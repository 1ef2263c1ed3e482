#pragma once
#include <cstdint>
#include <string>

#include "image/ImageCompare.h"
#include "image/ImageMap.h"
#include "link/LinkJobMode.h"

// How a radio job reports to whoever started it: the command line or the
// window. Every call comes from the job thread. A window implementation hands
// each call to its user-interface thread; calls that return a value or must
// finish before the job goes on (the model question, the identification, the
// finished image, the radio information) wait for that thread, so the
// user-interface thread must never wait for the job thread.
class JobObserver {
public:
    virtual ~JobObserver() = default;

    // One trace line exactly as built for the trace list, e.g. "Tr : 50 52 4F 47 52 41 4D ".
    virtual void OnTrace(const std::string& line) = 0;
    // Progress position: the address of the block about to be transferred.
    // A write with read-back goes on past the write's 2000: the read-back's
    // block at address a is position 2000 + a (RadioLink::kVerifiedWriteTotal
    // in all).
    virtual void OnProgress(int position) = 0;
    // A beep: 2000 Hz / 500 ms on success, 3500 Hz / 500 ms on a failed block or close.
    virtual void OnBeep(int frequencyHz, int durationMs) = 0;
    // Write job: the document's model code differs from the radio's. true = Yes (overwrite).
    virtual bool AskModelOverwrite() = 0;
    // Read and info jobs: the 8 identification bytes in stored order; the owner
    // copies them to image bytes 1984..1991 at once (they stay even if the job fails).
    virtual void OnIdentification(const uint8_t ident[ImageMap::kIdentSize]) = 0;
    // Read job succeeded: the whole 2048-byte image as read. The owner copies it
    // into the memory image, marks the document modified, decodes, identifies the
    // model and repaints, all before returning (or on its own thread while the
    // job waits), so no half-decoded model is ever visible.
    virtual void OnReadComplete(const uint8_t image[ImageMap::kSize]) = 0;
    // Info job succeeded: image bytes 2000..2015 as read. The owner copies them
    // into the image, marks the document modified, decodes, shows the radio
    // information and returns when it has been closed.
    virtual void OnInfoComplete(const uint8_t bytes[ImageMap::kInfoSize]) = 0;
    // A write with read-back: the write's closing exchange succeeded, so the
    // radio took every block; the read-back starts at once.
    virtual void OnWriteClosed() {}
    // A write with read-back: the whole image as the radio gave it back (the
    // owner's document is not touched) and how its bytes 0..1999 compare with
    // those sent. Not called when the read-back failed.
    virtual void OnReadBack(const uint8_t image[ImageMap::kSize], const ImageCompare::VerifyResult& result)
    {
        (void)image;
        (void)result;
    }
    // The job is over (job mode already back to JobIdle, watching stopped).
    // On failure the owner shows "Communication failed,please try again!".
    // A write with read-back succeeds only when the radio was read back and
    // holds every byte sent.
    virtual void OnJobEnded(LinkJobMode mode, bool success) = 0;
    // A serial-port failure text ("WARNING:  tcsetattr() Failed with the
    // following error: ...Port: N\n"). It may come from the thread that opens
    // the port or from the port's watch thread; the owner decides how to show it.
    virtual void OnPortError(const std::string& text) { (void)text; }
    // The port's device went away while the job ran (cable pulled, adapter
    // unplugged) and the job failed for it. Called once, on the job thread,
    // just before OnJobEnded, with the device as it was opened. After a
    // write the radio may hold part of the new image and part of the old.
    virtual void OnPortLost(const std::string& device, LinkJobMode mode)
    {
        (void)device;
        (void)mode;
    }
    // The job's backup or log entry could not be kept (see JobRecorder); the
    // job itself is not failed for it. At most once per job.
    virtual void OnArchiveProblem(const std::string& text) { (void)text; }
};
