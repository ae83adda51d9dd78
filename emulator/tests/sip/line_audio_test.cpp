// The line's queues between the device and the network: the caller is heard live, and neither
// way holds more than its bound.
#include "sip/line_audio.h"

#include <gtest/gtest.h>

#include <vector>

namespace tovarin::emulator::sip {
namespace {

std::vector<int16_t> Packet(int16_t value) {
    return std::vector<int16_t>(160, value);
}

TEST(LineAudio, AReaderThatStartsLateHearsWhatIsSaidNow) {
    LineAudio line;
    for (int16_t packet = 1; packet <= 10; ++packet) {
        line.FromCaller(Packet(packet));
    }
    std::vector<int16_t> heard(320);
    line.ReadCaller(heard);
    // One packet of slack beyond what is read: packets 8 and 9, then 10 waits for the next read.
    EXPECT_EQ(heard.front(), 8);
    EXPECT_EQ(heard.back(), 9);
    std::vector<int16_t> next(320);
    line.ReadCaller(next);
    EXPECT_EQ(next.front(), 10);
    EXPECT_EQ(next.back(), 0);  // nothing more came: silence
    ASSERT_TRUE(line.FromCallerDelayMs());
}

TEST(LineAudio, PlaybackForTheCallerIsBoundedAndSilentWhenNothingPlays) {
    LineAudio line;
    std::vector<int16_t> packet(160);
    line.ToCaller(packet);
    EXPECT_EQ(packet, std::vector<int16_t>(160, 0));
    EXPECT_FALSE(line.ToCallerDelayMs());

    for (int16_t block = 1; block <= 10; ++block) {
        line.PlayToCaller(std::vector<int16_t>(800, block));  // ten 100 ms blocks at once
    }
    line.ToCaller(packet);
    // Only the newest 400 ms are kept: blocks 7 to 10.
    EXPECT_EQ(packet.front(), 7);
    EXPECT_TRUE(line.ToCallerDelayMs());
}

}  // namespace
}  // namespace tovarin::emulator::sip
