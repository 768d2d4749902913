// pellam-cli search EVT TEXT: every occurrence of a text across the
// incident's documents, letter case ignored as the log viewer ignores it.
#include "cli/Json.h"
#include "cli/OpenedIncident.h"
#include "cli/Verbs.h"
#include "richtext/RichDocument.h"
#include "workbench/IncidentSearch.h"

#include <cstdio>

namespace pellam::cli {
namespace {

int Run(const Args& args)
{
    IncidentModel model;
    if (const auto failed = OpenIncidentArgument(args[0], model))
        return *failed;
    auto texts = std::make_shared<const IncidentTexts>(ReadIncidentTextsTelling(model));
    const IncidentSearch search(texts);

    Json head;
    head.BeginObject().Field("query", args[1]).Key("hits");
    std::fputs(head.str().c_str(), stdout);
    std::fputc('[', stdout);
    // Written a hit at a time: a one-letter search of a large log keeps no list.
    bool any = false;
    search.ForEachHit(FromUtf8(args[1]), [&](const SearchHit& hit) {
        Json j;
        j.BeginObject()
            .Field("source", texts->documents[hit.document].source)
            .Field("position", std::int64_t {hit.position})
            .Key("time");
        if (hit.time)
            j.String(IsoText(*hit.time));
        else
            j.Null();
        j.Field("context", ToUtf8(hit.context)).EndObject();
        if (any)
            std::fputc(',', stdout);
        any = true;
        std::fputs(j.str().c_str(), stdout);
        return true;
    });
    std::fputs("]}\n", stdout);
    return any ? kOk : kNegative;
}

const VerbRegistrar reg("search", "EVT TEXT", "every occurrence of a text in the incident's documents as JSON", &Run);

} // namespace
} // namespace pellam::cli
