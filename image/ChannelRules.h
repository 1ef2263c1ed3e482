#pragma once
#include <cstdint>
#include <string>
#include <string_view>

struct ChannelRecord;

// Rules about one channel that the channel editor, the channel grid and the
// command-line tool share, so that a channel means the same everywhere.

// A receive frequency above 0.1 MHz puts a channel in use; at or below it the
// channel is blank: the grid draws an empty row, the editor shows it closed.
bool FrequencyInUse(double mhz);
bool ChannelInUse(const ChannelRecord& channel);
// Whether the transmit frequency is one the image holds as a frequency
// (below that it is stored as none and the channel does not transmit).
bool HasTransmitFrequency(const ChannelRecord& channel);

// Frequencies lie on the 6.25 kHz or the 5 kHz raster. The hertz of a
// frequency are those of its "%.0f" text.
long long FrequencyHz(double mhz);
// A frequency on neither raster moves down to the 6.25 kHz raster.
long long RasterHz(long long hz);
double MoveToRaster(double mhz);
// The step flag of a frequency: 1 on the 6.25 kHz raster, else 0 (also for
// no frequency at all).
uint32_t Step625Flag(double mhz);
// rxStep625 and txStep625 from the channel's frequencies; a channel without
// a transmit frequency gets txStep625 0. (A blank channel's flags, 255, come
// with RadioSettings::ResetChannel.)
void SetStepFlags(ChannelRecord& channel);

// What a frequency field shows once the user leaves it: the number the text
// starts with, clamped into the band between the two limits (either order),
// moved down to the raster, with three integer digits and five decimals
// ("450.003" gives "450.00000"). An empty text stays empty.
std::string NormalisedFrequencyText(std::string_view text, double lower, double upper);

// What the channel editor derives whenever it stores a channel in use: the
// step flags from its frequencies, and the channel no longer marked free.
void MarkInUse(ChannelRecord& channel);

// The busy channel lockout code belongs to the position of the editor's
// list entry, not to its wording: entry 0 stores 3 (off), 1 stores 0, 2
// stores 1, any other (or none) 2; and back.
uint32_t BusyLockoutCode(int position);
int BusyLockoutPosition(uint32_t code);

// The 476-478 MHz fixed-frequency model uses channels 1..21 and 24..40; the
// others (22, 23, 41..50) stay out of its plan.
bool InFixedPlan(int channel);
