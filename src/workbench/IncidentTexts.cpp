#include "workbench/IncidentTexts.h"

#include "conversations/Conversations.h"
#include "records/RecordFields.h"
#include "records/RecordSheet.h"
#include "records/clsRecord.h"
#include "richtext/RtfReader.h"

namespace pellam {
namespace {

// Reads a document file into doc; false (and the problem noted) when it cannot be read.
bool ReadDocument(IncidentTexts& texts, IncidentDocument& doc, const std::string& path)
{
    const auto loaded = LoadRichTextFile(path);
    if (!loaded) {
        texts.problems.push_back({path, Describe(loaded.error())});
        return false;
    }
    doc.path = path;
    doc.text = loaded->PlainText();
    return true;
}

std::string FileNameOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

std::u16string AttachmentsText(const AttachmentList& list)
{
    std::string text;
    for (const AttachmentEntry& e : list.entries) {
        if (!text.empty())
            text += "\r\n";
        text += e.FileName + '\t' + e.Description + '\t' + e.FileType + '\t' + e.ApproxSize;
    }
    return FromUtf8(text);
}

IncidentTexts ReadIncidentTexts(const IncidentModel& model, std::stop_token stop)
{
    IncidentTexts texts;
    const std::string* logs[4]
        = {&model.paths.MainLog, &model.paths.NocLog, &model.paths.AdminLog, &model.paths.NppReport};
    for (int i = 0; i < 4 && !stop.stop_requested(); ++i) {
        if (*logs[i] == kNone)
            continue;
        IncidentDocument doc;
        doc.kind = DocumentKind::Log;
        doc.source = kLogSources[i];
        doc.index = i;
        if (!ReadDocument(texts, doc, *logs[i]))
            continue;
        doc.entries = ReadDatedEntries(doc.text);
        texts.documents.push_back(std::move(doc));
    }

    const auto index = ReadConversationIndex(model.paths.Evidence.Join("TxT.dat"));
    const LocalSeconds day = ReadShortDate(model.incident.StartDate).value_or(0);
    for (int slot = 1; index && slot <= ConversationIndex::kConversations && !stop.stop_requested(); ++slot) {
        if (!index->entries[static_cast<std::size_t>(slot)].active)
            continue;
        const std::string path = ConversationFile(model.paths.Evidence, model.CaseNumber, slot);
        IncidentDocument doc;
        doc.kind = DocumentKind::Conversation;
        doc.source = FileNameOf(path);
        doc.index = slot;
        if (!ReadDocument(texts, doc, path))
            continue;
        doc.entries = ReadConversationLines(doc.text, day);
        texts.documents.push_back(std::move(doc));
    }

    if (model.RecordsFound && !stop.stop_requested()) {
        clsRecord store;
        store.SetRecordPath(model.RecordsPath);
        RecordTable records;
        RoleTable roles = model.roles;
        if (const auto loaded = store.RECORDLOAD(records, roles); !loaded) {
            texts.problems.push_back({model.RecordsPath, loaded.error().text});
        } else {
            const std::string today = TodayText(model.Formats);
            for (int role = 0; role < clsRecord::kWrittenRoles && !stop.stop_requested(); ++role) {
                const int count = clsRecord::PersonCount(records, role).value_or(0);
                for (int person = 1; person <= count; ++person) {
                    const auto r = static_cast<std::int16_t>(role), p = static_cast<std::int16_t>(person);
                    const PhotoCheck photo = CheckPhoto(FieldText(records, r, p, "PhotoFile"), PicPath(model.paths));
                    IncidentDocument doc;
                    doc.kind = DocumentKind::RecordSheet;
                    doc.source = "Record:" + std::to_string(role) + ':' + std::to_string(person);
                    doc.index = role;
                    doc.person = person;
                    doc.text = Fillerup(records, roles, r, p, photo.note, today).PlainText();
                    texts.documents.push_back(std::move(doc));
                }
            }
        }
    }

    if (!model.attachments.entries.empty()) {
        IncidentDocument doc;
        doc.kind = DocumentKind::Attachments;
        doc.source = "Attachments";
        doc.text = AttachmentsText(model.attachments);
        texts.documents.push_back(std::move(doc));
    }
    return texts;
}

} // namespace pellam
