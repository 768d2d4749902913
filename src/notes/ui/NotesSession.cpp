#include "notes/ui/NotesSession.h"

#include "checksums/Sha256.h"
#include "notes/IncidentNotes.h"
#include "richtext/ui/PrintSettings.h"

#include <QUndoCommand>
#include <QUndoStack>

namespace pellam {
namespace {

class AddMarkStep final : public QUndoCommand {
public:
    AddMarkStep(NotesSession& session, Mark mark) : m_session(session), m_mark(std::move(mark)) { setText("Mark"); }
    void redo() override
    {
        if (m_mark.id != 0) {
            m_session.StoreRestore(m_mark);
            return;
        }
        if (const auto added = m_session.StoreAdd(m_mark))
            m_mark = *added;
        else
            setObsolete(true); // not kept: nothing to undo
    }
    void undo() override { m_session.StoreRemove(m_mark.id); }

private:
    NotesSession& m_session;
    Mark m_mark;
};

class RemoveMarksStep final : public QUndoCommand {
public:
    RemoveMarksStep(NotesSession& session, std::vector<Mark> marks) : m_session(session), m_marks(std::move(marks))
    {
        setText(m_marks.size() == 1 ? "Delete Mark" : "Delete Marks");
    }
    void redo() override
    {
        for (const Mark& m : m_marks)
            m_session.StoreRemove(m.id);
    }
    void undo() override
    {
        for (const Mark& m : m_marks)
            m_session.StoreRestore(m);
    }

private:
    NotesSession& m_session;
    std::vector<Mark> m_marks;
};

class EditNoteStep final : public QUndoCommand {
public:
    EditNoteStep(NotesSession& session, std::int64_t id, std::string before, std::string after)
        : m_session(session), m_id(id), m_before(std::move(before)), m_after(std::move(after))
    {
        setText("Edit Note");
    }
    void redo() override
    {
        if (!m_session.StoreEdit(m_id, m_after) && !m_done)
            setObsolete(true);
        m_done = true;
    }
    void undo() override { m_session.StoreEdit(m_id, m_before); }

private:
    NotesSession& m_session;
    std::int64_t m_id;
    std::string m_before;
    std::string m_after;
    bool m_done = false;
};

} // namespace

NotesSession::NotesSession(Prompter& prompter, QObject* parent)
    : QObject(parent), m_prompter(prompter), m_undo(new QUndoStack(this))
{ }

NotesSession::~NotesSession()
{
    m_summer = {};
}

void NotesSession::Open(const IncidentModel& model)
{
    Close();
    m_model = &model;
    auto store = OpenIncidentNotes(model, model.paths.Temp);
    if (!store) {
        m_unavailable = QString::fromStdString(store.error().text);
        m_prompter.Show(store.error());
        emit marksChanged();
        return;
    }
    m_store = std::move(store).value();

    // The sums of every listed recording, in list order, off the window's thread.
    std::vector<std::pair<std::string, std::string>> recordings;
    for (std::size_t i = 0; i < model.ListRows.size() && i < model.MP3Paths.size(); ++i)
        recordings.emplace_back(model.ListRows[i].FileName, model.MP3Paths[i]);
    m_sumsLeft = static_cast<int>(recordings.size());
    m_summer = std::jthread([this, recordings = std::move(recordings)](std::stop_token stop) {
        for (const auto& [name, path] : recordings) {
            const auto sums = SumsOfFile(path, stop);
            if (stop.stop_requested())
                return;
            std::optional<std::string> sha;
            if (sums)
                sha = Sha256Hex(sums.value().sha256);
            QMetaObject::invokeMethod(
                this, [this, name, sha] { SumRead(name, sha); }, Qt::QueuedConnection);
        }
    });
    Refresh();
}

void NotesSession::Close()
{
    m_summer = {};
    m_undo->clear();
    m_store.reset();
    m_model = nullptr;
    m_unavailable.clear();
    m_marks.clear();
    m_sums.clear();
    m_sumsLeft = 0;
    m_awaitingSum.clear();
    emit marksChanged();
}

const RoleTable& NotesSession::roles() const
{
    static const RoleTable none;
    return m_model ? m_model->roles : none;
}

void NotesSession::SumRead(const std::string& recording, std::optional<std::string> sha256)
{
    if (!m_store)
        return;
    --m_sumsLeft;
    m_sums[recording] = sha256;
    const auto [from, to] = m_awaitingSum.equal_range(recording);
    for (auto it = from; it != to; ++it)
        if (sha256)
            m_store->SetRecordingSha256(it->second, *sha256);
    m_awaitingSum.erase(from, to);
    Refresh();
}

bool NotesSession::Stale(const Mark& mark) const
{
    const auto sum = m_sums.find(mark.recording);
    return sum != m_sums.end() && IsStale(mark, sum->second);
}

std::vector<bool> NotesSession::StaleFlags() const
{
    std::vector<bool> flags;
    flags.reserve(m_marks.size());
    for (const Mark& m : m_marks)
        flags.push_back(Stale(m));
    return flags;
}

void NotesSession::Refresh()
{
    if (m_store) {
        auto all = m_store->All();
        if (all)
            m_marks = std::move(all).value();
        else
            Refused(all.error());
    }
    emit marksChanged();
}

bool NotesSession::Refused(const StoreError& error)
{
    m_prompter.Show(StoreMessage(error, m_store ? m_store->Path() : std::string(), false));
    return false;
}

std::string NotesSession::Examiner()
{
    // The name the printouts carry, never asked for here: a mark is made mid-listening.
    return KnownExaminer().value_or(ExaminerName());
}

void NotesSession::Push(Mark mark)
{
    m_undo->push(new AddMarkStep(*this, std::move(mark)));
}

void NotesSession::MarkRecording(const std::string& recording, std::int64_t offsetMs, const std::string& note)
{
    if (!m_store)
        return m_prompter.Beep();
    // The sum read so far: the mark never waits for a read of the recording.
    const auto sum = m_sums.find(recording);
    const std::string known = sum != m_sums.end() && sum->second ? *sum->second : std::string();
    auto mark = RecordingMark(*m_model, recording, offsetMs, note, known);
    if (!mark)
        return m_prompter.Beep();
    mark.value().examiner = Examiner();
    Push(std::move(mark).value());
}

void NotesSession::MarkPlace(
    MarkOn on, const std::string& source, std::optional<std::int64_t> position, const std::string& note)
{
    if (!m_store)
        return m_prompter.Beep();
    Mark mark;
    mark.on = on;
    mark.source = source;
    mark.position = position;
    mark.note = note;
    mark.examiner = Examiner();
    mark.createdMs = mark.changedMs = NowMs();
    Push(std::move(mark));
}

void NotesSession::EditNote(std::int64_t id, const std::string& note)
{
    const auto it = std::find_if(m_marks.begin(), m_marks.end(), [id](const Mark& m) { return m.id == id; });
    if (!m_store || it == m_marks.end() || it->note == note)
        return;
    m_undo->push(new EditNoteStep(*this, id, it->note, note));
}

void NotesSession::RemoveMarks(const std::vector<std::int64_t>& ids)
{
    std::vector<Mark> gone;
    for (const Mark& m : m_marks)
        if (std::find(ids.begin(), ids.end(), m.id) != ids.end())
            gone.push_back(m);
    if (m_store && !gone.empty())
        m_undo->push(new RemoveMarksStep(*this, std::move(gone)));
}

std::optional<Mark> NotesSession::StoreAdd(const Mark& mark)
{
    if (!m_store)
        return std::nullopt;
    const auto added = m_store->Add(mark);
    if (!added) {
        Refused(added.error());
        return std::nullopt;
    }
    if (mark.on == MarkOn::Recording && mark.recordingSha256.empty() && !m_sums.contains(mark.recording))
        m_awaitingSum.emplace(mark.recording, added.value().id);
    Refresh();
    return added.value();
}

bool NotesSession::StoreRestore(const Mark& mark)
{
    if (!m_store)
        return false;
    const auto restored = m_store->Restore(mark);
    Refresh();
    return restored ? restored.value() : Refused(restored.error());
}

bool NotesSession::StoreRemove(std::int64_t id)
{
    if (!m_store)
        return false;
    const auto removed = m_store->Remove(id);
    Refresh();
    return removed ? removed.value() : Refused(removed.error());
}

bool NotesSession::StoreEdit(std::int64_t id, const std::string& note)
{
    if (!m_store)
        return false;
    const auto edited = m_store->Edit(id, note, NowMs());
    Refresh();
    return edited ? edited.value() : Refused(edited.error());
}

} // namespace pellam
