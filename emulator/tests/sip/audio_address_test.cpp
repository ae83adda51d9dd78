// Where the line lets a caller's audio go and whose packets it hears: the address decision over a
// machine's own addresses, the RTP source filter, and network text on its way to the trace.
#include "sip/audio_address.h"

#include <gtest/gtest.h>

#include "sip/network_text.h"
#include "sip/rtp_source.h"
#include "sip/sip_address.h"

namespace tovarin::emulator::sip {
namespace {

IpAddress Ip(const char* text) {
    const std::optional<IpAddress> address = ParseIpAddress(text);
    EXPECT_TRUE(address) << text;
    return address.value_or(IpAddress{});
}

TEST(IpAddress, FormsOfOneAddressCompareEqual) {
    EXPECT_EQ(Ip("::ffff:127.0.0.1"), Ip("127.0.0.1"));
    EXPECT_EQ(Ip("fd00:0:0::2"), Ip("fd00::2"));
    EXPECT_NE(Ip("::1"), Ip("127.0.0.1"));
    EXPECT_TRUE(Ip("127.8.9.10").IsLoopback());
    EXPECT_TRUE(Ip("::1").IsLoopback());
    EXPECT_TRUE(Ip("::ffff:127.0.0.1").IsLoopback());
    EXPECT_FALSE(Ip("::2").IsLoopback());
    EXPECT_TRUE(Ip("0.0.0.0").IsUnspecified());
    EXPECT_TRUE(Ip("::").IsUnspecified());
    EXPECT_FALSE(Ip("0.0.0.1").IsUnspecified());
    EXPECT_EQ(IpAddressText(Ip("::ffff:10.0.0.1")), "10.0.0.1");
    for (const char* text :
         {"", "localhost", "1.2.3", "1.2.3.4.5", "fe80::1%eth0", "::g", " ::1"}) {
        EXPECT_FALSE(ParseIpAddress(text)) << text;
    }
}

// The machine of these cases: loopback, a LAN address, and IPv6 on both.
const std::vector<IpAddress>& Machine() {
    static const std::vector<IpAddress> machine = {Ip("127.0.0.1"), Ip("192.168.1.20"), Ip("::1"),
                                                   Ip("fd00::2")};
    return machine;
}

TEST(AudioPlace, ADecisionForEveryKindOfCallerAndAddress) {
    struct Case {
        const char* offered;
        const char* source;
        AudioPlace place;
    };
    const Case cases[] = {
        // A caller on this machine: any address of the machine, never another one.
        {"127.0.0.1", "127.0.0.1", AudioPlace::Caller},
        {"192.168.1.20", "127.0.0.1", AudioPlace::Caller},
        {"fd00::2", "127.0.0.1", AudioPlace::Caller},
        {"::1", "127.0.0.1", AudioPlace::Caller},
        {"127.0.0.5", "127.0.0.1", AudioPlace::Caller},
        {"192.168.1.20", "::1", AudioPlace::Caller},
        {"::ffff:192.168.1.20", "::ffff:127.0.0.1", AudioPlace::Caller},
        {"192.0.2.2", "127.0.0.1", AudioPlace::Refused},
        {"fd00::3", "::1", AudioPlace::Refused},
        {"224.0.0.1", "127.0.0.1", AudioPlace::Refused},
        // A caller from elsewhere: its own host only, whatever the machine's addresses are.
        {"192.168.1.7", "192.168.1.7", AudioPlace::Caller},
        {"2001:db8::7", "2001:db8::7", AudioPlace::Caller},
        {"::ffff:192.168.1.7", "192.168.1.7", AudioPlace::Caller},
        {"192.168.1.8", "192.168.1.7", AudioPlace::Refused},
        {"192.168.1.20", "192.168.1.7", AudioPlace::Refused},
        {"127.0.0.1", "192.168.1.7", AudioPlace::Refused},
        {"2001:db8::8", "2001:db8::7", AudioPlace::Refused},
        // No address: a hold, from anyone.
        {"0.0.0.0", "127.0.0.1", AudioPlace::Hold},
        {"0.0.0.0", "192.168.1.7", AudioPlace::Hold},
        {"::", "2001:db8::7", AudioPlace::Hold},
        // Not a numeric address.
        {"caller.example", "192.168.1.7", AudioPlace::Refused},
        {"fe80::1%eth0", "127.0.0.1", AudioPlace::Refused},
    };
    for (const Case& c : cases) {
        const AudioDecision decision = DecideAudioPlace(c.offered, Ip(c.source), Machine());
        EXPECT_EQ(decision.place, c.place) << c.offered << " from " << c.source;
        EXPECT_EQ(decision.reason.empty(), c.place != AudioPlace::Refused) << c.offered;
    }
    EXPECT_EQ(DecideAudioPlace("192.168.1.8", Ip("192.168.1.7"), Machine()).reason,
              "the audio is to go to 192.168.1.8, not to the caller's host");
    EXPECT_EQ(DecideAudioPlace("192.0.2.2", Ip("127.0.0.1"), Machine()).reason,
              "the audio is to go to 192.0.2.2, which is not an address of this machine");
    EXPECT_EQ(DecideAudioPlace("a\x1b[2J", Ip("127.0.0.1"), Machine()).reason,
              "the audio is to go to 'a\\x1b[2J', which is no numeric address");
}

TEST(AudioPlace, ThisMachinesOwnAddressesIncludeLoopback) {
    const std::vector<IpAddress> own = MachineAddresses();
    EXPECT_NE(std::find(own.begin(), own.end(), Ip("127.0.0.1")), own.end());
    // Each of them, offered by a caller on this machine, gets the audio.
    for (const IpAddress& address : own) {
        EXPECT_EQ(DecideAudioPlace(IpAddressText(address), Ip("127.0.0.1"), own).place,
                  address.IsUnspecified() ? AudioPlace::Hold : AudioPlace::Caller)
            << IpAddressText(address);
    }
}

TEST(ListeningAddresses, EveryAddressIsEachOfTheMachinesOfThatFamily) {
    std::vector<IpAddress> machine = Machine();
    machine.push_back(Ip("fe80::1"));  // link-local: it needs its interface named
    machine.push_back(Ip("127.0.0.1"));
    EXPECT_EQ(ListeningAddresses(Ip("0.0.0.0"), machine),
              (std::vector<IpAddress>{Ip("127.0.0.1"), Ip("192.168.1.20")}));
    EXPECT_EQ(ListeningAddresses(Ip("::"), machine),
              (std::vector<IpAddress>{Ip("::1"), Ip("fd00::2")}));
    EXPECT_EQ(ListeningAddresses(Ip("::1"), machine), std::vector<IpAddress>{Ip("::1")});
}

TEST(RtpSourceFilter, OnlyTheCallersPacketsAreTaken) {
    RtpSourceFilter filter;
    EXPECT_FALSE(filter.Take(Ip("192.168.1.7"), 4000));  // before the answer: nothing
    filter.Expect({Ip("192.168.1.7"), 4000, {}, false});
    EXPECT_TRUE(filter.Take(Ip("192.168.1.7"), 4000));
    EXPECT_TRUE(filter.Take(Ip("::ffff:192.168.1.7"), 4000));
    EXPECT_FALSE(filter.Take(Ip("192.168.1.7"), 4002));
    EXPECT_FALSE(filter.Take(Ip("192.168.1.8"), 4000));
    EXPECT_EQ(filter.dropped(), 3u);

    // A caller on this machine sends from any of its addresses, from the offered port.
    RtpSourceFilter local;
    local.Expect({Ip("fd00::2"), 7078, Machine(), false});
    EXPECT_TRUE(local.Take(Ip("127.0.0.1"), 7078));
    EXPECT_TRUE(local.Take(Ip("fd00::2"), 7078));
    EXPECT_FALSE(local.Take(Ip("127.0.0.1"), 7080));
    EXPECT_FALSE(local.Take(Ip("192.0.2.9"), 7078));
    EXPECT_EQ(local.dropped(), 2u);

    // Behind an address translation: the first packet from the caller's host fixes the port,
    // and a new offer from the same host keeps it.
    RtpSourceFilter translated;
    translated.Expect({Ip("203.0.113.5"), 4000, {}, true});
    EXPECT_FALSE(translated.Take(Ip("203.0.113.6"), 4000));
    EXPECT_TRUE(translated.Take(Ip("203.0.113.5"), 61000));
    EXPECT_TRUE(translated.Take(Ip("203.0.113.5"), 61000));
    EXPECT_FALSE(translated.Take(Ip("203.0.113.5"), 4000));
    translated.Expect({Ip("203.0.113.5"), 4010, {}, true});
    EXPECT_TRUE(translated.Take(Ip("203.0.113.5"), 61000));
    EXPECT_FALSE(translated.Take(Ip("203.0.113.5"), 4010));
    EXPECT_EQ(translated.dropped(), 3u);
}

TEST(NetworkText, ControlCharactersAndEscapesAreShownEscaped) {
    EXPECT_EQ(PrintableText("192.0.2.1 ok"), "192.0.2.1 ok");
    EXPECT_EQ(PrintableText("a\x1b[2Jb"), "a\\x1b[2Jb");
    EXPECT_EQ(PrintableText(std::string_view("x\0\r\n\x7f\x9b", 6)), "x\\x00\\x0d\\x0a\\x7f\\x9b");
    EXPECT_EQ(PrintableText("a\\x1b"), "a\\\\x1b");  // a forged escape stays tellable apart
    EXPECT_EQ(PrintableText("\xd0\x9f"), "\\xd0\\x9f");
}

}  // namespace
}  // namespace tovarin::emulator::sip
