#pragma once
// Reader of the ID3 version 2 tag (2.2, 2.3, 2.4) at the front of an MP3
// recording. Setting the file resets the reader and reads the tag; the common
// text frames become properties, every frame enters the frame collections.
// Frame bytes are taken as Windows-1252 text with every NUL removed, so an
// ISO-8859-1 text frame reads as its plain text.
#include "base/Result.h"
#include "base/SystemError.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace pellam {

class cMP3ID3v2 {
public:
    // Resets the reader and reads the tag of `path`. Fails only when the file
    // cannot be opened or read; a file without a tag is a success.
    Result<bool, SystemError> SetMP3File(const std::string& path);
    const std::string& MP3File() const { return m_file; }

    bool HasID3v2Tag() const { return m_tagPosition != 0; }
    // 1-based file position of the byte after "ID3"; 0 without a tag.
    std::int32_t TagPosition() const { return m_tagPosition; }
    std::uint8_t TagVersion() const { return m_version; }
    std::uint8_t ID3v2TagVersion() const { return m_version; }

    std::int32_t FrameCount() const { return static_cast<std::int32_t>(m_frames.size()); }
    // The index-th distinct frame id, from 1; "" outside the list.
    std::string Frame(std::int32_t index) const;
    // Number of frames met with that id.
    std::int32_t TagsInFrame(const std::string& id) const;
    // The value of the n-th frame of an id under the key "n:ID" (as "1:TIT2"); "" when absent.
    std::string FrameValue(const std::string& key) const;

    const std::string& Title() const { return m_title; }
    const std::string& Artist() const { return m_artist; }
    const std::string& Album() const { return m_album; }
    const std::string& Year() const { return m_year; }
    const std::string& Comment() const { return m_comment; }
    const std::string& Track() const { return m_track; }
    const std::string& PlayCounter() const { return m_playCounter; }
    const std::string& EncodedBy() const { return m_encodedBy; }
    const std::string& OtherGenreName() const { return m_otherGenreName; }
    const std::string& LinkTo() const { return m_linkTo; }
    const std::string& OriginalArtist() const { return m_originalArtist; }
    const std::string& Composer() const { return m_composer; }
    const std::string& Copyright() const { return m_copyright; }
    const std::string& AudioURL() const { return m_audioUrl; }
    const std::string& BuyURL() const { return m_buyUrl; }
    const std::string& ArtistURL() const { return m_artistUrl; }
    const std::string& Lyrics() const { return m_lyrics; }
    // ID3v1 genre number; 255 = none.
    std::uint8_t Genre() const { return m_genre; }

    // Name of an ID3v1 genre number; "" for 123 and 148..255.
    static std::string GenreName(int genre);

    static constexpr std::uint8_t kNoGenre = 255;

private:
    void Reset();
    void StoreFrame(const std::string& id, const std::string& value);
    void StoreGenre(const std::string& value);

    std::string m_file;
    std::int32_t m_tagPosition = 0;
    std::uint8_t m_version = 0;
    std::string m_title, m_artist, m_album, m_year, m_comment, m_track, m_playCounter, m_encodedBy, m_otherGenreName,
        m_linkTo, m_originalArtist, m_composer, m_copyright, m_audioUrl, m_buyUrl, m_artistUrl, m_lyrics;
    std::uint8_t m_genre = kNoGenre;
    std::vector<std::string> m_frames; // distinct ids, first seen first
    std::map<std::string, std::int32_t> m_counts; // id -> frames met
    std::map<std::string, std::string> m_values; // "n:ID" -> value
};

} // namespace pellam
