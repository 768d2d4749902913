#pragma once
// Steps the main window's recording pass as its 20 ms timer would, without
// waiting for the timer; between steps the events run, so the background
// probe delivers.
#include "app/IncidentOpenDriver.h"
#include "app/Main.h"

#include <QTest>
#include <QTimer>

namespace pellam::test {

inline bool FinishOpening(Main& w)
{
    w.findChild<QTimer*>("GetDirsTIM")->stop();
    return QTest::qWaitFor(
        [&] {
            w.opening().tick();
            return !w.Loading();
        },
        30000);
}

// Starts the window as the program does, opens `evt` and finishes the pass.
inline bool LoadAndOpen(Main& w, const QString& evt)
{
    w.Form_Load(false);
    w.OpenEventFile(evt);
    return FinishOpening(w);
}

} // namespace pellam::test
