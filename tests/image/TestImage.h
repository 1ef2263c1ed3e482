#pragma once
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "image/CImportData.h"
#include "image/CodecMessageSink.h"

// "00 25 51 43" -> {0x00, 0x25, 0x51, 0x43}: the byte notation of the tests.
inline std::vector<uint8_t> Bytes(const std::string& hex)
{
    std::vector<uint8_t> out;
    std::istringstream in(hex);
    for (std::string word; in >> word;)
        out.push_back(static_cast<uint8_t>(std::stoul(word, nullptr, 16)));
    return out;
}

inline std::vector<uint8_t> Bytes(const uint8_t* p, std::size_t n) { return {p, p + n}; }

// A file's bytes, read and written without the code under test.
inline std::vector<uint8_t> ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// Lays bytes in the image at an offset, as a radio or a file would hold them.
inline void Put(CImportData& data, std::size_t offset, const std::string& hex)
{
    const auto bytes = Bytes(hex);
    data.SetBytes(bytes.data(), offset, bytes.size());
}

class RecordingSink : public CodecMessageSink {
public:
    void ShowCodecMessage(const std::string& text) override { messages.push_back(text); }
    std::vector<std::string> messages;
};

// A memory image and its settings, addressed as the byte map does.
class ImageFixture : public ::testing::Test {
protected:
    void Put(std::size_t offset, const std::string& hex) { ::Put(data, offset, hex); }
    std::vector<uint8_t> At(std::size_t offset, std::size_t n) const { return Bytes(data.Image() + offset, n); }
    CImportData data;
    RadioSettings& s = *data.GetSettings();
};
