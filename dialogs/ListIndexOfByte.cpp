#include "dialogs/ListIndexOfByte.h"

int ListIndexOfByte(uint32_t value)
{
    struct Row {
        int position;
        uint32_t value;
    };
    static constexpr Row kRows[] = {{0, 0xFF}, {1, 0x00}, {2, 0x01}, {3, 0x02}};
    for (const Row& row : kRows)
        if (row.value == value)
            return row.position;
    return 0;
}
