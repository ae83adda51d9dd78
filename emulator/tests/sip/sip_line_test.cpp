// The SIP line on a booted phone, spoken to over loopback UDP: malformed requests are refused and
// change nothing; an INVITE rings the phone and its CANCEL makes a missed call.
#include "sip/sip_line.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

#include <gtest/gtest.h>

#include "booted_emulator.h"

namespace tovarin::emulator::sip {
namespace {

// Real seconds a reply may take on loopback; replies come in milliseconds.
constexpr int kReplyTimeoutMs = 3000;

class SipLineTest : public testing::BootedEmulatorTest {
  protected:
    void SetUp() override { Start(kLoopbackAddress); }

    // Boots with the line on host (any port) and opens the caller's socket on loopback of the
    // same family (127.0.0.1 for 0.0.0.0).
    void Start(const std::string& host) {
        Boot({}, {}, SipAddress{host, 0});
        ASSERT_NE(emulator_, nullptr);
        ASSERT_NE(emulator().sip_line(), nullptr);
        line_port_ = emulator().sip_line()->address().port;
        ipv6_ = host.find(':') != std::string::npos;
        own_host_ = ipv6_ ? "::1" : "127.0.0.1";
        socket_ = OpenSocket(&own_port_);
        ASSERT_GE(socket_, 0);
    }
    void TearDown() override {
        for (int* fd : {&socket_, &rtp_socket_, &stranger_socket_}) {
            if (*fd >= 0) {
                close(*fd);
                *fd = -1;
            }
        }
        BootedEmulatorTest::TearDown();
    }

    // A datagram socket on loopback of the line's family; its port in *port.
    int OpenSocket(uint16_t* port) const {
        const int fd = socket(ipv6_ ? AF_INET6 : AF_INET, SOCK_DGRAM, 0);
        sockaddr_storage local{};
        socklen_t size = Loopback(0, &local);
        if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&local), size) != 0) {
            return -1;
        }
        getsockname(fd, reinterpret_cast<sockaddr*>(&local), &size);
        *port = ntohs(ipv6_ ? reinterpret_cast<sockaddr_in6*>(&local)->sin6_port
                            : reinterpret_cast<sockaddr_in*>(&local)->sin_port);
        return fd;
    }

    socklen_t Loopback(uint16_t port, sockaddr_storage* address) const {
        if (ipv6_) {
            auto* v6 = reinterpret_cast<sockaddr_in6*>(address);
            v6->sin6_family = AF_INET6;
            v6->sin6_addr = in6addr_loopback;
            v6->sin6_port = htons(port);
            return sizeof *v6;
        }
        auto* v4 = reinterpret_cast<sockaddr_in*>(address);
        v4->sin_family = AF_INET;
        v4->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        v4->sin_port = htons(port);
        return sizeof *v4;
    }

    void SendFrom(int fd, uint16_t port, const std::string& datagram) {
        sockaddr_storage to{};
        const socklen_t size = Loopback(port, &to);
        ASSERT_EQ(
            sendto(fd, datagram.data(), datagram.size(), 0, reinterpret_cast<sockaddr*>(&to), size),
            static_cast<ssize_t>(datagram.size()));
    }

    void Send(const std::string& datagram) { SendFrom(socket_, line_port_, datagram); }

    // The status codes of the responses that come until one with `final_code` (or none within
    // the timeout), in order; the last response's text is kept.
    std::vector<int> Responses(int final_code) {
        std::vector<int> codes;
        pollfd ready{socket_, POLLIN, 0};
        while (poll(&ready, 1, kReplyTimeoutMs) == 1) {
            char buffer[4096];
            const ssize_t got = recv(socket_, buffer, sizeof buffer, 0);
            if (got > 12 && std::string_view(buffer, 8) == "SIP/2.0 ") {
                codes.push_back(std::stoi(std::string(buffer + 8, 3)));
                last_response_.assign(buffer, static_cast<size_t>(got));
                if (codes.back() == final_code) {
                    break;
                }
            }
        }
        return codes;
    }

    std::string Request(const std::string& method, const std::string& call_id,
                        const std::string& cseq, const std::string& from_user,
                        const std::string& body = "", const std::string& to_tag = "") {
        const std::string host = ipv6_ ? "[::1]" : "127.0.0.1";
        std::string request =
            method + " sip:anything@" + host + ":" + std::to_string(line_port_) + " SIP/2.0\r\n";
        // A CANCEL belongs to its INVITE's transaction; every other request has its own.
        request += "Via: SIP/2.0/UDP " + host + ":" + std::to_string(own_port_) +
                   ";branch=z9hG4bK" + call_id + (method == "CANCEL" ? "INVITE" : method) +
                   cseq.substr(0, cseq.find(' ')) + ";rport\r\n";
        request += "Max-Forwards: 70\r\n";
        request += "From: <sip:" + from_user + "@" + host + ">;tag=caller\r\n";
        request +=
            "To: <sip:anything@" + host + ">" + (to_tag.empty() ? "" : ";tag=" + to_tag) + "\r\n";
        request += "Call-ID: " + call_id + "\r\n";
        request += "CSeq: " + cseq + "\r\n";
        request +=
            "Contact: <sip:" + from_user + "@" + host + ":" + std::to_string(own_port_) + ">\r\n";
        if (!body.empty()) {
            request += "Content-Type: application/sdp\r\n";
        }
        request += "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
        return request;
    }

    std::string Offer(const std::string& address = "", uint16_t port = 40000,
                      const std::string& direction = "") const {
        const std::string family = ipv6_ ? "IP6" : "IP4";
        const std::string host = address.empty() ? own_host_ : address;
        return "v=0\r\no=- 1 1 IN " + family + " " + host + "\r\ns=-\r\nc=IN " +
               (host.find(':') != std::string::npos ? "IP6 " : "IP4 ") + host +
               "\r\nt=0 0\r\nm=audio " + std::to_string(port) + " RTP/AVP 0\r\n" + direction;
    }

    // The tag the phone put in the To header of the last response.
    std::string ToTag() const {
        const size_t to = last_response_.find("\r\nTo: ");
        const size_t tag = last_response_.find(";tag=", to);
        const size_t end = last_response_.find_first_of(";\r", tag + 5);
        return to == std::string::npos || tag == std::string::npos
                   ? ""
                   : last_response_.substr(tag + 5, end - tag - 5);
    }

    // Whether `text` is traced before the reply timeout: the line's thread traces what a request
    // did just after it answers it.
    bool TracedSoon(std::wstring_view text) {
        for (int waited = 0; waited < kReplyTimeoutMs; waited += 10) {
            if (CountTraces(text) > 0) {
                return true;
            }
            usleep(10'000);
        }
        return false;
    }

    // The RTP packets that reach fd within ms; those that came before are dropped first.
    static int PacketsWithin(int fd, int ms) {
        char buffer[2048];
        while (recv(fd, buffer, sizeof buffer, MSG_DONTWAIT) > 0) {
        }
        int packets = 0;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd ready{fd, POLLIN, 0};
            if (left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) != 1) {
                return packets;
            }
            if (recv(fd, buffer, sizeof buffer, 0) >= 12) {
                ++packets;
            }
        }
    }

    // Rings the phone with an offer of audio at the caller's RTP socket and has the user answer:
    // the 200 OK's text, or empty.
    std::string AnsweredCall(const std::string& call_id, const std::string& number) {
        rtp_socket_ = OpenSocket(&rtp_port_);
        Send(Request("INVITE", call_id, "1 INVITE", number, Offer("", rtp_port_)));
        const std::vector<int> ringing = Responses(180);
        if (ringing.empty() || ringing.back() != 180) {
            return {};
        }
        if (emulator().phone().Carry(phone::CallAction::Answer, L"") != phone::CallError::None) {
            return {};
        }
        const std::vector<int> answered = Responses(200);
        return !answered.empty() && answered.back() == 200 ? last_response_ : std::string();
    }

    // The phone's RTP port in an answer.
    static uint16_t AnswerPort(const std::string& response) {
        const size_t media = response.find("m=audio ");
        return media == std::string::npos
                   ? 0
                   : static_cast<uint16_t>(std::stoi(response.substr(media + 8, 5)));
    }

    // A PCMU packet of silence with sequence number seq.
    static std::string RtpPacket(uint16_t seq) {
        std::string packet(12 + 160, static_cast<char>(0xFF));
        packet[0] = static_cast<char>(0x80);
        packet[1] = 0;
        packet[2] = static_cast<char>(seq >> 8);
        packet[3] = static_cast<char>(seq & 0xFF);
        for (int i = 4; i < 12; ++i) {
            packet[i] = static_cast<char>(i);
        }
        return packet;
    }

    int socket_ = -1;
    uint16_t rtp_port_ = 0;
    int rtp_socket_ = -1;       // the caller's audio
    int stranger_socket_ = -1;  // someone else on the machine
    bool ipv6_ = false;
    std::string own_host_;
    uint16_t own_port_ = 0;
    uint16_t line_port_ = 0;
    std::string last_response_;
};

TEST_F(SipLineTest, MalformedRequestsAreRefusedAndChangeNothing) {
    Send(Request("INVITE", "bad-cseq", "1 BYE", "5550001", Offer()));
    EXPECT_EQ(Responses(400), std::vector<int>{400});
    Send(Request("INVITE", "bad-sdp", "1 INVITE", "5550001", "v=0\r\nm=audio x RTP/AVP 0\r\n"));
    EXPECT_EQ(Responses(400), std::vector<int>{400});
    Send(Request("INVITE", "no-codec", "1 INVITE", "5550001",
                 "v=0\r\nc=IN IP4 127.0.0.1\r\nm=audio 4000 RTP/AVP 9\r\n"));
    EXPECT_EQ(Responses(488), std::vector<int>{488});
    // Audio aimed at a host that is not this machine's: the phone sends its voice to no third
    // party. A first offer without an address (a hold) has no place for the audio either.
    for (const char* address : {"192.0.2.7", "0.0.0.0", "::"}) {
        Send(Request("INVITE", std::string("elsewhere-") + address, "1 INVITE", "5550001",
                     Offer(address)));
        EXPECT_EQ(Responses(488), std::vector<int>{488}) << address;
    }
    // A header given twice, a body cut short of its Content-Length, a method the line does not
    // take.
    std::string doubled = Request("INVITE", "doubled", "1 INVITE", "5550001", Offer());
    doubled.insert(doubled.find("CSeq:"), "Call-ID: another\r\n");
    Send(doubled);
    EXPECT_EQ(Responses(400), std::vector<int>{400});
    std::string cut = Request("INVITE", "cut", "1 INVITE", "5550001", Offer());
    Send(cut.substr(0, cut.size() - 10));
    EXPECT_EQ(Responses(400), std::vector<int>{400});
    Send(Request("PUBLISH", "publish", "1 PUBLISH", "5550001"));
    EXPECT_EQ(Responses(501), std::vector<int>{501});
    EXPECT_NE(last_response_.find("Allow: INVITE, ACK, BYE, CANCEL, OPTIONS, INFO"),
              std::string::npos);
    // An address with an escape sequence in it reaches the trace escaped.
    Send(Request("INVITE", "escape", "1 INVITE", "5550001", Offer("10.0.0.1\x1b[2J\x1b]0;x\x07")));
    EXPECT_EQ(Responses(488), std::vector<int>{488});
    Send("\x01\x02 not SIP at all \r\n\r\n");
    Send(Request("BYE", "no-dialog", "2 BYE", "5550001"));
    EXPECT_EQ(Responses(481), std::vector<int>{481});
    kernel::WaitForDeviceIdle();
    EXPECT_EQ(CountTraces(L"rings"), 0u);
    EXPECT_EQ(CountTraces(L"refused with 400"), 4u);
    EXPECT_EQ(
        CountTraces(L"the audio is to go to 192.0.2.7, which is not an address of this machine"),
        1u);
    EXPECT_EQ(CountTraces(L"holds the call before it is answered"), 2u);
    EXPECT_EQ(CountTraces(L"'10.0.0.1\\x1b[2J\\x1b]0;x\\x07', which is no numeric address"), 1u);
    EXPECT_EQ(CountTraces(L"\x1b"), 0u);
}

TEST_F(SipLineTest, AnInviteRingsThePhoneAndItsCancelMissesTheCall) {
    const std::string invite = Request("INVITE", "call-1", "1 INVITE", "555-0001", Offer());
    Send(invite);
    const std::vector<int> ringing = Responses(180);
    ASSERT_FALSE(ringing.empty());
    EXPECT_EQ(ringing.back(), 180);
    EXPECT_TRUE(TracedSoon(L"call from 5550001 rings"));

    // A second INVITE while the first still rings: the phone cannot take it.
    Send(Request("INVITE", "call-2", "1 INVITE", "anonymous", Offer()));
    EXPECT_EQ(Responses(486).back(), 486);

    const std::string cancel = Request("CANCEL", "call-1", "1 CANCEL", "555-0001");
    Send(cancel);
    const std::vector<int> ended = Responses(487);
    EXPECT_NE(std::find(ended.begin(), ended.end(), 200), ended.end());
    EXPECT_EQ(ended.back(), 487);
    EXPECT_TRUE(TracedSoon(L"call missed"));
    EXPECT_EQ(CountTraces(L"the caller 5550001 cancelled the call"), 1u);
}

TEST_F(SipLineTest, AnAnsweredCallHearsOnlyItsCallerAndSendsOnlyOnceConfirmed) {
    const std::string answer = AnsweredCall("call-a", "5550002");
    ASSERT_FALSE(answer.empty());
    EXPECT_NE(answer.find("c=IN IP4 127.0.0.1\r\n"), std::string::npos) << answer;
    const uint16_t phone_rtp = AnswerPort(answer);
    ASSERT_NE(phone_rtp, 0);
    // No audio before the caller's ACK confirms the call; then 20 ms a packet.
    EXPECT_EQ(PacketsWithin(rtp_socket_, 300), 0);
    const std::string tag = ToTag();
    ASSERT_FALSE(tag.empty());
    Send(Request("ACK", "call-a", "1 ACK", "5550002", "", tag));
    EXPECT_GE(PacketsWithin(rtp_socket_, 400), 5);  // 20 at 20 ms a packet

    // Someone else on the machine sends into the call: dropped and counted; the caller is heard.
    uint16_t stranger_port = 0;
    stranger_socket_ = OpenSocket(&stranger_port);
    for (uint16_t seq = 1; seq <= 5; ++seq) {
        SendFrom(stranger_socket_, phone_rtp, RtpPacket(static_cast<uint16_t>(900 + seq)));
        SendFrom(rtp_socket_, phone_rtp, RtpPacket(seq));
    }

    // The caller holds the call (no address): the phone answers it receiving only, and sends
    // nothing more.
    Send(Request("INVITE", "call-a", "2 INVITE", "5550002", Offer("0.0.0.0", rtp_port_), tag));
    EXPECT_EQ(Responses(200).back(), 200);
    EXPECT_NE(last_response_.find("a=recvonly"), std::string::npos) << last_response_;
    Send(Request("ACK", "call-a", "2 ACK", "5550002", "", tag));
    EXPECT_EQ(PacketsWithin(rtp_socket_, 300), 0);

    Send(Request("BYE", "call-a", "3 BYE", "5550002", "", tag));
    EXPECT_EQ(Responses(200).back(), 200);
    EXPECT_TRUE(TracedSoon(L"5 received, 0 lost, 0 late, 5 from elsewhere dropped"));
}

class SipLineOnEveryAddressTest : public SipLineTest {
    void SetUp() override { Start("0.0.0.0"); }
};

TEST_F(SipLineOnEveryAddressTest, TheAnswerNamesTheAddressTheCallCameIn) {
    const std::string answer = AnsweredCall("call-any", "5550003");
    ASSERT_FALSE(answer.empty());
    EXPECT_NE(answer.find("c=IN IP4 127.0.0.1\r\n"), std::string::npos) << answer;
    EXPECT_EQ(answer.find("0.0.0.0"), std::string::npos) << answer;
}

class SipLineOnIpv6Test : public SipLineTest {
    void SetUp() override { Start("::1"); }
};

TEST_F(SipLineOnIpv6Test, TheLineListensOnIpv6LoopbackAndTakesIpv6Offers) {
    const std::string answer = AnsweredCall("call-6", "5550004");
    ASSERT_FALSE(answer.empty());
    EXPECT_NE(answer.find("c=IN IP6 ::1\r\n"), std::string::npos) << answer;
    const std::string tag = ToTag();
    Send(Request("ACK", "call-6", "1 ACK", "5550004", "", tag));
    EXPECT_GE(PacketsWithin(rtp_socket_, 400), 5);  // 20 at 20 ms a packet
    Send(Request("BYE", "call-6", "2 BYE", "5550004", "", tag));
    EXPECT_EQ(Responses(200).back(), 200);
    EXPECT_TRUE(TracedSoon(L"the caller 5550004 hung up"));
}

}  // namespace
}  // namespace tovarin::emulator::sip
