#include "emulator_options.h"

#include <gtest/gtest.h>

namespace tovarin::emulator {
namespace {

EmulatorOptions Options(std::vector<std::string> args) {
    auto parsed = ParseCommandLine(args);
    if (auto* error = std::get_if<std::string>(&parsed)) {
        ADD_FAILURE() << *error;
        return {};
    }
    return std::get<EmulatorOptions>(parsed);
}

bool Rejected(std::vector<std::string> args) {
    return std::holds_alternative<std::string>(ParseCommandLine(args));
}

TEST(CommandLine, TheClockFollowsTheModeUnlessChosen) {
    EXPECT_EQ(Options({}).Clock(), kernel::ClockMode::Real);
    EXPECT_EQ(Options({"--script", "a.scn"}).Clock(), kernel::ClockMode::Simulated);
    EXPECT_EQ(Options({"--script", "a.scn", "--time", "real"}).Clock(), kernel::ClockMode::Real);
    EXPECT_EQ(Options({"--time", "simulated"}).Clock(), kernel::ClockMode::Simulated);
}

TEST(CommandLine, SipLineListensOnLoopbackInRealTime) {
    EmulatorOptions bare = Options({"--sip", "5070"});
    ASSERT_TRUE(bare.sip);
    EXPECT_EQ(bare.sip->host, "127.0.0.1");
    EXPECT_EQ(bare.sip->port, 5070);
    EmulatorOptions v6 = Options({"--sip", "[::1]:0"});
    ASSERT_TRUE(v6.sip);
    EXPECT_EQ(v6.sip->host, "::1");
    EXPECT_EQ(v6.sip->port, 0);
    EXPECT_EQ(Options({"--script", "a.scn", "--sip", "0.0.0.0:5062"}).Clock(),
              kernel::ClockMode::Real);
    EXPECT_TRUE(Rejected({"--sip", "5060", "--time", "simulated"}));
    // Bare, it takes the port softphones call, as a bare --web takes 8080.
    for (const auto& args : {std::vector<std::string>{"--sip"},
                             std::vector<std::string>{"--sip", "--device", "/tmp/phone"},
                             std::vector<std::string>{"--web", "--sip"}}) {
        EmulatorOptions bare_sip = Options(args);
        ASSERT_TRUE(bare_sip.sip) << args.size();
        EXPECT_EQ(bare_sip.sip->host, "127.0.0.1");
        EXPECT_EQ(bare_sip.sip->port, 5060);
    }
    EXPECT_EQ(Options({"--sip", "--device", "/tmp/phone"}).device_dir, "/tmp/phone");
    EXPECT_TRUE(Rejected({"--sip", "65536"}));
    EXPECT_TRUE(Rejected({"--sip", "phone.example:5060"}));
    EXPECT_TRUE(Rejected({"--sip", "127.0.0.1:"}));
}

TEST(CommandLine, DeviceAndScript) {
    EXPECT_EQ(Options({"--script", "x.scn", "--artifacts", "out/x"}).artifacts,
              std::filesystem::path("out/x"));
    EXPECT_FALSE(Options({"--script", "x.scn"}).artifacts.has_value());
    EXPECT_TRUE(Rejected({"--artifacts", "out/x"}));  // only a script leaves evidence
    EXPECT_TRUE(Rejected({"--script", "x.scn", "--artifacts"}));
    EmulatorOptions options = Options({"--device", "/tmp/phone", "--script", "x.scn"});
    EXPECT_EQ(options.device_dir, std::filesystem::path("/tmp/phone"));
    EXPECT_EQ(options.script, std::filesystem::path("x.scn"));
    EXPECT_FALSE(Options({}).device_dir.has_value());
    EXPECT_TRUE(Options({"help"}).help);
}

TEST(CommandLine, RejectsWhatItDoesNotKnow) {
    EXPECT_TRUE(Rejected({"--device"}));
    EXPECT_TRUE(Rejected({"--script", ""}));
    EXPECT_TRUE(Rejected({"--time", "fast"}));
    EXPECT_TRUE(Rejected({"script.scn"}));
    EXPECT_TRUE(Rejected({"--verbose"}));
}

TEST(CommandLine, WebTakesAnOptionalPort) {
    EXPECT_EQ(Options({"--web"}).web_port, kDefaultWebPort);
    EXPECT_EQ(Options({"--web", "0"}).web_port, 0);
    EmulatorOptions options = Options({"--web", "9001", "--device", "d"});
    EXPECT_EQ(options.web_port, 9001);
    EXPECT_EQ(options.device_dir, std::filesystem::path("d"));
    EXPECT_EQ(Options({"--web", "--no-boot"}).web_port, kDefaultWebPort);
    EXPECT_FALSE(Options({}).web_port);
    EXPECT_TRUE(Rejected({"--web", "65536"}));
    EXPECT_TRUE(Rejected({"--web", "99999999999999999999"}));
    EXPECT_TRUE(Rejected({"--web", "--script", "a.scn"}));
}

}  // namespace
}  // namespace tovarin::emulator
