#pragma once

// Where the channel edit and model information dialogs report changes: the
// channel view. Modes: 0 a channel's data changed (or is being left), 1 blank
// the whole table keeping the model code, 2 the dialog moved to another channel.
class ChannelUpdateSink {
public:
    virtual ~ChannelUpdateSink() = default;
    virtual void OnChannelUpdate(int channel, int mode) = 0;
};
