// pellam-cli records RMQ: the header texts and every person of a records file.
#include "cli/Json.h"
#include "cli/Verbs.h"
#include "records/RecordFields.h"
#include "records/RoleNames.h"
#include "records/clsRecord.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include <sys/stat.h>

namespace pellam::cli {
namespace {

// Why a records file cannot be read at all, or "" when it can be opened.
std::string UnreadableReason(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return std::strerror(errno);
    std::fclose(f);
    struct stat st { };
    if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return std::strerror(EISDIR);
    return std::string();
}

int Run(const Args& args)
{
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: pellam-cli records RMQ\n");
        return kBadInput;
    }
    if (const std::string reason = UnreadableReason(args[0]); !reason.empty())
        return Complain(args[0], reason);

    clsRecord store;
    store.SetRecordPath(args[0]);
    auto table = std::make_unique<RecordTable>();
    RoleTable roles;
    const bool ok = store.RECORDLOAD(*table, roles);

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

static VerbRegistrar reg("records", "RMQ", &Run);

} // namespace
} // namespace pellam::cli
