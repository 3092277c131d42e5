// The start-up baseline: a plain frame with an MDI area, as light as a frame gets.
#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QMainWindow frame;
    frame.setWindowTitle(QStringLiteral("BareFrame"));
    frame.setCentralWidget(new QMdiArea);
    frame.showMaximized();
    return app.exec();
}
