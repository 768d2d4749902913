#include "workbench/ui/IncidentTextsLoader.h"

#include <QMetaObject>

namespace pellam {

IncidentTextsLoader::IncidentTextsLoader(QObject* parent) : QObject(parent) { }

IncidentTextsLoader::~IncidentTextsLoader()
{
    Stop();
}

void IncidentTextsLoader::Stop()
{
    if (m_reader.joinable()) {
        m_reader.request_stop();
        m_reader.join();
    }
}

void IncidentTextsLoader::Clear()
{
    Stop();
    ++m_generation;
    m_texts.reset();
    m_timeline.reset();
    m_loading = false;
}

void IncidentTextsLoader::Load(const IncidentModel& model)
{
    Clear();
    m_loading = true;
    const unsigned generation = m_generation;
    // The reader is joined before this object goes, so `this` outlives it; a
    // queued call to an object already gone is dropped by Qt.
    m_reader = std::jthread([this, generation, model](std::stop_token stop) {
        auto texts = std::make_shared<const IncidentTexts>(ReadIncidentTexts(model, stop));
        if (stop.stop_requested())
            return;
        auto timeline = std::make_shared<const Timeline>(BuildTimeline(TimelineInputOf(model), *texts));
        if (stop.stop_requested())
            return;
        // Handed to the window's thread; an answer for an incident no longer
        // open is dropped there.
        QMetaObject::invokeMethod(
            this,
            [this, generation, texts, timeline] {
                if (generation != m_generation)
                    return;
                m_texts = texts;
                m_timeline = timeline;
                m_loading = false;
                emit ready();
            },
            Qt::QueuedConnection);
    });
}

} // namespace pellam
