// pellam-cli records RMQ: the header texts and every person of a records file.
#include "cli/Json.h"
#include "cli/Verbs.h"
#include "records/RecordFields.h"
#include "records/RoleNames.h"
#include "records/clsRecord.h"

#include <cstdio>
#include <memory>

namespace pellam::cli {
namespace {

int Run(const Args& args)
{
    clsRecord store;
    store.SetRecordPath(args[0]);
    auto table = std::make_unique<RecordTable>();
    RoleTable roles;
    const auto loaded = store.RECORDLOAD(*table, roles);
    // A file the system refuses is bad input; a damaged one a negative answer.
    if (!loaded && loaded.error().Errno != 0)
        return Complain(args[0], loaded.error().Reason);
    const bool ok = loaded.ok();
    if (const auto note = ok ? loaded->CutShortNote() : std::nullopt)
        Tell(args[0], *note);

    Json j;
    j.BeginObject().Field("ok", ok).Key("header").BeginArray();
    for (int i = 0; i < 11; ++i)
        j.String(table->Header(i));
    j.EndArray().Key("persons").BeginArray();
    if (ok) {
        for (int k = 0; k < 8; ++k) {
            const int count = clsRecord::PersonCount(*table, k).value_or(0);
            for (int r = 1; r <= count; ++r) {
                j.BeginObject()
                    .Field("role", k)
                    .Field("person", r)
                    .Field("RoleName", roles.RoleName(static_cast<std::int16_t>(k)))
                    .Field("DisplayName", DisplayName(*table, k, r))
                    .Key("fields")
                    .BeginObject();
                for (const auto& f : kRecordFields)
                    j.Field(f.Name, (*table)(k, r, f.Page, f.Field));
                j.EndObject().EndObject();
            }
        }
    }
    j.EndArray().EndObject();
    std::printf("%s\n", j.str().c_str());
    return ok ? kOk : kNegative;
}

const VerbRegistrar reg("records", "RMQ", "the person records of a records file as JSON", &Run);

} // namespace
} // namespace pellam::cli
