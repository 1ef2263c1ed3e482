#include "app/GridText.h"

#include <cstdio>

#include "image/ChannelRecord.h"
#include "image/ChannelRules.h"
#include "image/RadioSettings.h"

namespace {
QString Pick(bool chinese, const char* english, const char* chineseText)
{
    return QString::fromUtf8(chinese ? chineseText : english);
}

// "%f" cut to 9 characters: 450.0125 shows as "450.01250".
QString Frequency(double mhz)
{
    char text[64];
    std::snprintf(text, sizeof text, "%f", mhz);
    return QString::fromLatin1(text).left(9);
}

QString Code(const char (&field)[6])
{
    const std::string_view code = GetText(field);
    return QString::fromLatin1(code.data(), static_cast<qsizetype>(code.size()));
}
} // namespace

namespace GridText {

QString CellText(const ChannelRecord& ch, int column, bool zh)
{
    const bool transmits = HasTransmitFrequency(ch);
    switch (column) {
    case 0:
        return Frequency(ch.rxFrequency);
    case 1:
        return transmits ? Frequency(ch.txFrequency) : QString();
    case 2: {
        const QString code = Code(ch.rxCode);
        return code.isEmpty() ? Pick(zh, "None", "无") : code;
    }
    case 3: {
        const QString code = Code(ch.txCode);
        if (!code.isEmpty())
            return code;
        return transmits ? Pick(zh, "None", "无") : QString();
    }
    case 4:
        return ch.highPower ? Pick(zh, "High", "高功率") : Pick(zh, "Low", "低功率");
    case 5:
        return ch.wideNarrow ? Pick(zh, "Wide", "宽带") : Pick(zh, "Narrow", "窄带");
    case 6:
        return ch.scanAdd ? Pick(zh, "Add", "追加扫描") : Pick(zh, "Delete", "删除");
    case 7:
        return ch.optionalSignalling ? Pick(zh, "None", "无") : QStringLiteral("DTMF");
    default:
        return QString();
    }
}

QString ColumnHeader(int column, bool zh)
{
    static const char* const english[] = {"Receive", "Transmit", "Decode", "Encode",
                                          "Tx Power", "W / N", "Scan", "Signalling"};
    static const char* const chinese[] = {"接收", "发射", "解码", "编码",
                                          "发射功率", "宽/窄", "扫描", "信令"};
    if (column < 0 || column > 7)
        return QString();
    return Pick(zh, english[column], chinese[column]);
}

QString GroupHeader(int group, bool zh)
{
    switch (group) {
    case 0:
        return Pick(zh, "Frequency", "频率");
    case 1:
        return Pick(zh, "QT/DQT", "DT/DQT");
    case 2:
        return Pick(zh, "Option", "可选");
    default:
        return QString();
    }
}

QString PageButtonText(int page, bool zh)
{
    const int first = 17 * (page - 1) + 1;
    const int last = page == 3 ? 50 : first + 16;
    return zh ? QString::fromUtf8("第%1页(%2-%3)").arg(page).arg(first).arg(last)
              : QStringLiteral("Page%1 (%2-%3)").arg(page).arg(first).arg(last);
}

} // namespace GridText
