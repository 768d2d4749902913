#include "attachments/RecordingDetails.h"

#include "base/PathText.h"
#include "media/Mp3Duration.h"

namespace pellam {

RecordingDetails ReadRecordingDetails(cMP3ID3v2& reader, const std::string& path, const std::string& sha256)
{
    RecordingDetails d;
    d.sha256 = sha256;
    if (!reader.SetMP3File(path)) {
        d.fileName = kFileLoadError;
        return d;
    }
    d.fileName = BaseName(path);
    d.artist = reader.Artist();
    d.album = reader.Album();
    d.genre = cMP3ID3v2::GenreName(reader.Genre());
    d.note = Mp3DurationAnswer(path).note;
    return d;
}

std::string Sha256Line(const RecordingDetails& details)
{
    return "SHA-256: " + (details.sha256.empty() ? std::string("Unknown") : details.sha256);
}

} // namespace pellam
