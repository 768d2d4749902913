// pellam-cli tags MP3: the ID3 reader's properties after reading the file.
#include "cli/Json.h"
#include "cli/Verbs.h"
#include "media/cMP3ID3v2.h"

#include <cstdio>

namespace pellam::cli {
namespace {

int Run(const Args& args)
{
    cMP3ID3v2 reader;
    const auto read = reader.SetMP3File(args[0]);
    if (!read)
        return Complain(args[0], read.error().text);

    Json j;
    j.BeginObject()
        .Field("HasID3v2Tag", reader.HasID3v2Tag())
        .Field("TagVersion", static_cast<int>(reader.TagVersion()))
        .Field("Title", reader.Title())
        .Field("Artist", reader.Artist())
        .Field("Album", reader.Album())
        .Field("Year", reader.Year())
        .Field("Comment", reader.Comment())
        .Field("Track", reader.Track())
        .Field("Genre", static_cast<int>(reader.Genre()))
        .Field("GenreName", cMP3ID3v2::GenreName(reader.Genre()))
        .Field("OtherGenreName", reader.OtherGenreName())
        .Field("EncodedBy", reader.EncodedBy())
        .Field("Copyright", reader.Copyright())
        .Field("Composer", reader.Composer())
        .Field("OriginalArtist", reader.OriginalArtist())
        .Field("LinkTo", reader.LinkTo())
        .Field("PlayCounter", reader.PlayCounter())
        .Field("AudioURL", reader.AudioURL())
        .Field("ArtistURL", reader.ArtistURL())
        .Field("BuyURL", reader.BuyURL())
        .Field("Lyrics", reader.Lyrics())
        .Key("Frames")
        .BeginArray();
    for (std::int32_t i = 1; i <= reader.FrameCount(); ++i) {
        const std::string id = reader.Frame(i);
        j.BeginObject().Field("id", id).Field("count", static_cast<std::int64_t>(reader.TagsInFrame(id))).EndObject();
    }
    j.EndArray().EndObject();
    std::printf("%s\n", j.str().c_str());
    return kOk;
}

const VerbRegistrar reg("tags", "MP3", "the ID3 tag of an MP3 file as JSON", &Run);

} // namespace
} // namespace pellam::cli
