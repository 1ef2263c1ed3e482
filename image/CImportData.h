#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>

#include "image/DataFileError.h"
#include "image/RadioSettings.h"
#include "image/ValueCodec.h"

// Holds the radio's 2048-byte memory image, its decoded RadioSettings and the
// codec that converts between them. A data file (.dat) is exactly the image.
class CImportData {
public:
    static constexpr std::size_t kImageSize = 2048;

    CImportData();
    virtual ~CImportData() = default;
    CImportData(const CImportData&) = delete;
    CImportData& operator=(const CImportData&) = delete;

    // Image to settings: channels, settings, autodial. 0 or the codec's error code.
    int DecodeAll();
    // Settings to image, in place: unowned bytes and bits keep their value.
    int EncodeAll();

    RadioSettings* GetSettings() { return &settings_; }
    const RadioSettings* GetSettings() const { return &settings_; }
    // Settings to their reset values; the image is not touched.
    void ResetSettings();

    // Copy image bytes out / in; nothing happens unless offset + length <= 2048.
    void GetBytes(uint8_t* dest, std::size_t offset, std::size_t length) const;
    void SetBytes(const uint8_t* src, std::size_t offset, std::size_t length);
    const uint8_t* Image() const { return image_.data(); }

    ValueCodec& Codec() { return codec_; }
    void SetMessageSink(CodecMessageSink* sink) { codec_.SetMessageSink(sink); }

    // The data file. Load replaces the image only when 2048 bytes could be read
    // (a longer file: its first 2048 bytes); otherwise image and settings stay
    // as they were. Save writes the image as it stands (encode first) through a
    // temporary file renamed over the target, so a failed save never leaves a
    // truncated file. Both take regular files only: a FIFO, a device or a
    // socket is refused at once (FileAccess.h), as is saving over a file
    // nobody or this user may not write; saving through a symbolic link
    // replaces (or creates) the file it names. On failure, error (if given)
    // gets a one-line reason.
    bool LoadStream(std::istream& in, std::string* error = nullptr);
    bool StoreStream(std::ostream& out, std::string* error = nullptr) const;
    bool LoadFile(const std::string& path, std::string* error = nullptr);
    bool SaveFile(const std::string& path, std::string* error = nullptr) const;
    // The same with the reason's kind and details, for a caller that words
    // it itself (the English line is DataFileError::Text()).
    bool LoadStream(std::istream& in, DataFileError* error);
    bool StoreStream(std::ostream& out, DataFileError* error) const;
    bool LoadFile(const std::string& path, DataFileError* error);
    bool SaveFile(const std::string& path, DataFileError* error) const;

private:
    std::array<uint8_t, kImageSize> image_;
    RadioSettings settings_;
    ValueCodec codec_;
};
