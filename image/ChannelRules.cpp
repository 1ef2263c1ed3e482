#include "image/ChannelRules.h"

#include <algorithm>
#include <cmath>
#include <charconv>

#include "image/ChannelRecord.h"
#include "image/NumberText.h"
#include "image/ValueCodec.h"

namespace {

constexpr double kInUseAbove = 0.1; // MHz
constexpr long long kRaster625 = 6250;
constexpr long long kRaster5 = 5000;

} // namespace

bool FrequencyInUse(double mhz) { return mhz > kInUseAbove; }

bool ChannelInUse(const ChannelRecord& channel) { return FrequencyInUse(channel.rxFrequency); }

bool HasTransmitFrequency(const ChannelRecord& channel)
{
    return channel.txFrequency >= ValueCodec::kLowestFrequency;
}

long long FrequencyHz(double mhz)
{
    // Out-of-range values cannot be frequencies; keep llround defined.
    if (!std::isfinite(mhz) || std::fabs(mhz) > 1e9)
        return 0;
    return std::llround(mhz * 1000000.0);
}

long long RasterHz(long long hz)
{
    if (hz % kRaster625 != 0 && hz % kRaster5 != 0)
        return (hz / kRaster625) * kRaster625;
    return hz;
}

double MoveToRaster(double mhz)
{
    // The quotient of two exact integers reads back as the editor's text does.
    return static_cast<double>(RasterHz(FrequencyHz(mhz))) / 1000000.0;
}

uint32_t Step625Flag(double mhz)
{
    return mhz > 0.0 && FrequencyHz(mhz) % kRaster625 == 0 ? 1 : 0;
}

void SetStepFlags(ChannelRecord& channel)
{
    channel.rxStep625 = Step625Flag(channel.rxFrequency);
    channel.txStep625 = Step625Flag(channel.txFrequency);
}

std::string NormalisedFrequencyText(std::string_view text, double lower, double upper)
{
    if (text.empty())
        return std::string();
    const double lo = std::min(lower, upper);
    const double hi = std::max(lower, upper);
    const long long hz = RasterHz(FrequencyHz(std::clamp(LeadingNumber(text), lo, hi)));
    // Written without the C library's locale, which may want a comma.
    char out[400];
    // Radio frequencies have three integer digits: the first 8 digits of the
    // hertz value with the point after the third.
    if (hz >= 100000000LL && hz <= 999999999LL) {
        std::to_chars(out, out + sizeof out, hz);
        return std::string(out, 3) + '.' + std::string(out + 3, 5);
    }
    // Outside 100..999 MHz (a band whose limits are not set) the digit
    // shuffle would misplace the point; show the value itself.
    const auto end = std::to_chars(out, out + sizeof out, static_cast<double>(hz) / 1000000.0,
                                   std::chars_format::fixed, 5).ptr;
    return std::string(out, end);
}

void MarkInUse(ChannelRecord& channel)
{
    SetStepFlags(channel);
    channel.channelFree = 0;
}

bool InFixedPlan(int channel)
{
    return channel >= 1 && channel <= 40 && channel != 22 && channel != 23;
}

uint32_t BusyLockoutCode(int position)
{
    switch (position) {
    case 0: return 3;
    case 1: return 0;
    case 2: return 1;
    default: return 2;
    }
}

int BusyLockoutPosition(uint32_t code)
{
    switch (code) {
    case 0: return 1;
    case 1: return 2;
    case 2: return 3;
    default: return 0;
    }
}
