#include "image/CImportData.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <istream>
#include <ostream>
#include <system_error>
#include <vector>

#include "image/ChannelCodec.h"
#include "image/DtmfCodec.h"
#include "image/FileAccess.h"
#include "image/SettingsCodec.h"

namespace fs = std::filesystem;

namespace {

// A fresh reason of this kind; its details are filled in by the caller.
DataFileError* Reason(DataFileError* error, DataFileError::Kind kind)
{
    *error = DataFileError();
    error->kind = kind;
    return error;
}

// The English line of a reason, for the callers that take text.
template <typename Call>
bool WithText(std::string* text, Call call)
{
    DataFileError error;
    const bool ok = call(&error);
    if (!ok && text != nullptr)
        *text = error.Text();
    return ok;
}

} // namespace

CImportData::CImportData()
{
    image_.fill(0xFF);
}

// Each pass starts from a clean error code: a conversion that failed in an
// earlier pass must not make every later open or save fail too.
int CImportData::DecodeAll()
{
    codec_.errorCode = 0;
    if (int error = ChannelCodec(codec_).DecodeChannels(image_.data(), settings_); error > 0)
        return error;
    if (int error = SettingsCodec(codec_).DecodeSettings(image_.data(), settings_); error > 0)
        return error;
    if (int error = DtmfCodec(codec_).DecodeAutodial(image_.data(), settings_); error > 0)
        return error;
    return 0;
}

int CImportData::EncodeAll()
{
    int result = 0;
    codec_.errorCode = 0;
    // The conversions catch their own failures; this also covers the texts
    // the passes copy out of the settings on their way in.
    codec_.Guarded(ValueCodec::kMsgSTR2BCD, 1, [&] {
        if ((result = ChannelCodec(codec_).EncodeChannels(settings_, image_.data())) > 0)
            return;
        if ((result = SettingsCodec(codec_).EncodeSettings(settings_, image_.data())) > 0)
            return;
        result = DtmfCodec(codec_).EncodeAutodial(settings_, image_.data());
    });
    if (codec_.errorCode > 0 && result == 0)
        result = codec_.errorCode;
    return result;
}

void CImportData::ResetSettings()
{
    settings_.Reset();
}

void CImportData::GetBytes(uint8_t* dest, std::size_t offset, std::size_t length) const
{
    if (offset > kImageSize || length > kImageSize - offset || length == 0)
        return;
    std::memcpy(dest, image_.data() + offset, length);
}

void CImportData::SetBytes(const uint8_t* src, std::size_t offset, std::size_t length)
{
    if (offset > kImageSize || length > kImageSize - offset || length == 0)
        return;
    std::memcpy(image_.data() + offset, src, length);
}

bool CImportData::LoadStream(std::istream& in, std::string* error)
{
    return WithText(error, [&](DataFileError* e) { return LoadStream(in, e); });
}

bool CImportData::StoreStream(std::ostream& out, std::string* error) const
{
    return WithText(error, [&](DataFileError* e) { return StoreStream(out, e); });
}

bool CImportData::LoadFile(const std::string& path, std::string* error)
{
    return WithText(error, [&](DataFileError* e) { return LoadFile(path, e); });
}

bool CImportData::SaveFile(const std::string& path, std::string* error) const
{
    return WithText(error, [&](DataFileError* e) { return SaveFile(path, e); });
}

bool CImportData::LoadStream(std::istream& in, DataFileError* error)
{
    DataFileError unasked;
    if (error == nullptr)
        error = &unasked;
    // Read into a buffer first: a short file must not leave half an image.
    std::array<uint8_t, kImageSize> buffer;
    std::streamsize got = 0;
    try {
        in.read(reinterpret_cast<char*>(buffer.data()), kImageSize);
        got = in.gcount();
    } catch (const std::exception& e) {
        Reason(error, DataFileError::Kind::ReadFailed)->detail = e.what();
        return false;
    }
    if (got < static_cast<std::streamsize>(kImageSize)) {
        Reason(error, in.bad() ? DataFileError::Kind::ReadFailed : DataFileError::Kind::TooShort)->count = got;
        return false;
    }
    image_ = buffer;
    return true;
}

bool CImportData::StoreStream(std::ostream& out, DataFileError* error) const
{
    DataFileError unasked;
    if (error == nullptr)
        error = &unasked;
    try {
        out.write(reinterpret_cast<const char*>(image_.data()), kImageSize);
        out.flush();
    } catch (const std::exception& e) {
        Reason(error, DataFileError::Kind::StreamWriteFailed)->detail = e.what();
        return false;
    }
    if (!out) {
        Reason(error, DataFileError::Kind::StreamWriteFailed);
        return false;
    }
    return true;
}

bool CImportData::LoadFile(const std::string& path, DataFileError* error)
{
    DataFileError unasked;
    if (error == nullptr)
        error = &unasked;
    std::vector<uint8_t> bytes;
    if (!FileAccess::ReadRegularFile(path, kImageSize, FileAccess::Longer::ReadTheStart, bytes, error))
        return false;
    if (bytes.size() < kImageSize) {
        Reason(error, DataFileError::Kind::TooShort)->count = static_cast<std::int64_t>(bytes.size());
        return false;
    }
    std::copy(bytes.begin(), bytes.begin() + kImageSize, image_.begin());
    return true;
}

bool CImportData::SaveFile(const std::string& path, DataFileError* error) const
{
    DataFileError unasked;
    if (error == nullptr)
        error = &unasked;
    // Through a link the file it names is replaced, never the link; a device,
    // a FIFO or a file the user may not write is left alone.
    const std::string resolved = FileAccess::SaveTarget(path, error);
    if (resolved.empty())
        return false;
    std::error_code ec;
    const fs::path target(resolved);

    // The new bytes go to a file of their own beside the target and replace
    // it in one rename, so a failed save leaves the old file as it was.
    const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
    static std::atomic<unsigned> serial{0};
    const auto stamp = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    fs::path temp;
    std::FILE* file = nullptr;
    int openError = 0;
    for (int attempt = 0; attempt < 100 && file == nullptr; ++attempt) {
        temp = dir / ("." + target.filename().string() + ".tmp" + std::to_string(stamp % 1000000) + "-" +
                      std::to_string(serial++));
        errno = 0;
        file = std::fopen(temp.c_str(), "wbx"); // x: never reuse an existing file
        openError = errno;
        if (file == nullptr && openError != EEXIST)
            break;
    }
    if (file == nullptr) {
        DataFileError* reason = Reason(error, DataFileError::Kind::CannotCreate);
        reason->folder = dir.string();
        reason->systemError = openError;
        return false;
    }

    const std::size_t written = std::fwrite(image_.data(), 1, kImageSize, file);
    const bool flushed = std::fflush(file) == 0;
    const int writeError = errno;
    const bool closed = std::fclose(file) == 0;
    if (written != kImageSize || !flushed || !closed) {
        fs::remove(temp, ec);
        DataFileError* reason = Reason(error, DataFileError::Kind::WriteFailed);
        reason->folder = dir.string();
        reason->path = path;
        reason->systemError = writeError;
        return false;
    }

    // Keep the access rights of the file being replaced.
    const fs::file_status old = fs::status(target, ec);
    if (!ec && fs::exists(old))
        fs::permissions(temp, old.permissions(), fs::perm_options::replace, ec);

    fs::rename(temp, target, ec);
    if (ec) {
        DataFileError* reason = Reason(error, DataFileError::Kind::CannotReplace);
        reason->path = path;
        reason->systemError = ec.value();
        reason->detail = ec.message();
        fs::remove(temp, ec);
        return false;
    }
    return true;
}
