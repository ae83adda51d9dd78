// The line scanner's matching rules, as the answering recorder relies on them.
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>
#include <string>

#include "greeting_scan.h"

namespace {

// A temporary list file, opened afresh for the wide stream functions. The scanner sees the text
// as fgetws delivers it; ASCII keeps the test independent of the stream's locale.
class ListFile {
  public:
    explicit ListFile(const std::string& text) {
        char path[] = "/tmp/greeting-scan-XXXXXX";
        int fd = mkstemp(path);
        path_ = path;
        FILE* writer = fdopen(fd, "w");
        fputs(text.c_str(), writer);
        fclose(writer);
        file_ = fopen(path_.c_str(), "r");
    }
    ~ListFile() {
        fclose(file_);
        unlink(path_.c_str());
    }
    FILE* get() { return file_; }

  private:
    std::string path_;
    FILE* file_;
};

struct Scan {
    GreetingScanResult result;
    std::wstring playFile;
    std::wstring answerTime;
    GreetingScanSkip skip;
};

Scan ScanFor(const std::string& text, const wchar_t* number) {
    WCHAR key[GREETING_NUMBER_KEY_CHARS];
    EXPECT_TRUE(BuildNumberKey(number, key));
    ListFile file(text);
    WCHAR play[GREETING_PLAY_FILE_CHARS] = L"";
    WCHAR time[GREETING_ANSWER_TIME_CHARS] = L"";
    GreetingScanSkip skip;
    GreetingScanResult result = ScanGreetingList(file.get(), key, play, time, &skip);
    return {result, play, time, skip};
}

std::string Entry(const std::string& phone, const std::string& play, const std::string& time) {
    return "\t<Item>\n\t\t<CheckContact>N</CheckContact>\n\t\t<ContactName>Name</ContactName>\n"
           "\t\t<ContactPhone>" +
           phone + "</ContactPhone>\n\t\t<PlayFile>" + play + "</PlayFile>\n\t\t<AnswerTime>" +
           time + "</AnswerTime>\n\t</Item>\n";
}

std::string List(const std::string& entries) {
    return "<?xml version='1.0' encoding='utf-8'?>\n<Quellbrooks>\n" + entries + "</Quellbrooks>\n";
}

TEST(GreetingScanTest, FindsTheEntryByTheLastSixCharacters) {
    std::string list =
        List(Entry("+79161234567", "mom.amr", "15") + Entry("89035550000", "boss.amr", "5"));
    Scan scan = ScanFor(list, L"89161234567");
    EXPECT_EQ(kGreetingFound, scan.result);
    EXPECT_EQ(L"mom.amr", scan.playFile);
    EXPECT_EQ(L"15", scan.answerTime);

    scan = ScanFor(list, L"+7 (903) 5550000");  // separators outside the last six characters
    EXPECT_EQ(L"boss.amr", scan.playFile);
}

TEST(GreetingScanTest, SeparatorsInsideTheLastSixDigitsDoNotMatch) {
    Scan scan = ScanFor(List(Entry("8916123-45-67", "mom.amr", "15")), L"89161234567");
    EXPECT_EQ(kGreetingNotFound, scan.result);
}

TEST(GreetingScanTest, TwoEntriesSharingTheKeyGiveTheFirst) {
    Scan scan = ScanFor(
        List(Entry("111234567", "first.amr", "10") + Entry("221234567", "second.amr", "20")),
        L"9234567");
    EXPECT_EQ(L"first.amr", scan.playFile);
    EXPECT_EQ(L"10", scan.answerTime);
}

TEST(GreetingScanTest, ValuesBeforeTheNumberLineComeFromTheNextEntry) {
    std::string reordered =
        "\t<Item>\n\t\t<PlayFile>early.amr</PlayFile>\n\t\t<AnswerTime>7</AnswerTime>\n"
        "\t\t<ContactPhone>89161234567</ContactPhone>\n\t</Item>\n";
    Scan scan = ScanFor(List(reordered + Entry("89035550000", "next.amr", "9")), L"89161234567");
    EXPECT_EQ(kGreetingFound, scan.result);
    EXPECT_EQ(L"next.amr", scan.playFile);
    EXPECT_EQ(L"9", scan.answerTime);

    scan = ScanFor(List(reordered), L"89161234567");
    EXPECT_EQ(kGreetingNotFound, scan.result);
}

TEST(GreetingScanTest, AnEntryWithoutAnAnswerTimeTakesItFromALaterEntry) {
    std::string partial =
        "\t<Item>\n\t\t<ContactPhone>89161234567</ContactPhone>\n"
        "\t\t<PlayFile>own.amr</PlayFile>\n\t</Item>\n";
    Scan scan = ScanFor(List(partial + Entry("89035550000", "other.amr", "25")), L"89161234567");
    EXPECT_EQ(L"own.amr", scan.playFile);  // the first value of each kind
    EXPECT_EQ(L"25", scan.answerTime);
}

TEST(GreetingScanTest, TagsOnTheNumberLineAreNotSeen) {
    std::string oneLine =
        "<Item><ContactPhone>89161234567</ContactPhone><PlayFile>a.amr</PlayFile>"
        "<AnswerTime>5</AnswerTime></Item>\n";
    EXPECT_EQ(kGreetingNotFound, ScanFor(List(oneLine), L"89161234567").result);
}

TEST(GreetingScanTest, LastLineWithoutLineEndKeepsItsLastCharacter) {
    std::string text =
        "<ContactPhone>89161234567</ContactPhone>\n<PlayFile>a.amr</PlayFile>\n"
        "<AnswerTime>12</AnswerTime>";
    Scan scan = ScanFor(text, L"89161234567");
    EXPECT_EQ(kGreetingFound, scan.result);
    EXPECT_EQ(L"12", scan.answerTime);
}

TEST(GreetingScanTest, ValuesThatDoNotFitAreRefusedNotCut) {
    std::string longName(50, 'x');
    EXPECT_EQ(kGreetingTooLong, ScanFor(List(Entry("89161234567", longName + ".amr", "10") +
                                             Entry("89161234567", "fits.amr", "10")),
                                        L"89161234567")
                                    .result);
    EXPECT_EQ(kGreetingTooLong,
              ScanFor(List(Entry("89161234567", "a.amr", "12345")), L"89161234567").result);
    // 49 characters fit the 50-character buffer.
    Scan scan =
        ScanFor(List(Entry("89161234567", std::string(45, 'y') + ".amr", "1234")), L"89161234567");
    EXPECT_EQ(kGreetingFound, scan.result);
    EXPECT_EQ(49u, scan.playFile.size());
}

TEST(GreetingScanTest, AClosingTagBeforeItsOpeningTagHoldsNoValue) {
    std::string text =
        "<ContactPhone>89161234567</ContactPhone>\n"
        "</PlayFile>x<PlayFile>\n"
        "</AnswerTime><AnswerTime>\n"
        "<PlayFile>a.amr</PlayFile>\n<AnswerTime>12</AnswerTime>\n";
    Scan scan = ScanFor(text, L"89161234567");
    EXPECT_EQ(kGreetingFound, scan.result);
    EXPECT_EQ(L"a.amr", scan.playFile);
    EXPECT_EQ(L"12", scan.answerTime);
}

// What the scan passed over is told with its line (greeting_lookup_rules.scn shows a name too
// long and a bad answer time), and the result stays what it was.
TEST(GreetingScanTest, ALineThatIsNotTextIsSkippedWithItsLine) {
    Scan notText =
        ScanFor("<ContactPhone>89161234567</ContactPhone>\n<PlayFile>\xff\xfe</PlayFile>\n",
                L"89161234567");
    EXPECT_EQ(kGreetingNotFound, notText.result);
    EXPECT_EQ(kGreetingLineNotText, notText.skip.reason);
    EXPECT_EQ(2u, notText.skip.line);
}

TEST(GreetingScanTest, EscapedCharactersAreDecoded) {
    Scan scan = ScanFor(List(Entry("89161234567", "Tom &amp; Jerry &lt;1&gt;&#33;.amr", "10")),
                        L"89161234567");
    EXPECT_EQ(L"Tom & Jerry <1>!.amr", scan.playFile);
}

TEST(GreetingScanTest, NumberKey) {
    WCHAR key[GREETING_NUMBER_KEY_CHARS];
    ASSERT_TRUE(BuildNumberKey(L"89161234567", key));
    EXPECT_STREQ(L"234567", key);
    ASSERT_TRUE(BuildNumberKey(L"1   345", key));  // leading spaces of the key are skipped
    EXPECT_STREQ(L"345", key);
    EXPECT_FALSE(BuildNumberKey(L"12345", key));
    EXPECT_FALSE(BuildNumberKey(L"12      ", key));  // an empty key would match every line
    EXPECT_FALSE(BuildNumberKey(L"", key));
}

TEST(GreetingScanTest, DecodingKeepsUnknownReferences) {
    WCHAR text[] = L"a&b;c&#x416;&;&#;&#xZZ;&lt";
    DecodeXmlText(text);
    EXPECT_STREQ(L"a&b;c\x0416&;&#;&#xZZ;&lt", text);
}

}  // namespace
