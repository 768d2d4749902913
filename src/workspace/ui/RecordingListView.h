#pragma once
// The recording list's view: a report-style list of whole rows. While it has
// no row it can show a hint in its middle (what to do to fill it).
#include <QTreeView>

namespace pellam {

class RecordingListView : public QTreeView {
    Q_OBJECT
    Q_PROPERTY(QString emptyHint READ EmptyHint WRITE SetEmptyHint)
public:
    explicit RecordingListView(QWidget* parent = nullptr);

    QString EmptyHint() const { return m_hint; }
    void SetEmptyHint(const QString& hint);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_hint;
};

} // namespace pellam
