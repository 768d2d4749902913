// pellam-cli timeline EVT: the timeline window's model as JSON: the
// incident's start and end and every event of its lanes in time order.
#include "cli/Json.h"
#include "cli/OpenedIncident.h"
#include "cli/Verbs.h"
#include "workbench/Timeline.h"

#include <cstdio>

namespace pellam::cli {
namespace {

void Moment(Json& j, std::string_view key, const std::optional<LocalSeconds>& t)
{
    if (t)
        j.Field(key, IsoText(*t));
    else
        j.Key(key).Null();
}

void Number(Json& j, std::string_view key, const std::optional<std::int32_t>& n)
{
    if (n)
        j.Field(key, *n);
    else
        j.Key(key).Null();
}

// A text that does not apply (a recording's without a file, a document's
// the Main Log never wrote) is null.
void Text(Json& j, std::string_view key, const std::string& s, bool applies)
{
    if (applies)
        j.Field(key, s);
    else
        j.Key(key).Null();
}

int Run(const Args& args)
{
    IncidentModel model;
    if (const auto failed = OpenIncidentArgument(args[0], model))
        return *failed;
    const IncidentTexts texts = ReadIncidentTextsTelling(model);
    const Timeline timeline = BuildTimeline(TimelineInputOf(model), texts);

    Json j;
    j.BeginObject();
    Moment(j, "start", timeline.start);
    Moment(j, "end", timeline.end);
    j.Key("events").BeginArray();
    for (const TimelineEvent& e : timeline.events) {
        const bool fromDocument = !e.source.empty();
        j.BeginObject().Field("lane", LaneName(e.lane));
        Moment(j, "time", e.time);
        Text(j, "recording", e.recording, !e.recording.empty());
        Number(j, "offset", e.offset);
        Number(j, "duration", e.duration);
        Text(j, "source", e.source, fromDocument);
        Number(j, "position", e.position);
        Text(j, "text", e.text, fromDocument);
        j.EndObject();
    }
    j.EndArray().EndObject();
    std::printf("%s\n", j.str().c_str());
    return kOk;
}

const VerbRegistrar reg("timeline", "EVT", "the incident's timeline as JSON: recordings, log entries and texts", &Run);

} // namespace
} // namespace pellam::cli
