#pragma once
// The recording-details window: pops up over the recording list, grows to its
// size in small steps, and closes on any click. Under the file name it says
// when the recording was cut short; under the tag, the recording's SHA-256.
#include "attachments/InfoSGrowth.h"
#include "attachments/RecordingDetails.h"

#include <QTimer>
#include <QWidget>

class QLabel;

namespace pellam {

class InfoS : public QWidget {
    Q_OBJECT
public:
    InfoS(const RecordingDetails& details, QWidget* parent = nullptr);

    QLabel* label(int n) const { return m_labels[n - 1]; } // Label1..Label8
    QLabel* note() const { return m_note; } // a recording cut short says so here
    QLabel* sha256() const { return m_sha256; }
    QLabel* closeHint() const { return m_hint; }
    const InfoSGrowth& growth() const { return m_growth; }
    void OpenItUpTick();

signals:
    // The window has reached its size; the main window takes the focus back.
    void grown();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void ApplySize();

    QLabel* m_labels[8];
    QLabel* m_note;
    QLabel* m_sha256;
    QLabel* m_hint;
    InfoSGrowth m_growth;
    QTimer m_openItUp {this};
};

} // namespace pellam
