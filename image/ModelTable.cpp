#include "image/ModelTable.h"

#include <algorithm>
#include <cstdio>
#include <strings.h>

#include "image/NumberText.h"
#include "image/RadioSettings.h"
#include "image/ValueCodec.h"

namespace {

const std::array<ModelRow, 15> kRows = {{
    {"VHF:150-174MHz", "Q70101", "HX7100L1"},
    {"VHF:136-150MHz", "Q70102", "HX7100L2"},
    {"UHF:450-470MHz", "Q80103", "HX8100L1"},
    {"UHF:350-370MHz", "Q80104", ""},
    {"UHF:370-390MHz", "Q80105", ""},
    {"UHF:400-420MHz", "Q80106", "HX8100L4"},
    {"UHF:420-440MHz", "Q80107", ""},
    {"UHF:430-450MHz", "Q80108", ""},
    {"UHF:476-478MHz", "Q80109", "HX8100K4"},
    {"Custom Model", "Q80100", ""},
    {"VHF:136-174MHz", "Q7200A", "HX7200L1"},
    {"UHF:400-440MHz", "Q7200B", "HX7200L2"},
    {"UHF:430-470MHz", "Q7200C", "HX7200L3"},
    {"UHF:470-512MHz", "Q7200D", "HX7200L4"},
    {"UHF:350-390MHz", "Q7200E", "HX7200L5"},
}};

// Model codes and band texts are plain ASCII; a code read from a radio may
// hold any byte, which simply matches nothing.
bool SameText(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

std::string Mhz(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.5f", value);
    return text;
}

} // namespace

const std::array<ModelRow, 15>& ModelTable::Rows()
{
    return kRows;
}

const ModelRow* ModelTable::Find(std::string_view code)
{
    for (const ModelRow& row : kRows) {
        if (SameText(code, row.modelCode))
            return &row;
    }
    return nullptr;
}

void ModelIdentify(ModelState& state, const RadioSettings& settings)
{
    std::string_view code = GetText(settings.modelCode);
    if (code.empty())
        return;
    if (SameText(code, ModelTable::kCustomModelCode)) {
        state.customModel = 1;
        state.band476 = 0;
        state.highestFrequency = Mhz(settings.upperLimit);
        state.lowestFrequency = Mhz(settings.lowerLimit);
        state.firstIntermediateFrequency = Mhz(settings.firstIf);
        state.highSideOscillator = static_cast<int>(settings.highLocalOscillator);
        return;
    }
    state.customModel = 0;
    if (const ModelRow* row = ModelTable::Find(code))
        state.bandText = row->bandText;
    state.band476 = SameText(state.bandText, ModelTable::kBand476Text) ? 1 : 0;
}

std::string TitleBandText(const ModelState& state)
{
    if (!state.customModel)
        return state.bandText;
    // Read whatever the C library wrote, a decimal comma included: the whole
    // megahertz decide.
    const std::string& high = state.highestFrequency;
    const double upper = LeadingNumber(high);
    return std::string(upper > 200 ? "UHF:" : "VHF:") + state.lowestFrequency + "-" + high + "MHz";
}

bool BandLimits::Contains(double mhz) const
{
    return mhz >= std::min(lower, upper) && mhz <= std::max(lower, upper);
}

BandLimits BandLimitsOf(std::string_view bandText, std::string_view lowestText, std::string_view highestText)
{
    if (bandText.empty())
        return {LeadingNumber(lowestText), LeadingNumber(highestText)};
    // Three characters after the first ':' and after the first '-' (from the
    // start of the text where there is none).
    auto threeAfter = [bandText](char mark) {
        const std::size_t at = bandText.find(mark);
        const std::size_t from = at == std::string_view::npos ? 0 : at + 1;
        return LeadingInteger(from < bandText.size() ? bandText.substr(from, 3) : std::string_view());
    };
    const long long a = threeAfter(':');
    const long long b = threeAfter('-');
    return {static_cast<double>(std::min(a, b)), static_cast<double>(b)};
}

BandLimits ModelBandLimits(const ModelState& state)
{
    if (state.customModel)
        return BandLimitsOf("", state.lowestFrequency, state.highestFrequency);
    return BandLimitsOf(state.bandText, "", "");
}

BandLimits SettingsBandLimits(const RadioSettings& settings)
{
    ModelState state;
    ModelIdentify(state, settings);
    return ModelBandLimits(state);
}

bool ModelMatchesIdent(std::string_view modelCode, const uint8_t* ident8)
{
    return !modelCode.empty() && static_cast<uint8_t>(modelCode.back()) == ident8[2];
}

std::string IdentModelCode(const uint8_t* ident8)
{
    return ReversedText(ident8);
}
