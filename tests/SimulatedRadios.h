#pragma once
// Simulated radios for the tests of the radio jobs and the production line:
// one started with a given memory, images told apart by their ID code, and
// what a radio holds, decoded.
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "image/CImportData.h"
#include "image/RadioSettings.h"
#include "sim/SimulatedRadio.h"

// A simulated radio holding memory, started.
inline std::unique_ptr<SimulatedRadio> StartedRadio(const SimulatedRadio::Memory& memory,
                                                    const SimulatedRadioOptions& options = {})
{
    auto radio = std::make_unique<SimulatedRadio>(options);
    radio->SetMemory(memory);
    std::string error;
    EXPECT_TRUE(radio->Start(&error)) << error;
    return radio;
}

// A simulated radio that reports modelCode, its memory as it comes,
// started.
inline std::unique_ptr<SimulatedRadio> StartedRadio(const std::string& modelCode,
                                                    const SimulatedRadioOptions& options = {})
{
    auto radio = std::make_unique<SimulatedRadio>(options);
    radio->SetModelCode(modelCode);
    std::string error;
    EXPECT_TRUE(radio->Start(&error)) << error;
    return radio;
}

// The image a new document saves, with the given ID code (null: its own).
inline SimulatedRadio::Memory ImageWithId(const char* idCode = nullptr)
{
    CImportData data;
    data.ResetSettings();
    if (idCode)
        SetText(data.GetSettings()->idCode, idCode);
    EXPECT_EQ(data.EncodeAll(), 0);
    SimulatedRadio::Memory image;
    data.GetBytes(image.data(), 0, image.size());
    return image;
}

// The settings radio's memory holds.
inline RadioSettings HeldSettings(const SimulatedRadio& radio)
{
    const SimulatedRadio::Memory memory = radio.GetMemory();
    CImportData data;
    data.SetBytes(memory.data(), 0, memory.size());
    EXPECT_EQ(data.DecodeAll(), 0);
    return *data.GetSettings();
}

inline std::string IdCodeOf(const SimulatedRadio& radio)
{
    return std::string(GetText(HeldSettings(radio).idCode));
}
