// The SIP line on a booted phone, spoken to over loopback UDP: malformed requests are refused and
// change nothing; an INVITE rings the phone and its CANCEL makes a missed call.
#include "sip/sip_line.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

#include <gtest/gtest.h>

#include "booted_emulator.h"

namespace tovarin::emulator::sip {
namespace {

// Real seconds a reply may take on loopback; replies come in milliseconds.
constexpr int kReplyTimeoutMs = 3000;

class SipLineTest : public testing::BootedEmulatorTest {
  protected:
    void SetUp() override {
        Boot({}, {}, SipAddress{kLoopbackAddress, 0});
        ASSERT_NE(emulator_, nullptr);
        ASSERT_NE(emulator().sip_line(), nullptr);
        socket_ = socket(AF_INET, SOCK_DGRAM, 0);
        ASSERT_GE(socket_, 0);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ASSERT_EQ(bind(socket_, reinterpret_cast<sockaddr*>(&local), sizeof local), 0);
        socklen_t size = sizeof local;
        getsockname(socket_, reinterpret_cast<sockaddr*>(&local), &size);
        own_port_ = ntohs(local.sin_port);
        line_port_ = emulator().sip_line()->address().port;
    }
    void TearDown() override {
        if (socket_ >= 0) {
            close(socket_);
        }
        BootedEmulatorTest::TearDown();
    }

    void Send(const std::string& datagram) {
        sockaddr_in line{};
        line.sin_family = AF_INET;
        line.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        line.sin_port = htons(line_port_);
        ASSERT_EQ(sendto(socket_, datagram.data(), datagram.size(), 0,
                         reinterpret_cast<sockaddr*>(&line), sizeof line),
                  static_cast<ssize_t>(datagram.size()));
    }

    // The status codes of the responses that come until one with `final_code` (or none within
    // the timeout), in order.
    std::vector<int> Responses(int final_code) {
        std::vector<int> codes;
        pollfd ready{socket_, POLLIN, 0};
        while (poll(&ready, 1, kReplyTimeoutMs) == 1) {
            char buffer[4096];
            const ssize_t got = recv(socket_, buffer, sizeof buffer, 0);
            if (got > 12 && std::string_view(buffer, 8) == "SIP/2.0 ") {
                codes.push_back(std::stoi(std::string(buffer + 8, 3)));
                if (codes.back() == final_code) {
                    break;
                }
            }
        }
        return codes;
    }

    std::string Request(const std::string& method, const std::string& call_id,
                        const std::string& cseq, const std::string& from_user,
                        const std::string& body = "") {
        std::string request =
            method + " sip:anything@127.0.0.1:" + std::to_string(line_port_) + " SIP/2.0\r\n";
        request += "Via: SIP/2.0/UDP 127.0.0.1:" + std::to_string(own_port_) + ";branch=z9hG4bK" +
                   call_id + ";rport\r\n";
        request += "Max-Forwards: 70\r\n";
        request += "From: <sip:" + from_user + "@127.0.0.1>;tag=caller\r\n";
        request += "To: <sip:anything@127.0.0.1>\r\n";
        request += "Call-ID: " + call_id + "\r\n";
        request += "CSeq: " + cseq + "\r\n";
        request +=
            "Contact: <sip:" + from_user + "@127.0.0.1:" + std::to_string(own_port_) + ">\r\n";
        if (!body.empty()) {
            request += "Content-Type: application/sdp\r\n";
        }
        request += "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
        return request;
    }

    static std::string Offer() {
        return "v=0\r\no=- 1 1 IN IP4 127.0.0.1\r\ns=-\r\nc=IN IP4 127.0.0.1\r\nt=0 0\r\n"
               "m=audio 40000 RTP/AVP 0\r\n";
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

    int socket_ = -1;
    uint16_t own_port_ = 0;
    uint16_t line_port_ = 0;
};

TEST_F(SipLineTest, MalformedRequestsAreRefusedAndChangeNothing) {
    Send(Request("INVITE", "bad-cseq", "1 BYE", "5550001", Offer()));
    EXPECT_EQ(Responses(400), std::vector<int>{400});
    Send(Request("INVITE", "bad-sdp", "1 INVITE", "5550001", "v=0\r\nm=audio x RTP/AVP 0\r\n"));
    EXPECT_EQ(Responses(400), std::vector<int>{400});
    Send(Request("INVITE", "no-codec", "1 INVITE", "5550001",
                 "v=0\r\nc=IN IP4 127.0.0.1\r\nm=audio 4000 RTP/AVP 9\r\n"));
    EXPECT_EQ(Responses(488), std::vector<int>{488});
    // Audio aimed at a host other than the caller's: the phone sends its voice to no third party.
    Send(Request("INVITE", "elsewhere", "1 INVITE", "5550001",
                 "v=0\r\nc=IN IP4 192.0.2.7\r\nm=audio 4000 RTP/AVP 0\r\n"));
    EXPECT_EQ(Responses(488), std::vector<int>{488});
    Send("\x01\x02 not SIP at all \r\n\r\n");
    Send(Request("BYE", "no-dialog", "2 BYE", "5550001"));
    EXPECT_EQ(Responses(481), std::vector<int>{481});
    kernel::WaitForDeviceIdle();
    EXPECT_EQ(CountTraces(L"rings"), 0u);
    EXPECT_EQ(CountTraces(L"refused with 400"), 2u);
    EXPECT_EQ(CountTraces(L"the audio is to go to 192.0.2.7, not to the caller's host"), 1u);
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

}  // namespace
}  // namespace tovarin::emulator::sip
