// Reading the sound server's recording inputs from `pactl list sources`.
#include <gtest/gtest.h>

#include "TPulseMixer.h"

namespace {

const char* kListing =
    "Source #0\n"
    "\tState: SUSPENDED\n"
    "\tName: alsa_output.pci-0000_00_1f.3.analog-stereo.monitor\n"
    "\tDescription: Monitor of Built-in Audio\n"
    "\tVolume: front-left: 65536 / 100% / 0.00 dB,   front-right: 65536 / 100% / 0.00 dB\n"
    "\tPorts:\n"
    "\t\tanalog-output: Analog Output (type: Unknown, priority: 9900, available)\n"
    "\tActive Port: analog-output\n"
    "\n"
    "Source #1\n"
    "\tState: RUNNING\n"
    "\tName: alsa_input.pci-0000_00_1f.3.analog-stereo\n"
    "\tDescription: Built-in Audio Analog Stereo\n"
    "\tVolume: front-left: 42000 /  64% / -11.60 dB,   front-right: 42000 /  64% / -11.60 dB\n"
    "\t        balance 0.00\n"
    "\tPorts:\n"
    "\t\tanalog-input-front-mic: Front Microphone (type: Mic, priority: 8500, not available)\n"
    "\t\tanalog-input-rear-mic: Rear Microphone (type: Mic, priority: 8200, available)\n"
    "\t\tanalog-input-linein: Line In (type: Line, priority: 8100, available)\n"
    "\tActive Port: analog-input-linein\n"
    "\tFormats:\n"
    "\t\tpcm\n";

}  // namespace

TEST(PulseMixer, ReadsTheNamedSourceOnly) {
    TPulseMixer::SourceState s;
    ASSERT_TRUE(TPulseMixer::ParseSource(kListing, "alsa_input.pci-0000_00_1f.3.analog-stereo", s));
    EXPECT_EQ(s.ActivePort, "analog-input-linein");
    EXPECT_EQ(s.Ports, QStringList({"analog-input-front-mic", "analog-input-rear-mic",
                                    "analog-input-linein"}));
    EXPECT_EQ(s.Volume, "42000");
    // The formats after the active port are no ports.
    ASSERT_TRUE(TPulseMixer::ParseSource(kListing,
                                         "alsa_output.pci-0000_00_1f.3.analog-stereo.monitor", s));
    EXPECT_EQ(s.Ports, QStringList({"analog-output"}));
    EXPECT_EQ(s.Volume, "65536");
    EXPECT_FALSE(TPulseMixer::ParseSource(kListing, "alsa_input", s));
    EXPECT_FALSE(TPulseMixer::ParseSource("", "x", s));
}

TEST(PulseMixer, TheLastMicrophonePortIsChosen) {
    TPulseMixer::SourceState s;
    ASSERT_TRUE(TPulseMixer::ParseSource(kListing, "alsa_input.pci-0000_00_1f.3.analog-stereo", s));
    EXPECT_EQ(TPulseMixer::MicrophonePort(s), "analog-input-rear-mic");
    s.Ports = {"analog-input-linein"};
    EXPECT_EQ(TPulseMixer::MicrophonePort(s), "");
}
