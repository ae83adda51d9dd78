// The small formats the SIP line writes and reads itself: AMR in RTP, the session descriptions,
// the caller's number, the listening address and the address the phone dials.
#include <gtest/gtest.h>

#include "sip/amr_payload.h"
#include "sip/caller_number.h"
#include "sip/dial_target.h"
#include "sip/info_body.h"
#include "sip/outgoing_offer.h"
#include "sip/sdp_offer.h"

namespace tovarin::emulator::sip {
namespace {

// A 4.75 kbit/s frame (95 speech bits, 12 bytes) in storage form: ToC 0 0000 1 00 and a pattern
// whose last byte has only its top bit used.
std::vector<uint8_t> Mode0Frame() {
    std::vector<uint8_t> frame{0x04};
    for (int i = 0; i < 11; ++i) {
        frame.push_back(static_cast<uint8_t>(0xA5 ^ (i * 17)));
    }
    frame.push_back(0x80);
    return frame;
}

TEST(AmrPayload, OctetAlignedIsModeRequestTocAndTheFrameBytes) {
    const std::vector<uint8_t> frame = Mode0Frame();
    const auto payload = PackAmrPayload(frame, /*octet_aligned=*/true);
    ASSERT_TRUE(payload);
    ASSERT_EQ(payload->size(), 2 + 12u);
    EXPECT_EQ((*payload)[0], 0xF0);  // no mode request
    EXPECT_EQ((*payload)[1], 0x04);  // F=0, FT=0, Q=1
    EXPECT_TRUE(std::equal(frame.begin() + 1, frame.end(), payload->begin() + 2));
    const auto frames = UnpackAmrPayload(*payload, true);
    ASSERT_TRUE(frames);
    ASSERT_EQ(frames->size(), 1u);
    EXPECT_EQ((*frames)[0], frame);
}

TEST(AmrPayload, BandwidthEfficientPacksTheFieldsBitAfterBit) {
    const std::vector<uint8_t> frame = Mode0Frame();
    const auto payload = PackAmrPayload(frame, /*octet_aligned=*/false);
    ASSERT_TRUE(payload);
    // 4 bits of mode request, 6 of ToC and 95 speech bits: 105 bits in 14 bytes.
    ASSERT_EQ(payload->size(), 14u);
    // 1111 | 0 0000 1 | then the speech bits from the 11th bit on.
    EXPECT_EQ((*payload)[0], 0xF0);
    EXPECT_EQ((*payload)[1] & 0xC0, 0x40);
    EXPECT_EQ(static_cast<uint8_t>(((*payload)[1] << 2) | ((*payload)[2] >> 6)), frame[1]);
    const auto frames = UnpackAmrPayload(*payload, false);
    ASSERT_TRUE(frames);
    ASSERT_EQ(frames->size(), 1u);
    EXPECT_EQ((*frames)[0], frame);
}

TEST(AmrPayload, SeveralFramesAndMalformedPayloads) {
    // Octet-aligned, two frames: a 12.2 frame (31 bytes) then no data.
    std::vector<uint8_t> two{0xF0, 0x80 | (7 << 3) | 0x04, (15 << 3) | 0x04};
    two.insert(two.end(), 31, 0x55);
    const auto frames = UnpackAmrPayload(two, true);
    ASSERT_TRUE(frames);
    ASSERT_EQ(frames->size(), 2u);
    EXPECT_EQ((*frames)[0].size(), 32u);
    EXPECT_EQ((*frames)[1], std::vector<uint8_t>{(15 << 3) | 0x04});

    const std::vector<uint8_t> truncated(two.begin(), two.end() - 1);
    EXPECT_FALSE(UnpackAmrPayload(truncated, true));
    EXPECT_FALSE(UnpackAmrPayload(std::vector<uint8_t>{0xF0, 0x80, 0x80}, true));  // ToC never ends
    EXPECT_FALSE(UnpackAmrPayload(std::vector<uint8_t>{0xF0, 12 << 3}, true));     // reserved type
    EXPECT_FALSE(UnpackAmrPayload(std::vector<uint8_t>{0xF0}, false));
    EXPECT_FALSE(UnpackAmrPayload(std::vector<uint8_t>{}, true));
    EXPECT_FALSE(PackAmrPayload(std::vector<uint8_t>{0x04, 1, 2}, true));  // too short a frame
}

constexpr char kBaresipLikeOffer[] =
    "v=0\r\n"
    "o=- 1 2 IN IP4 127.0.0.1\r\n"
    "s=-\r\n"
    "c=IN IP4 127.0.0.1\r\n"
    "t=0 0\r\n"
    "m=audio 40000 RTP/AVP 97 96 0 8 101\r\n"
    "a=rtpmap:97 AMR/8000\r\n"
    "a=fmtp:97 octet-align=1\r\n"
    "a=rtpmap:96 AMR/8000\r\n"
    "a=rtpmap:101 telephone-event/8000\r\n"
    "a=sendrecv\r\n";

TEST(SdpOffer, TheCallersFirstTakenFormatWins) {
    std::string error;
    const auto offer = ParseSdpOffer(kBaresipLikeOffer, &error);
    ASSERT_TRUE(offer) << error;
    EXPECT_EQ(offer->address, "127.0.0.1");
    EXPECT_EQ(offer->audio_port, 40000);
    ASSERT_EQ(offer->formats.size(), 5u);
    const auto choice = ChooseMedia(*offer);
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->codec, VoiceCodec::AmrOctetAligned);
    EXPECT_EQ(choice->payload_type, 97);
    EXPECT_EQ(choice->event_payload_type, 101);

    const std::string answer = MakeSdpAnswer(*choice, "127.0.0.1", 20000, 7);
    EXPECT_NE(answer.find("m=audio 20000 RTP/AVP 97 101\r\n"), std::string::npos) << answer;
    EXPECT_NE(answer.find("a=fmtp:97 octet-align=1\r\n"), std::string::npos);
    // The phone's own answer reads back as what it chose.
    const auto again = ParseSdpOffer(answer, &error);
    ASSERT_TRUE(again) << error;
    EXPECT_EQ(ChooseMedia(*again)->codec, VoiceCodec::AmrOctetAligned);
}

TEST(SdpOffer, ChoicesBetweenCodecsAndModes) {
    auto choose = [](const std::string& media_and_attributes) {
        std::string error;
        const auto offer =
            ParseSdpOffer("v=0\r\nc=IN IP4 10.0.0.1\r\nt=0 0\r\n" + media_and_attributes, &error);
        EXPECT_TRUE(offer) << error;
        return offer ? ChooseMedia(*offer) : std::nullopt;
    };
    // Static types without rtpmap; G.722 (9) is not taken.
    EXPECT_EQ(choose("m=audio 4000 RTP/AVP 9 8 0\r\n")->codec, VoiceCodec::Pcma);
    // No octet-align: bandwidth-efficient; the highest mode of the mode-set is sent.
    const auto amr = choose(
        "m=audio 4000 RTP/AVP 98\r\na=rtpmap:98 AMR/8000/1\r\n"
        "a=fmtp:98 mode-set=0,2,5\r\n");
    ASSERT_TRUE(amr);
    EXPECT_EQ(amr->codec, VoiceCodec::AmrBandwidthEfficient);
    EXPECT_EQ(amr->amr_mode, 5);
    // The mode-set is read as modes 0..7: anything else in it is left out of the answer.
    const auto odd = choose(
        "m=audio 4000 RTP/AVP 98\r\na=rtpmap:98 AMR/8000\r\n"
        "a=fmtp:98 mode-set= 5, 9,x,-1 ,0,5,2%0A\r\n");
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->amr_mode, 5);
    EXPECT_EQ(odd->amr_mode_set, "0,5");
    EXPECT_NE(
        MakeSdpAnswer(*odd, "127.0.0.1", 20000, 1).find("a=fmtp:98 octet-align=0;mode-set=0,5\r\n"),
        std::string::npos);
    const auto none =
        choose("m=audio 4000 RTP/AVP 98\r\na=rtpmap:98 AMR/8000\r\na=fmtp:98 mode-set=8,<b>\r\n");
    ASSERT_TRUE(none);
    EXPECT_EQ(none->amr_mode, 7);
    EXPECT_EQ(MakeSdpAnswer(*none, "127.0.0.1", 20000, 1).find("mode-set"), std::string::npos);
    // AMR with CRCs is skipped for the next format.
    EXPECT_EQ(choose("m=audio 4000 RTP/AVP 98 0\r\na=rtpmap:98 AMR/8000\r\n"
                     "a=fmtp:98 octet-align=1;crc=1\r\n")
                  ->codec,
              VoiceCodec::Pcmu);
    // Nothing the phone takes, a refused stream, secure RTP only.
    EXPECT_FALSE(choose("m=audio 4000 RTP/AVP 9 18\r\n"));
    EXPECT_FALSE(choose("m=audio 0 RTP/AVP 0\r\n"));
    EXPECT_FALSE(choose("m=audio 4000 RTP/SAVP 0\r\n"));
    // A caller that only sends gets an answer that only receives.
    EXPECT_EQ(choose("m=audio 4000 RTP/AVP 0\r\na=sendonly\r\n")->direction,
              MediaDirection::ReceiveOnly);
}

TEST(SdpOffer, MalformedDescriptionsAreRefused) {
    std::string error;
    EXPECT_FALSE(ParseSdpOffer("c=IN IP4 1.2.3.4\r\nm=audio 4000 RTP/AVP 0\r\n", &error));
    EXPECT_FALSE(ParseSdpOffer("v=0\r\nm=audio 4000 RTP/AVP 0\r\n", &error));  // no address
    EXPECT_FALSE(ParseSdpOffer("v=0\r\nc=IN IP4 1.2.3.4\r\n", &error));        // no audio
    EXPECT_FALSE(ParseSdpOffer("v=0\r\nc=IN IP4 1.2.3.4\r\nm=audio x RTP/AVP 0\r\n", &error));
    EXPECT_FALSE(ParseSdpOffer("v=0\r\nc=IN IP4 1.2.3.4\r\nm=audio 4000 RTP/AVP 300\r\n", &error));
    EXPECT_FALSE(
        ParseSdpOffer("v=0\r\nc=IN IP4 1.2.3.4\r\nm=audio 4000 RTP/AVP 96\r\n"
                      "a=rtpmap:96 AMR\r\n",
                      &error));
    EXPECT_FALSE(ParseSdpOffer("v=0\r\nc=XX\r\nm=audio 4000 RTP/AVP 0\r\n", &error));
    EXPECT_FALSE(ParseSdpOffer("garbage\r\n", &error));
    EXPECT_FALSE(error.empty());
}

TEST(CallerNumber, OnlyTelephoneNumbersReachThePhone) {
    EXPECT_EQ(CallerNumberOf("+79125550123"), L"+79125550123");
    EXPECT_EQ(CallerNumberOf("555-0001"), L"5550001");
    EXPECT_EQ(CallerNumberOf("(495)%20123.45.67"), L"4951234567");
    EXPECT_EQ(CallerNumberOf("*21%23"), L"*21#");
    // Withheld: anonymous, names, paths, control characters, a + inside, too long, bad escapes.
    for (const char* user : {"anonymous", "", "Anonymous", "alice", "..\\..\\x", "555%0A1", "55+5",
                             "+", "---", "%2", "%zz1", "123456789012345678901234567890123"}) {
        EXPECT_EQ(CallerNumberOf(user), L"") << user;
    }
    EXPECT_EQ(CallerNumberOf("12345678901234567890123456789012").size(), kMaxCallerNumberLength);
}

TEST(InfoBody, TheSignalLineGivesTheKey) {
    EXPECT_EQ(KeyOfInfoBody("Signal=5\r\nDuration=160\r\n"), '5');
    EXPECT_EQ(KeyOfInfoBody("Duration=160\r\nsignal = #\r\n"), '#');
    EXPECT_EQ(KeyOfInfoBody("Signal=  *"), '*');
    EXPECT_EQ(KeyOfInfoBody("SIGNAL=d\n"), 'D');
    // No key: blanks only (once read one byte before the body), no value at all, more than one
    // character, no Signal line, a control character, another name ending in "Signal".
    for (const char* body : {"Signal=", "Signal=   ", "Signal=\t \r\n", "Signal=10", "Signal=5 6",
                             "", "Duration=160", "Signal=\x1b", "XSignal=5", "Signal 5"}) {
        EXPECT_EQ(KeyOfInfoBody(body), std::nullopt) << body;
    }
    // The first Signal line decides.
    EXPECT_EQ(KeyOfInfoBody("Signal=x\nSignal=1\n"), std::nullopt);
}

// The phone's own offer reads back as the line reads a caller's: AMR-NB octet-aligned first,
// telephone events beside it; a softphone without AMR finds PCMU and PCMA in it.
TEST(OutgoingOffer, ReadsBackAsAnOfferOfAmrFirst) {
    std::string error;
    const std::optional<SdpOffer> offer = ParseSdpOffer(MakeSdpOffer("127.0.0.1", 4000, 7), &error);
    ASSERT_TRUE(offer) << error;
    EXPECT_EQ(offer->address, "127.0.0.1");
    EXPECT_EQ(offer->audio_port, 4000);
    EXPECT_EQ(offer->direction, MediaDirection::SendReceive);
    const std::optional<MediaChoice> choice = ChooseMedia(*offer);
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->codec, VoiceCodec::AmrOctetAligned);
    EXPECT_EQ(choice->payload_type, kOfferAmrOctetAligned);
    EXPECT_EQ(choice->event_payload_type, kOfferTelephoneEvent);
    std::vector<std::string> names;
    for (const SdpFormat& format : offer->formats) {
        names.push_back(format.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"AMR", "AMR", "PCMU", "PCMA", "telephone-event"}));

    const std::optional<SdpOffer> ipv6 = ParseSdpOffer(MakeSdpOffer("::1", 4002, 8), &error);
    ASSERT_TRUE(ipv6) << error;
    EXPECT_TRUE(ipv6->ipv6);
    EXPECT_EQ(ipv6->address, "::1");
}

TEST(DialTarget, TakesANumericHostWithAnOptionalPort) {
    struct Case {
        const char* dialled;
        const char* uri;  // what the INVITE goes to
    };
    for (const Case& c : {
             Case{"sip:bob@127.0.0.1:5062", "sip:bob@127.0.0.1:5062"},
             Case{"sip:bob@127.0.0.1", "sip:bob@127.0.0.1:5060"},
             Case{"SIP:+79125550123@192.0.2.7:5070", "sip:+79125550123@192.0.2.7:5070"},
             Case{"sip:bob@[::1]:5062", "sip:bob@[::1]:5062"},
             Case{"sip:bob@[::1]", "sip:bob@[::1]:5060"},
         }) {
        std::string error;
        const std::optional<DialTarget> target = ParseDialTarget(c.dialled, &error);
        ASSERT_TRUE(target) << c.dialled << ": " << error;
        EXPECT_EQ(DialTargetUri(*target), c.uri) << c.dialled;
    }
    // No scheme, no user, a name for a host (there is no lookup), nowhere to send, a bad port,
    // characters that would add parameters, headers or a second line to the request.
    for (const char* dialled :
         {"bob@127.0.0.1", "sip:127.0.0.1", "sip:@127.0.0.1", "sip:bob@localhost",
          "sip:bob@0.0.0.0", "sip:bob@[::]:5060", "sip:bob@127.0.0.1:0", "sip:bob@127.0.0.1:65536",
          "sip:bob@127.0.0.1:", "sip:bob@127.0.0.1:50x", "sip:bob@[::1", "sip:bob@[::1]5060",
          "sip:bob;transport=tcp@127.0.0.1", "sip:b ob@127.0.0.1", "sip:bob\r\nVia:@127.0.0.1",
          "sip:bob@127.0.0.1;lr", "sip:bob@127.0.0.1?x=1"}) {
        std::string error;
        EXPECT_FALSE(ParseDialTarget(dialled, &error)) << dialled;
        EXPECT_FALSE(error.empty()) << dialled;
    }
}

}  // namespace
}  // namespace tovarin::emulator::sip
