#pragma once
// The About window: the program's version over a picture. At start-up it is
// the splash screen with a progress bar; from the menu it stays on top until
// clicked.
#include "app/AboutSplash.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QTimer;

namespace pellam {

class About : public QDialog {
    Q_OBJECT
public:
    // splashShown: false at start-up, when the window serves as splash screen.
    explicit About(bool splashShown, QWidget* parent = nullptr);

    const AboutSplash& splash() const { return m_splash; }
    QLabel* Label1() const { return m_label1; }
    QProgressBar* PB1() const { return m_pb1; }
    QLabel* closeHint() const { return m_hint; }
    // One step of the splash timer ("Timer1", which calls it every 400 ms).
    void Timer1Tick();

signals:
    // The splash time is over; the main window finishes its start-up.
    void splashFinished();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void Render();

    AboutSplash m_splash;
    QLabel* m_label1;
    QLabel* m_label2;
    QLabel* m_label3;
    QProgressBar* m_pb1;
    QLabel* m_hint;
    QTimer* m_timer1;
};

} // namespace pellam
