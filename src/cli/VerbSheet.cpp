// pellam-cli sheet EVT ROLE PERSON: the record sheet of a person as plain
// text, the photo's place shown as its note or "[photo]"; why a photo was
// not placed goes to stderr.
#include "base/FileDescriptor.h"
#include "base/PathText.h"
#include "cli/OpenedIncident.h"
#include "cli/Verbs.h"
#include "records/RecordFields.h"
#include "records/RecordSheet.h"
#include "records/clsRecord.h"

#include <cerrno>
#include <cstdio>

namespace pellam::cli {
namespace {

int Run(const Args& args)
{
    IncidentModel model;
    if (const auto failed = OpenIncidentArgument(args[0], model))
        return *failed;
    clsRecord store;
    store.SetRecordPath(model.RecordsPath);
    RecordTable records;
    // Only a regular file is taken as the records file when the incident
    // opens; anything else under its name is named with the reason it was not.
    if (store.RecordPath().empty()) {
        const std::string expected = model.paths.Evidence.Join(model.CaseNumber + "_Records.rmq");
        const auto opened = FileDescriptor::OpenForReading(expected);
        const SystemError why = opened ? SystemError(ENOENT) : opened.error();
        return Complain(expected,
            "Failed to Load Record Data: " + (why.number == EINVAL ? std::string("not a regular file") : why.text));
    }
    const auto loaded = store.RECORDLOAD(records, model.roles);
    if (!loaded)
        return Complain(store.RecordPath(), "Failed to Load Record Data: " + loaded.error().text);
    if (const auto note = loaded->CutShortNote())
        Tell(store.RecordPath(), *note);
    const auto number = [](const std::string& text, int low, int high) {
        int v = -1;
        if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos)
            return -1;
        v = std::stoi(text);
        return v >= low && v <= high ? v : -1;
    };
    const int role = number(args[1], 0, clsRecord::kWrittenRoles - 1);
    const int count = role < 0 ? 0 : clsRecord::PersonCount(records, role).value_or(0);
    const int person = number(args[2], 1, count);
    if (role < 0 || person < 0)
        return Complain(args[0],
            "no person " + args[2] + " of role " + args[1] + " (roles 0 to 7, persons from 1 to the role's count)");
    const auto r = static_cast<std::int16_t>(role), p = static_cast<std::int16_t>(person);
    const PhotoCheck photo = CheckPhoto(FieldText(records, r, p, "PhotoFile"), PicPath(model.paths));
    if (!photo.reason.empty())
        Tell(store.RecordPath(), photo.note + ": " + photo.reason);
    const std::string text = PlainLines(Fillerup(records, model.roles, r, p, photo.note, TodayText(model.Formats)));
    std::fwrite(text.data(), 1, text.size(), stdout);
    return kOk;
}

const VerbRegistrar reg("sheet", "EVT ROLE PERSON", "a person's record sheet as text", &Run);

} // namespace
} // namespace pellam::cli
