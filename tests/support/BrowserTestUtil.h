#pragma once

#include "browser/Form1.h"
#include "browser/WebBrowser.h"
#include "frame/MDIForm1.h"

#include <QSignalSpy>
#include <QtTest>

// The newest browser window of a frame.
inline Form1 *lastWindow(MDIForm1 *frame)
{
    const QList<ChildForm *> forms = frame->forms();
    for (int i = forms.size() - 1; i >= 0; --i)
        if (auto *w = qobject_cast<Form1 *>(forms.at(i)))
            return w;
    return nullptr;
}

// Waits for the window's page to complete a load.
inline bool waitForComplete(Form1 *window, int count = 1, int timeoutMs = 20000)
{
    QSignalSpy spy(window->wb, &WebBrowser::DocumentComplete);
    return spy.size() >= count || QTest::qWaitFor([&] { return spy.size() >= count; }, timeoutMs);
}

// Lets deferred deletions run.
inline void flushDeletes()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}
