#pragma once
#include <QString>

struct ChannelRecord;

// The words of the channel grid, in English (chinese false) or Chinese.
namespace GridText {
// Columns 0..7: receive, transmit, decode, encode, power, W/N, scan, signalling.
QString CellText(const ChannelRecord& channel, int column, bool chinese);
QString ColumnHeader(int column, bool chinese);
// Groups 0..2: Frequency (columns 0-1), QT/DQT (2-3), Option (7).
QString GroupHeader(int group, bool chinese);
// "Page1 (1-17)" / "第1页(1-17)" for pages 1..3.
QString PageButtonText(int page, bool chinese);
} // namespace GridText
