#pragma once
#include <array>
#include <cstdint>

#include "image/ImageMap.h"

class CImportData;

// What a finished radio job leaves in the memory image, for the window and
// the command-line tool alike. None of these decodes: the caller decodes once
// everything of its job is in place.
namespace JobResults {

// A read job's 2048 bytes replace the whole image.
void LayReadImage(CImportData& data, const uint8_t (&image)[ImageMap::kSize]);
// The radio's identification (its model code, stored reversed) at 1984..1991.
void LayIdentification(CImportData& data, const uint8_t (&ident)[ImageMap::kIdentSize]);
// An info job's two information texts at 2000..2015.
void LayRadioInfo(CImportData& data, const uint8_t (&info)[ImageMap::kInfoSize]);

// The same for results held in std::array (the window copies them across threads).
void LayReadImage(CImportData& data, const std::array<uint8_t, ImageMap::kSize>& image);
void LayIdentification(CImportData& data, const std::array<uint8_t, ImageMap::kIdentSize>& ident);
void LayRadioInfo(CImportData& data, const std::array<uint8_t, ImageMap::kInfoSize>& info);

} // namespace JobResults
