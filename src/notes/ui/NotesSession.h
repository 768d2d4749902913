#pragma once
// The examiner's notes of the incident the main window has open: the store,
// the marks as last read from it, which of them are stale, and every change
// as one step of an undo stack. The recordings' SHA-256 sums are read on a
// thread of the session's own once the incident is open, so a mark made
// while a recording plays never waits on a read of it. When the store
// cannot be had, its message is shown once and the review goes on without notes.
#include "base/Prompter.h"
#include "notes/NoteStore.h"
#include "workspace/IncidentModel.h"

#include <QObject>
#include <QString>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class QUndoStack;

namespace pellam {

class NotesSession final : public QObject {
    Q_OBJECT
public:
    explicit NotesSession(Prompter& prompter, QObject* parent = nullptr);
    ~NotesSession() override;

    // Opens the notes of the incident in the program's own folder (the
    // model's working folder) once its recording pass has ended.
    void Open(const IncidentModel& model);
    void Close();

    bool Available() const { return m_store != nullptr; }
    // Why there are no notes ("" while there are, or no incident is open).
    const QString& Unavailable() const { return m_unavailable; }
    const std::vector<Mark>& marks() const { return m_marks; }
    const RoleTable& roles() const;
    // The recording's content changed since the mark was made (as far as its
    // SHA-256 has been read yet).
    bool Stale(const Mark& mark) const;
    std::vector<bool> StaleFlags() const;
    QUndoStack* undoStack() const { return m_undo; }
    // The recordings' sums have all been read.
    bool SumsRead() const { return m_sumsLeft == 0; }

    // Each change is one step of the undo stack; a change the store refuses
    // is shown and not kept.
    void MarkRecording(const std::string& recording, std::int64_t offsetMs, const std::string& note);
    // A mark on a document, a conversation line or a person.
    void MarkPlace(MarkOn on, const std::string& source, std::optional<std::int64_t> position, const std::string& note);
    void EditNote(std::int64_t id, const std::string& note);
    void RemoveMarks(const std::vector<std::int64_t>& ids);
    // Reads the marks again, those another copy of the program made included.
    void Refresh();

    // The steps of the undo stack.
    std::optional<Mark> StoreAdd(const Mark& mark);
    bool StoreRestore(const Mark& mark);
    bool StoreRemove(std::int64_t id);
    bool StoreEdit(std::int64_t id, const std::string& note);

signals:
    void marksChanged();

private:
    void Push(Mark mark);
    static std::string Examiner();
    void SumRead(const std::string& recording, std::optional<std::string> sha256);
    // Shows a refused change; false.
    bool Refused(const StoreError& error);

    Prompter& m_prompter;
    const IncidentModel* m_model = nullptr;
    std::unique_ptr<NoteStore> m_store;
    QString m_unavailable;
    std::vector<Mark> m_marks;
    QUndoStack* m_undo;
    // Each listed recording's SHA-256 as read now (nothing: unreadable).
    std::map<std::string, std::optional<std::string>> m_sums;
    int m_sumsLeft = 0;
    // Marks made before their recording's sum was read, by recording.
    std::multimap<std::string, std::int64_t> m_awaitingSum;
    std::jthread m_summer;
};

} // namespace pellam
