#pragma once
#include <cstdint>

// The list position of a stored byte for the lists whose first entry stands
// for "not set" (0xFF) and whose next three entries are the values 0, 1, 2.
// The whole field is compared, so only exactly these four values find a
// position; any other value shows the first entry.
int ListIndexOfByte(uint32_t value);
