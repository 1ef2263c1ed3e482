#include "image/RadioSettings.h"

#include "image/ChannelRules.h"

namespace {

// Every member except the channel table to its reset value.
void ResetRadioWide(RadioSettings& s)
{
    std::memset(s.autodial, 0, sizeof s.autodial);
    std::memset(s.botCode, 0, sizeof s.botCode);
    std::memset(s.eotCode, 0, sizeof s.eotCode);
    s.dtmfHoldTime = s.storeAndSendOff = s.clearTranspondOff = 1;
    s.batterySave = s.keyLock = 1;
    s.beepTone = 1;
    s.lampMode = 255;
    s.testMode = s.selfProgramming = s.wirelessClone = 1;
    s.squelchLevel = 1;
    s.moniKey = s.voxGain = 255;
    s.carriedFlag1038Bit2 = s.carriedFlag1038Bit1 = s.carriedFlag1038Bit0 = 1;
    s.tot = 2;
    s.totPreAlert = s.totRekey = s.totReset = 255;
    s.dtmfSignalling = s.groupCode = s.intermediateCode = s.pttId = s.callAlert = s.transpond = 255;
    s.autoResetTimer = 10;
    std::memset(s.idCode, 0, sizeof s.idCode);
    s.firstDigitTime = 255;
    s.firstDigitDelay = 2;
    s.dtmfSpeed = s.dKeyAssignment = s.dtmfKeyFormat = s.starHashToneTime = 255;
    std::memset(s.stunCode, 0, sizeof s.stunCode);
    s.stunAllow = 0;
    s.carriedByte1079 = 255;
    std::memset(s.message1, 0, sizeof s.message1);
    std::memset(s.message2, 0, sizeof s.message2);
    SetText(s.modelCode, "Q80103");
    std::memset(s.infoText1, 0, sizeof s.infoText1);
    std::memset(s.infoText2, 0, sizeof s.infoText2);
    s.upperLimit = s.lowerLimit = s.firstIf = 0.0;
    s.carriedByte1884 = 0xFFFFFFFF;
    s.highLocalOscillator = 1;
    s.carriedByte1886 = s.carriedByte1887 = 0xFFFFFFFF;
    s.bandCentre = 0.0;
    s.carriedByte1902 = 1;
}

} // namespace

void RadioSettings::Reset()
{
    for (ChannelRecord& channel : channels)
        channel = ChannelRecord{};
    ResetRadioWide(*this);
}

void RadioSettings::ResetChannel(int n)
{
    if (n >= 1 && n <= kChannels)
        channels[n - 1] = ChannelRecord{};
}

void RadioSettings::ApplyFixedPlan()
{
    ResetRadioWide(*this);
    testMode = selfProgramming = wirelessClone = 0;
    squelchLevel = 3;
    tot = 6;
    autoResetTimer = 255;
    stunAllow = 255;
    carriedByte1902 = 0xFFFFFFFF;
    SetText(modelCode, "Q80109");

    // 476.425 MHz upwards in 25 kHz steps on the channels of the plan; the
    // others keep what they hold.
    for (int i = 0; i < kChannels; ++i) {
        if (!InFixedPlan(i + 1))
            continue;
        ChannelRecord& c = channels[i];
        c.rxFrequency = c.txFrequency = 476.425 + 0.025 * i;
        std::memset(c.txCode, 0, sizeof c.txCode);
        std::memset(c.rxCode, 0, sizeof c.rxCode);
        c.spUnmute = 1;
        c.busyLockout = 3;
        c.wideNarrow = 1;
        c.beatShiftOff = 0;
        c.optionalSignalling = 1;
        c.channelFree = 0;
        c.scanAdd = 1;
        c.carriedFlag13Bit3 = 1;
        c.highPower = 1;
        c.rxStep625 = 1;
        c.txStep625 = 1;
    }
}
