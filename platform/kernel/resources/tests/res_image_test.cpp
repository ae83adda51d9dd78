// The .res parser over images built byte by byte: ids, padding and damaged data.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "kernel/resources/res_image.h"

namespace tovarin::kernel::resources {
namespace {

// Lays out records as the resource compiler does, remembering where each one's data ends and
// where its padding ends.
class ResBuilder {
  public:
    ResBuilder() { Add(uint16_t{0}, uint16_t{0}, 0, ""); }  // the format marker

    ResBuilder& Add(const ResourceId& type, const ResourceId& name, uint16_t language,
                    const std::string& data) {
        std::vector<uint8_t> header;
        PutId(header, type);
        PutId(header, name);
        while ((8 + header.size()) % 4 != 0) {
            header.push_back(0);
        }
        PutDword(header, 0);      // data version
        PutWord(header, 0x1030);  // memory flags
        PutWord(header, language);
        PutDword(header, 0);  // version
        PutDword(header, 0);  // characteristics

        PutDword(bytes_, static_cast<uint32_t>(data.size()));
        PutDword(bytes_, static_cast<uint32_t>(8 + header.size()));
        bytes_.insert(bytes_.end(), header.begin(), header.end());
        bytes_.insert(bytes_.end(), data.begin(), data.end());
        const size_t data_end = bytes_.size();
        while (bytes_.size() % 4 != 0) {
            bytes_.push_back(0);
        }
        ends_.push_back({data_end, bytes_.size()});
        return *this;
    }

    std::vector<std::byte> Image() const { return AsBytes(bytes_); }

    struct RecordEnd {
        size_t data_end;
        size_t padded_end;
    };
    const std::vector<RecordEnd>& ends() const { return ends_; }

    static void PutWord(std::vector<uint8_t>& out, uint16_t value) {
        out.push_back(value & 0xFF);
        out.push_back(value >> 8);
    }
    static void PutDword(std::vector<uint8_t>& out, uint32_t value) {
        PutWord(out, value & 0xFFFF);
        PutWord(out, value >> 16);
    }
    static std::vector<std::byte> AsBytes(const std::vector<uint8_t>& in) {
        std::vector<std::byte> out(in.size());
        if (!in.empty()) {
            std::memcpy(out.data(), in.data(), in.size());
        }
        return out;
    }

  private:
    static void PutId(std::vector<uint8_t>& out, const ResourceId& id) {
        if (const uint16_t* number = std::get_if<uint16_t>(&id)) {
            PutWord(out, 0xFFFF);
            PutWord(out, *number);
            return;
        }
        for (char16_t c : std::get<std::u16string>(id)) {
            PutWord(out, c);
        }
        PutWord(out, 0);
    }

    std::vector<uint8_t> bytes_;
    std::vector<RecordEnd> ends_;
};

std::string AsText(std::span<const std::byte> data) {
    return std::string(reinterpret_cast<const char*>(data.data()), data.size());
}

// One record with numeric ids, then its raw bytes to be damaged by a test.
std::vector<uint8_t> OneRecord(uint32_t data_size, uint32_t header_size) {
    std::vector<uint8_t> out;
    ResBuilder::PutDword(out, data_size);
    ResBuilder::PutDword(out, header_size);
    for (uint16_t word : {0xFFFF, 6, 0xFFFF, 1, 0, 0, 0x1030, 0x0419, 0, 0, 0, 0}) {
        ResBuilder::PutWord(out, word);
    }
    out.resize(out.size() + 4, 'x');  // room for data
    return out;
}

TEST(ResImage, ReadsNumberedAndNamedIdsLanguagesAndDataAcrossPadding) {
    ResBuilder builder;
    builder
        .Add(uint16_t{6}, uint16_t{1}, 0x0419, "abc")  // data padded by one byte
        .Add(uint16_t{10}, u"AB", 0x0000, "hello")     // name padded by two bytes
        .Add(u"TYPE", uint16_t{7}, 0x0409, "")         // no data at all
        .Add(u"CUSTOM", u"NAME1", 0x0019, std::string(8, 'z'));
    const std::vector<std::byte> image = builder.Image();

    std::optional<std::vector<ResourceEntry>> entries = ParseResImage(image);
    ASSERT_TRUE(entries.has_value());
    ASSERT_EQ(entries->size(), 4u);  // the format marker is not among them

    EXPECT_EQ(std::get<uint16_t>((*entries)[0].type), 6);
    EXPECT_EQ(std::get<uint16_t>((*entries)[0].name), 1);
    EXPECT_EQ((*entries)[0].language, 0x0419);
    EXPECT_EQ(AsText((*entries)[0].data), "abc");

    EXPECT_EQ(std::get<std::u16string>((*entries)[1].name), u"AB");
    EXPECT_EQ(AsText((*entries)[1].data), "hello");

    EXPECT_EQ(std::get<std::u16string>((*entries)[2].type), u"TYPE");
    EXPECT_EQ((*entries)[2].language, 0x0409);
    EXPECT_TRUE((*entries)[2].data.empty());

    EXPECT_EQ(std::get<std::u16string>((*entries)[3].type), u"CUSTOM");
    EXPECT_EQ(std::get<std::u16string>((*entries)[3].name), u"NAME1");
    EXPECT_EQ(AsText((*entries)[3].data), std::string(8, 'z'));
}

// The empty image (a cut at 0) has no resources; a cut inside a later record spoils the image.
TEST(ResImage, EveryCutIsRejectedUnlessItFallsAfterAWholeRecord) {
    ResBuilder builder;
    builder.Add(uint16_t{6}, uint16_t{1}, 0x0419, "abc")
        .Add(u"T", u"NAME", 0, "12345")
        .Add(uint16_t{6}, uint16_t{2}, 0x0419, "xy");
    const std::vector<std::byte> full = builder.Image();

    for (size_t length = 0; length <= full.size(); ++length) {
        // A buffer of exactly this size, so that a read past it is caught by the sanitizers.
        std::vector<std::byte> cut(full.begin(), full.begin() + length);
        std::optional<std::vector<ResourceEntry>> entries = ParseResImage(cut);

        // Whole records before the cut; the cut may drop the last one's padding.
        std::optional<size_t> whole;
        if (length == 0) {
            whole = 0;
        }
        for (size_t i = 0; i < builder.ends().size(); ++i) {
            if (length >= builder.ends()[i].data_end && length <= builder.ends()[i].padded_end) {
                whole = i;  // records after the marker
            }
        }
        if (whole) {
            ASSERT_TRUE(entries.has_value()) << "cut at " << length;
            EXPECT_EQ(entries->size(), *whole) << "cut at " << length;
        } else {
            EXPECT_FALSE(entries.has_value()) << "cut at " << length;
        }
    }
}

TEST(ResImage, RecordsWhoseSizesDoNotFitAreRejected) {
    struct Case {
        const char* what;
        uint32_t data_size;
        uint32_t header_size;
    };
    const Case cases[] = {
        {"header past the end", 0, 64},
        {"data past the end", 8, 32},
        {"header too short for its fixed fields", 0, 28},
        {"header too short for its ids", 0, 10},
        {"no header at all", 0, 0},
        {"sizes that wrap around when added", 0xFFFFFFF0u, 32},
        {"largest header", 0, 0xFFFFFFFFu},
    };
    for (const Case& c : cases) {
        std::vector<std::byte> image = ResBuilder::AsBytes(OneRecord(c.data_size, c.header_size));
        EXPECT_FALSE(ParseResImage(image).has_value()) << c.what;
    }
    // The same record with honest sizes is read.
    std::vector<std::byte> good = ResBuilder::AsBytes(OneRecord(4, 32));
    ASSERT_TRUE(ParseResImage(good).has_value());
    EXPECT_EQ(ParseResImage(good)->size(), 1u);
}

TEST(ResImage, ANameWithoutItsTerminatorIsRejected) {
    // A named type whose characters run to the end of the header.
    std::vector<uint8_t> bytes;
    ResBuilder::PutDword(bytes, 0);
    ResBuilder::PutDword(bytes, 32);
    for (int i = 0; i < 12; ++i) {
        ResBuilder::PutWord(bytes, u'A');
    }
    std::vector<std::byte> image = ResBuilder::AsBytes(bytes);
    EXPECT_FALSE(ParseResImage(image).has_value());
}

TEST(ResImage, NamesMatchRegardlessOfAsciiCaseAndNeverMatchNumbers) {
    EXPECT_TRUE(SameResourceId(u"GREETINGS", u"greetings"));
    EXPECT_TRUE(SameResourceId(u"NAME_1", u"Name_1"));
    EXPECT_FALSE(SameResourceId(u"NAME", u"NAMES"));
    EXPECT_FALSE(SameResourceId(u"ЁЛКА", u"ёлка"));  // only ASCII letters fold
    EXPECT_TRUE(SameResourceId(uint16_t{6}, uint16_t{6}));
    EXPECT_FALSE(SameResourceId(uint16_t{6}, uint16_t{7}));
    EXPECT_FALSE(SameResourceId(u"6", uint16_t{6}));
}

}  // namespace
}  // namespace tovarin::kernel::resources
