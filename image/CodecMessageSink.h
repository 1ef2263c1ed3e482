#pragma once
#include <string>

// Where a conversion failure is reported. The library shows nothing itself;
// a user interface turns the text into a message box.
class CodecMessageSink {
public:
    virtual ~CodecMessageSink() = default;
    // text is UTF-8.
    virtual void ShowCodecMessage(const std::string& text) = 0;
};
