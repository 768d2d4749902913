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
    ASSERT_TRUE(decoder && decoder.value()->Scan());
    Mp3Stream stream(std::move(decoder).value(), nullptr);
    ASSERT_EQ(stream.Prime(), "");
    EXPECT_EQ(std::tuple(stream.Duration(), stream.Channels(), stream.SamplesPerSecond()), std::tuple(3000, 1, 8000));
    std::vector<std::int16_t> samples(8000);
    // The status, the bytes read and the second they are from, after a seek to `second` (mode 1) or `percent` (mode 0).
    const auto read = [&](std::int32_t value, std::int32_t mode, std::int32_t bytes) {
        std::int32_t got = 0;
        EXPECT_EQ(stream.StreamSeek(value, mode), StreamStatus::Ok);
        const StreamStatus status = stream.StreamRead(samples.data(), bytes, got);
        return std::tuple(status, got, test::SecondHeard(std::span(samples.data(), static_cast<std::size_t>(got / 2))));
    };
    EXPECT_EQ(read(0, 1, 8001), std::tuple(StreamStatus::Ok, 8000, 0)) << "whole sample frames";
    EXPECT_EQ(read(2, 1, 8000), std::tuple(StreamStatus::Ok, 8000, 2));
    EXPECT_EQ(read(50, 0, 8000), std::tuple(StreamStatus::Ok, 8000, 1));
    // The last second and no more.
    EXPECT_EQ(read(2, 1, 16000), std::tuple(StreamStatus::Ok, 16000, 2));
    EXPECT_EQ(std::get<0>(read(3, 1, 16000)), StreamStatus::Ended);
    for (const auto& [value, mode] : {std::pair(4, 1), std::pair(100, 0), std::pair(-1, 1)})
        EXPECT_EQ(stream.StreamSeek(value, mode), StreamStatus::BadSeek) << value;
    EXPECT_EQ(stream.StreamClose(), StreamStatus::Ok);
    EXPECT_EQ(stream.StreamClose(), StreamStatus::NotOpen);
}
