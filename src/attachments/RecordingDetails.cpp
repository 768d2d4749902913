#include "attachments/RecordingDetails.h"

#include "base/PathText.h"

namespace pellam {

RecordingDetails ReadRecordingDetails(cMP3ID3v2& reader, const std::string& folder, const std::string& fileName)
{
    RecordingDetails d;
    if (!reader.SetMP3File(JoinPath(folder, fileName))) {
        d.fileName = kFileLoadError;
        return d;
    }
    d.fileName = fileName;
    d.artist = reader.Artist();
    d.album = reader.Album();
    d.genre = cMP3ID3v2::GenreName(reader.Genre());
    return d;
}

} // namespace pellam
