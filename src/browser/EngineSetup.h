#pragma once

#include <QCoreApplication>
#include <unistd.h>

// What the web engine needs before QApplication exists. Chromium refuses to run
// as root with its sandbox on, so it goes off then, and only then; without
// shared OpenGL contexts the engine cannot start once the application exists.
inline void PrepareWebEngine()
{
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}
