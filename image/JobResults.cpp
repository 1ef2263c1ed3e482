#include "image/JobResults.h"

#include "image/CImportData.h"

namespace JobResults {

void LayReadImage(CImportData& data, const uint8_t (&image)[ImageMap::kSize])
{
    data.SetBytes(image, 0, ImageMap::kSize);
}

void LayIdentification(CImportData& data, const uint8_t (&ident)[ImageMap::kIdentSize])
{
    data.SetBytes(ident, ImageMap::kModelCode, ImageMap::kIdentSize);
}

void LayRadioInfo(CImportData& data, const uint8_t (&info)[ImageMap::kInfoSize])
{
    data.SetBytes(info, ImageMap::kInfoText1, ImageMap::kInfoSize);
}

void LayReadImage(CImportData& data, const std::array<uint8_t, ImageMap::kSize>& image)
{
    data.SetBytes(image.data(), 0, ImageMap::kSize);
}

void LayIdentification(CImportData& data, const std::array<uint8_t, ImageMap::kIdentSize>& ident)
{
    data.SetBytes(ident.data(), ImageMap::kModelCode, ImageMap::kIdentSize);
}

void LayRadioInfo(CImportData& data, const std::array<uint8_t, ImageMap::kInfoSize>& info)
{
    data.SetBytes(info.data(), ImageMap::kInfoText1, ImageMap::kInfoSize);
}

} // namespace JobResults
