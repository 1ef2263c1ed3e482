// Decode and encode of a fully programmed memory image: every channel and
// every text field set, so each conversion does its full work.
#include <benchmark/benchmark.h>

#include <string>

#include "image/CImportData.h"

namespace {

void Program(RadioSettings& s)
{
    for (int i = 0; i < RadioSettings::kChannels; ++i) {
        ChannelRecord& c = s.channels[i];
        c.rxFrequency = 400.0125 + 0.0125 * i;
        c.txFrequency = 410.0125 + 0.0125 * i;
        SetText(c.txCode, i % 2 ? "D754I" : "151.4");
        SetText(c.rxCode, i % 2 ? "88.5" : "D023N");
        c.channelFree = 0;
        c.busyLockout = static_cast<uint32_t>(i % 4);
        c.rxStep625 = c.txStep625 = 1;
    }
    for (int k = 0; k < RadioSettings::kAutodials; ++k)
        SetText(s.autodial[k], std::string("0123456789ABCD*#").substr(0, 8 + k));
    SetText(s.botCode, "0123456789ABCD*#");
    SetText(s.eotCode, "*12#");
    SetText(s.idCode, "1234567890");
    SetText(s.stunCode, "123ABC");
    SetText(s.message1, "ZEMTRA800 PROGRAMMED RADIO 00001");
    SetText(s.message2, "WELCOME");
    SetText(s.modelCode, "Q80103");
    SetText(s.infoText1, "20240611");
    SetText(s.infoText2, "A1B2C3D4");
    s.upperLimit = 520.0;
    s.lowerLimit = 400.0;
    s.firstIf = 41.65;
    s.bandCentre = 460.0;
}

void BM_DecodeAll(benchmark::State& state)
{
    CImportData data;
    Program(*data.GetSettings());
    data.EncodeAll();
    for (auto _ : state)
        benchmark::DoNotOptimize(data.DecodeAll());
}
BENCHMARK(BM_DecodeAll)->Unit(benchmark::kMicrosecond);

void BM_EncodeAll(benchmark::State& state)
{
    CImportData data;
    Program(*data.GetSettings());
    for (auto _ : state)
        benchmark::DoNotOptimize(data.EncodeAll());
}
BENCHMARK(BM_EncodeAll)->Unit(benchmark::kMicrosecond);

// What opening and saving a file costs together; must stay well under 50 us.
void BM_DecodeThenEncode(benchmark::State& state)
{
    CImportData data;
    Program(*data.GetSettings());
    data.EncodeAll();
    for (auto _ : state) {
        benchmark::DoNotOptimize(data.DecodeAll());
        benchmark::DoNotOptimize(data.EncodeAll());
    }
}
BENCHMARK(BM_DecodeThenEncode)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
