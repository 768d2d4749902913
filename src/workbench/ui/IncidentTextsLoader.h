#pragma once
// Reads the incident's documents once per opened incident, on a thread of its
// own, and builds the incident's timeline from them there, so that the
// timeline and the search across the incident answer from memory and the
// window never waits on the disk or on a large log.
#include "workbench/IncidentTexts.h"
#include "workbench/Timeline.h"

#include <QObject>

#include <memory>
#include <thread>

namespace pellam {

class IncidentTextsLoader : public QObject {
    Q_OBJECT
public:
    explicit IncidentTextsLoader(QObject* parent = nullptr);
    ~IncidentTextsLoader() override;

    // Starts reading the documents of `model` (a copy is taken); a read still
    // running for an earlier incident is stopped and its answer dropped.
    void Load(const IncidentModel& model);
    // Drops what was read (a new incident is being opened).
    void Clear();

    // The documents once read; nothing while they are being read.
    std::shared_ptr<const IncidentTexts> texts() const { return m_texts; }
    // The timeline built from them; nothing while they are being read.
    std::shared_ptr<const Timeline> timeline() const { return m_timeline; }
    bool loading() const { return m_loading; }

signals:
    // texts() now holds the documents of the incident last loaded.
    void ready();

private:
    void Stop();

    std::shared_ptr<const IncidentTexts> m_texts;
    std::shared_ptr<const Timeline> m_timeline;
    std::jthread m_reader;
    unsigned m_generation = 0;
    bool m_loading = false;
};

} // namespace pellam
