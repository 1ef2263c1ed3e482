#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

class RadioSettings;

// The fixed table of known radio models; lookups take the first match.
struct ModelRow {
    const char* bandText;
    const char* modelCode;
    const char* modelName; // "" where the model has no name
};

class ModelTable {
public:
    static constexpr const char* kCustomModelCode = "Q80100";
    static constexpr const char* kBand476Text = "UHF:476-478MHz";
    static constexpr const char* kDefaultBandText = "UHF:450-470MHz";

    static const std::array<ModelRow, 15>& Rows();
    // First row whose model code equals code, ignoring case; nullptr if none.
    static const ModelRow* Find(std::string_view code);
};

// The write's model check: a radio identified with ident (8 bytes in stored
// order) takes a file of modelCode without asking when the code's last
// character is the identification's stored byte 2, the sixth character the
// radio sent (the last of a six-character code). An empty code never
// matches.
bool ModelMatchesIdent(std::string_view modelCode, const uint8_t* ident8);
// The model code an identification names, as the settings decode it.
std::string IdentModelCode(const uint8_t* ident8);

// The owner's notion of the current model, derived from RadioSettings.
struct ModelState {
    std::string bandText = ModelTable::kDefaultBandText;
    int customModel = 0;
    int band476 = 0;
    // Custom model only (formatted "%.5f"):
    std::string lowestFrequency;
    std::string highestFrequency;
    std::string firstIntermediateFrequency;
    int highSideOscillator = 0;
};

// Updates state from the model code and limits in settings.
void ModelIdentify(ModelState& state, const RadioSettings& settings);

// The band as the window's title shows it: the band text, or for the custom
// model its own limits, "UHF:400.00000-470.01250MHz" (VHF when the upper
// limit is 200 MHz or below).
std::string TitleBandText(const ModelState& state);

// The frequencies a model's channels may use, in MHz.
struct BandLimits {
    double lower = 0.0;
    double upper = 0.0;
    // Between the two limits, whichever way round they are given.
    bool Contains(double mhz) const;
};

// The band of a model as the channel editor is given it: a band text such as
// "UHF:450-470MHz" (the three digits after ':' and after '-'; the lower limit
// is the smaller of the two), or, with an empty band text, the custom
// model's own lowest and highest frequency texts.
BandLimits BandLimitsOf(std::string_view bandText, std::string_view lowestText, std::string_view highestText);
// The band of the model state describes (custom model or band text).
BandLimits ModelBandLimits(const ModelState& state);
// The band of the model the settings name, as a document opened with them
// identifies it (an unknown model code means the default band).
BandLimits SettingsBandLimits(const RadioSettings& settings);
