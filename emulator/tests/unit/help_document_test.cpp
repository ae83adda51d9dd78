#include "help_document.h"

#include <gtest/gtest.h>

// Beside HelpBlock, where the comparisons of the vectors find it.
static bool operator==(const HelpBlock& a, const HelpBlock& b) {
    return a.text == b.text && a.heading == b.heading;
}

namespace {

TEST(HelpDocument, HeadingsAndParagraphsInOrder) {
    const std::vector<HelpBlock> blocks = ParseHelpDocument(
        L"<html><head><title>Skipped</title><style>p { color: red }</style></head>\n"
        L"<body><a name=\"Main_Contents\"></a><H1>Автоответчик</H1>\n"
        L"<p>Отвечает\n   на <b>вызов</b>.</p><p>Второй<br>абзац</p>"
        L"<ul><li>один</li><li>два</li></ul><!-- <h2>not a heading</h2> --><h2>Задержка</h2>"
        L"<p></p>хвост</body></html>");
    const std::vector<HelpBlock> expected = {
        {L"Автоответчик", true}, {L"Отвечает на вызов.", false},
        {L"Второй", false},      {L"абзац", false},
        {L"один", false},        {L"два", false},
        {L"Задержка", true},     {L"хвост", false},
    };
    EXPECT_EQ(blocks, expected);
}

TEST(HelpDocument, CharacterReferencesAreDecodedAndBareAmpersandsKept) {
    const std::vector<HelpBlock> blocks = ParseHelpDocument(
        L"<p>&laquo;Пользовательский&raquo; &mdash; &lt;свой&gt; &#1071;&#x42F; &amp; R&D &bogus;"
        L"</p>");
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].text, L"«Пользовательский» — <свой> ЯЯ & R&D &bogus;");
}

TEST(HelpDocument, ACutPageKeepsWhatCameBeforeTheCut) {
    const std::vector<HelpBlock> blocks = ParseHelpDocument(L"<h1>Заголовок</h1><p>текст<b");
    const std::vector<HelpBlock> expected = {{L"Заголовок", true}, {L"текст", false}};
    EXPECT_EQ(blocks, expected);
    EXPECT_TRUE(ParseHelpDocument(L"").empty());
}

TEST(HelpDocument, TheReferenceNamesTheFile) {
    EXPECT_EQ(HelpDocumentPath(L"file:\\Windows\\AnswerMachine.htm#Main_Contents"),
              L"\\Windows\\AnswerMachine.htm");
    EXPECT_EQ(HelpDocumentPath(L"\\Windows\\Callisk.htm"), L"\\Windows\\Callisk.htm");
    EXPECT_EQ(HelpDocumentPath(NULL), L"");
}

}  // namespace
