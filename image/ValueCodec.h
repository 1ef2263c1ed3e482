#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

class CodecMessageSink;

// The radio's packed storage forms: BCD digits, frequencies, QT/DQT codes,
// DTMF digits, one digit per byte, forward and reversed characters, bits.
// Text is a byte string (one char per byte; GBK passes through unchanged).
// Decoders that fill a text buffer take its capacity and never write past it.
class ValueCodec {
public:
    explicit ValueCodec(CodecMessageSink* sink = nullptr) : sink_(sink) {}
    virtual ~ValueCodec() = default;

    void SetMessageSink(CodecMessageSink* sink) { sink_ = sink; }

    // 0, or the code of the last conversion that failed.
    int32_t errorCode = 0;

    // Below this (10 Hz) a frequency is stored as none.
    static constexpr double kLowestFrequency = 0.00001;

    int STR2BCD(const std::string& text, uint8_t* out, int maxLength);
    std::string BCD2STR(const uint8_t* in, int count);
    int Freq2BCD(double mhz, uint8_t* out4);
    double BCD2Freq(const uint8_t* in4);
    void Code2BCD(const std::string& code, uint8_t* out2);
    void BCD2Code(const uint8_t* in2, char* out, std::size_t capacity);
    int STR2MemID(const std::string& text, uint8_t* out8, int maxLength);
    int BCD2MemID(const uint8_t* in8, int storedCount, char* out, std::size_t capacity);
    void Digits2BCD(const std::string& text, uint8_t* out, int maxDigits);
    int BCD2IDCode(const uint8_t* in10, char* out, std::size_t capacity);
    void BCD2Stun(const uint8_t* in, int count, char* out, std::size_t capacity);
    int Type2BCD(const std::string& text, uint8_t* out8);
    int BCD2Type(const uint8_t* in8, char* out, std::size_t capacity);
    int BCD2TypeNum(const uint8_t* in8, char* out, std::size_t capacity);
    int Text2Bytes(const std::string& text, uint8_t* out, int length);
    int Bytes2Text(const uint8_t* in, char* out, int length);

    static int GetBit(uint8_t b, int k) { return (b >> k) & 1; }
    uint8_t SetBit(uint8_t& b, int k);
    uint8_t ClearBit(uint8_t& b, int k);
    // SetBit when on, else ClearBit: how every flag goes into its bit.
    uint8_t PutBit(uint8_t& b, int k, bool on) { return on ? SetBit(b, k) : ClearBit(b, k); }
    // The count (1..4) low-order bytes of value, most significant first.
    void ReverseBytes(uint32_t value, uint8_t* out, int count);

    // The texts a caught conversion failure reports (UTF-8, as the radio
    // tool has always shown them).
    static constexpr const char* kMsgSTR2BCD = "STR2BCD转换擦操作异常";
    static constexpr const char* kMsgType2BCD = "Type2BCD 转换操作出错";
    static constexpr const char* kMsgEmbed2BCD = "Embed2BCD 转换出错";
    static constexpr const char* kMsgBCD2Stun = "BCD2Stun 转换错误!";
    static constexpr const char* kMsgBCD2Type = "BCD2Type转换错!";
    static constexpr const char* kMsgBCD2TypeNum = "BCD2TypeNum转换错!";
    static constexpr const char* kMsgBCD2MemID = "BCD2MemID转换出错!";

    // Runs one conversion step so that nothing it throws escapes: the failure
    // text goes to the sink and errorCode becomes failCode (failCode 0 leaves
    // errorCode as it is).
    template <class Step>
    void Guarded(const char* failText, int32_t failCode, Step&& step) noexcept
    {
        try {
            step();
        } catch (...) {
            Fail(failText, failCode);
        }
    }
    void Fail(const char* failText, int32_t failCode) noexcept;

protected:
    // Reports a caught failure through the sink (if any).
    void Report(const char* utf8Text);

private:
    CodecMessageSink* sink_ = nullptr;
};

// An 8-byte reversed text of the image (the model code, an information text)
// as the settings decode it.
std::string ReversedText(const uint8_t* in8);
