// The recording as the player reads it while it decodes: whole sample frames,
// seeks by seconds and by percent, the end.
#include "audio/Mp3Stream.h"

#include "support/MarkedRecording.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace pellam;

TEST(Mp3Stream, ReadsSeeksAndEndsAsTheRecordingSays)
{
    test::TempDir dir;
    auto decoder = Mp3Decoder::Open(test::EncodeMarkedSeconds(dir.str(), "three.mp3", 3));
    ASSERT_TRUE(decoder);
    ASSERT_TRUE(decoder.value()->Scan());
    Mp3Stream stream(std::move(decoder).value(), nullptr);
    ASSERT_EQ(stream.Prime(), "");
    EXPECT_EQ(std::tuple(stream.Duration(), stream.Channels(), stream.SamplesPerSecond(), stream.BitsPerSample()),
        std::tuple(3000, 1, 8000, 16));
    std::vector<std::int16_t> samples(8000);
    const auto read = [&](std::int32_t bytes) {
        std::int32_t got = 0;
        const StreamStatus status = stream.StreamRead(samples.data(), bytes, got);
        return std::tuple(status, got, test::SecondHeard(std::span(samples.data(), static_cast<std::size_t>(got / 2))));
    };
    EXPECT_EQ(read(8001), std::tuple(StreamStatus::Ok, 8000, 0)) << "whole sample frames";
    ASSERT_EQ(stream.StreamSeek(2, 1), StreamStatus::Ok);
    EXPECT_EQ(read(8000), std::tuple(StreamStatus::Ok, 8000, 2));
    ASSERT_EQ(stream.StreamSeek(50, 0), StreamStatus::Ok);
    EXPECT_EQ(read(8000), std::tuple(StreamStatus::Ok, 8000, 1));
    for (const auto& [value, mode] : {std::pair(4, 1), std::pair(100, 0), std::pair(-1, 1)})
        EXPECT_EQ(stream.StreamSeek(value, mode), StreamStatus::BadSeek) << value;
    // The last second, then the end: what is left, and nothing after it.
    ASSERT_EQ(stream.StreamSeek(2, 1), StreamStatus::Ok);
    EXPECT_EQ(read(16000), std::tuple(StreamStatus::Ok, 16000, 2));
    EXPECT_EQ(std::get<0>(read(16000)), StreamStatus::Ended);
    EXPECT_EQ(std::get<1>(read(16000)), 0);
    EXPECT_EQ(stream.Failure(), "");
    EXPECT_EQ(stream.StreamClose(), StreamStatus::Ok);
    EXPECT_EQ(stream.StreamClose(), StreamStatus::NotOpen);
}
