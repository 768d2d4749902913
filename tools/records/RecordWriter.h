#pragma once
// Writing records files. The review station only reads evidence; this writer
// serves the sample incident's generator and the tests that need records
// files of a given shape.
#include "records/clsRecord.h"

#include <string>

namespace pellam {

// Writes the table to the store's path with the trailer; sets header text 0 to
// the slot length used and the trailer place to the trailer text.
bool RecordSave(const clsRecord& store, RecordTable& table);
// Writes the table to the store's backup path, without trailer.
bool RECORDSAVEBAK(const clsRecord& store, RecordTable& table);
// Replaces the records file by `iFile`, written byte for byte as Windows-1252.
bool StoreData(const clsRecord& store, const std::string& iFile);
// Creates every missing folder along an absolute path; a last component
// not followed by "/" is taken as a file name and not created.
void CheckDir(const std::string& path);

} // namespace pellam
