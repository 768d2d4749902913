// pellam-cli records RMQ: the header texts and every person of a records file.
#include "cli/Json.h"
#include "cli/Verbs.h"
#include "records/RecordFields.h"
#include "records/clsRecord.h"
#include "workspace/RoleTable.h"

#include <array>
#include <cstdio>
#include <memory>

namespace pellam::cli {
namespace {

// One person as a JSON object.
std::string PersonJson(const RecordTable& table, const RoleTable& roles, int k, int r)
{
    Json j;
    j.BeginObject()
        .Field("role", k)
        .Field("person", r)
        .Field("RoleName", roles.RoleName(static_cast<std::int16_t>(k)))
        .Field("DisplayName", DisplayName(table, k, r))
        .Key("fields")
        .BeginObject();
    for (const auto& f : kRecordFields)
        j.Field(f.Name, table(k, r, f.Page, f.Field));
    j.EndObject().EndObject();
    return j.str();
}

int Run(const Args& args)
{
    clsRecord store;
    store.SetRecordPath(args[0]);
    // The file is checked whole first, for the answer that heads the output;
    // then the persons are read and written one at a time, so a file of any
    // size costs one person's texts.
    std::array<std::string, 11> header;
    RoleTable roles;
    const auto loaded = store.RECORDHEADER(header, roles);
    // A file the system refuses is bad input; a damaged one a negative answer.
    if (!loaded && !loaded.error().IsContent())
        return Complain(args[0], loaded.error().text);
    const bool ok = loaded.ok();
    if (const auto note = ok ? loaded->CutShortNote() : std::nullopt)
        Tell(args[0], *note);

    Json head;
    head.BeginObject().Field("ok", ok).Key("header").BeginArray();
    for (const std::string& text : header)
        head.String(text);
    head.EndArray().Key("persons");
    std::fputs(head.str().c_str(), stdout);
    std::fputc('[', stdout);
    int status = ok ? kOk : kNegative;
    if (ok) {
        auto person = std::make_unique<RecordTable>();
        bool first = true;
        const auto read = store.ReadSlots([&](int k, int r, int page, int field, std::string&& text) {
            if (k >= clsRecord::kWrittenRoles || r == 0)
                return;
            (*person)(k, r, page, field) = std::move(text);
            if (page != 3 || field != RecordTable::kFields - 1)
                return;
            if (!first)
                std::fputc(',', stdout);
            first = false;
            std::fputs(PersonJson(*person, roles, k, r).c_str(), stdout);
            for (int pg = 1; pg <= 3; ++pg)
                for (int f = 0; f < RecordTable::kFields; ++f)
                    std::string().swap((*person)(k, r, pg, f)); // its memory too
        });
        if (!read) { // the file changed since it was checked
            Tell(args[0], read.error().text);
            status = kNegative;
        }
    }
    std::fputs("]}\n", stdout);
    return status;
}

const VerbRegistrar reg("records", "RMQ", "the person records of a records file as JSON", &Run);

} // namespace
} // namespace pellam::cli
