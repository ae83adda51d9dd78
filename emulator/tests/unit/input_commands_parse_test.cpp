// The grammar of the control commands: control ids with their K, texts and indexes, and the
// reasons for lines that are not commands.
#include <gtest/gtest.h>

#include "console/parser.h"

namespace tovarin::emulator::console {
namespace {

InputCommand Parsed(const std::string& line) {
    auto result = ParseLine(line);
    if (auto* reason = std::get_if<std::string>(&result)) {
        ADD_FAILURE() << line << ": " << *reason;
        return {};
    }
    const auto* ui = std::get_if<InputCommand>(&std::get<Command>(result));
    EXPECT_NE(nullptr, ui) << line;
    return ui ? *ui : InputCommand{};
}

std::string Reason(const std::string& line) {
    auto result = ParseLine(line);
    auto* reason = std::get_if<std::string>(&result);
    return reason ? *reason : "";
}

TEST(ParseInputCommand, ControlsTextsAndIndexes) {
    auto click = std::get<ClickCommand>(Parsed("click 131/2").action);
    EXPECT_EQ(131, click.control.id);
    EXPECT_EQ(2u, click.control.index);
    EXPECT_EQ(0u, std::get<ClickCommand>(Parsed("click 1000").action).control.index);

    auto by_text = std::get<ChooseCommand>(Parsed(R"(choose 1040 "Эхо зала")").action);
    EXPECT_EQ(L"Эхо зала", by_text.text.value_or(L""));
    auto by_index = std::get<ChooseCommand>(Parsed("choose 1040 at 3").action);
    EXPECT_FALSE(by_index.text);
    EXPECT_EQ(3, by_index.index);

    EXPECT_EQ(L"", std::get<TypeCommand>(Parsed(R"(type 1020 "")").action).text);
    EXPECT_EQ(2, std::get<TabCommand>(Parsed("tab 2").action).index);
    EXPECT_TRUE(std::holds_alternative<MenuHelpCommand>(Parsed("menu help").action));
}

TEST(ParseInputCommand, ReportsWhatIsWrong) {
    for (const char* line : {"click", "click 1 2", "click \"1\"", "click 1/", "click a/1",
                             "choose 1040", "choose 1040 at", "choose 1040 at x", "choose 1040 x",
                             "type 1020", "type 1020 abc", "tab", "tab -1", "menu", "menu start"}) {
        EXPECT_NE("", Reason(line)) << line;
    }
    EXPECT_NE(std::string::npos, Reason("click 1/x").find("1/x"));
}

}  // namespace
}  // namespace tovarin::emulator::console
