#include "workspace/DelimitedReader.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace pellam;

namespace {
std::string Text(DelimitedReader& r)
{
    auto v = r.ReadText();
    EXPECT_TRUE(v.ok());
    return v.ok() ? v.value() : std::string("<error>");
}
} // namespace

TEST(DelimitedReader, SplitsAtCommasAndEveryKindOfLineBreak)
{
    auto r = DelimitedReader::FromText("a,b\r\nc\nd\re,\"x, y\"\r\n  lead,\"multi\r\nline\"junk,last");
    for (const char* want : {"a", "b", "c", "d", "e", "x, y", "lead", "multi\r\nline", "last"})
        EXPECT_EQ(Text(r), want);
    auto past = r.ReadText();
    ASSERT_FALSE(past.ok());
    EXPECT_EQ(past.error(), ReadError::PrematureEnd);
}

TEST(DelimitedReader, EmptyValuesBetweenDelimitersAndAfterATrailingComma)
{
    auto r = DelimitedReader::FromText(",\r\n\r\nz,");
    EXPECT_EQ(Text(r), "");
    EXPECT_EQ(Text(r), "");
    EXPECT_EQ(Text(r), ""); // the blank line
    EXPECT_EQ(Text(r), "z");
    EXPECT_EQ(Text(r), "");
    EXPECT_FALSE(r.ReadText().ok());
}

TEST(DelimitedReader, IntegersMustBeDecimalAndFitSixteenBits)
{
    auto r = DelimitedReader::FromText("32767,-32768, 12 ,\"7\",40000,-32769,12x,,+5,--1,99999999999999999999");
    EXPECT_EQ(r.ReadInt16().value(), 32767);
    EXPECT_EQ(r.ReadInt16().value(), -32768);
    EXPECT_EQ(r.ReadInt16().value(), 12);
    EXPECT_EQ(r.ReadInt16().value(), 7);
    EXPECT_EQ(r.ReadInt16().error(), ReadError::Overflow);
    EXPECT_EQ(r.ReadInt16().error(), ReadError::Overflow);
    EXPECT_EQ(r.ReadInt16().error(), ReadError::TypeMismatch);
    EXPECT_EQ(r.ReadInt16().error(), ReadError::TypeMismatch);
    EXPECT_EQ(r.ReadInt16().value(), 5);
    EXPECT_EQ(r.ReadInt16().error(), ReadError::TypeMismatch);
    EXPECT_EQ(r.ReadInt16().error(), ReadError::Overflow);
}

TEST(DelimitedReader, UnterminatedQuoteIsAPrematureEnd)
{
    auto r = DelimitedReader::FromText("ok,\"never closed");
    EXPECT_EQ(Text(r), "ok");
    EXPECT_EQ(r.ReadText().error(), ReadError::PrematureEnd);
}

TEST(DelimitedReader, DecodesWindows1252)
{
    auto r = DelimitedReader::FromText("Caf\xE9 \x80\x93,\x81");
    EXPECT_EQ(Text(r), "Caf\xC3\xA9 \xE2\x82\xAC\xE2\x80\x9C");
    EXPECT_EQ(Text(r), "\xC2\x81");
}

TEST(DelimitedReader, ReadsFilesLargerThanItsBufferLazily)
{
    test::TempDir dir;
    std::string big(200000, 'q');
    const auto path = dir.write("big.dat", "\"" + big + "\",1,tail");
    auto r = DelimitedReader::OpenFile(path);
    ASSERT_TRUE(r.ok());
    DelimitedReader reader = std::move(r).value();
    EXPECT_EQ(Text(reader), big);
    EXPECT_EQ(reader.ReadInt16().value(), 1);
    EXPECT_EQ(Text(reader), "tail");
    EXPECT_EQ(DelimitedReader::OpenFile(dir.file("missing.dat")).error(), ReadError::CannotOpen);
}
