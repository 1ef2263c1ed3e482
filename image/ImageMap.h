#pragma once
#include <cstddef>

// Where each field lives in the radio's 2048-byte memory. Bytes not named
// here are carried untouched from the radio or file to the next save.
struct ImageMap {
    static constexpr std::size_t kSize = 2048;

    static constexpr std::size_t kChannels = 16;       // channel n (1..50) at 16 * n
    static constexpr std::size_t kChannelSize = 16;
    static constexpr std::size_t kAutodial = 816;      // memory k (1..9) at 816 + 16 * (k - 1)
    static constexpr std::size_t kAutodialSize = 16;   // digits 0..7, count 8, 9..15 untouched
    static constexpr std::size_t kBotCode = 992;       // digits; count at 1000
    static constexpr std::size_t kEotCode = 1008;      // digits; count at 1016
    static constexpr std::size_t kDigitsCount = 8;     // offset of the count behind a digit field
    static constexpr std::size_t kOptionFlagsA = 1032;
    static constexpr std::size_t kLampMode = 1033;
    static constexpr std::size_t kOptionFlagsB = 1034;
    static constexpr std::size_t kSquelchLevel = 1035;
    static constexpr std::size_t kMoniKey = 1036;
    static constexpr std::size_t kVoxGain = 1037;
    static constexpr std::size_t kCarriedFlags = 1038;
    static constexpr std::size_t kTot = 1041;          // then pre-alert, rekey, reset
    static constexpr std::size_t kDtmfSignalling = 1046; // then group, intermediate, PTT ID,
                                                         // call alert, transpond, auto reset
    static constexpr std::size_t kIdCode = 1056;       // 10 digits, one per byte
    static constexpr std::size_t kIdCodeLength = 10;
    static constexpr std::size_t kFirstDigitTime = 1066; // then delay, speed, D key, key format, */# time
    static constexpr std::size_t kStunCode = 1072;     // 6 digits, one per byte
    static constexpr std::size_t kStunCodeLength = 6;
    static constexpr std::size_t kStunAllow = 1078;
    static constexpr std::size_t kCarriedByte1079 = 1079;
    static constexpr std::size_t kUpperLimit = 1872;
    static constexpr std::size_t kLowerLimit = 1876;
    static constexpr std::size_t kFirstIf = 1880;
    static constexpr std::size_t kCarriedByte1884 = 1884;
    static constexpr std::size_t kLocalOscillator = 1885; // bit 0
    static constexpr std::size_t kCarriedByte1886 = 1886;
    static constexpr std::size_t kCarriedByte1887 = 1887;
    static constexpr std::size_t kBandCentre = 1888;
    static constexpr std::size_t kCarriedByte1902 = 1902;
    static constexpr std::size_t kMessage1 = 1920;
    static constexpr std::size_t kMessage2 = 1952;
    static constexpr std::size_t kMessageLength = 32;
    static constexpr std::size_t kModelCode = 1984;    // 8 characters, reversed
    static constexpr std::size_t kIdentSize = 8;       // what a radio identifies itself with
    static constexpr std::size_t kInfoText1 = 2000;
    static constexpr std::size_t kInfoText2 = 2008;
    static constexpr std::size_t kInfoSize = 16;       // 2000..2015, what an info job reads
    // A write to the radio sends bytes 0..1999; the rest is only ever read.
    static constexpr std::size_t kWritableSize = 2000;
};
