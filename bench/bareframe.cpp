// The start-up baseline: a plain frame with an MDI area, as light as a frame gets.
// With "bars", it also has a menu bar with one menu and an empty toolbar: the least a
// frame with text and a toolbar pays for fonts and the toolbar's icon.
#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenuBar>
#include <QToolBar>

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QMainWindow frame;
    frame.setWindowTitle(QStringLiteral("BareFrame"));
    frame.setCentralWidget(new QMdiArea);
    if (argc > 1 && qstrcmp(argv[1], "bars") == 0) {
        frame.menuBar()->addMenu(QStringLiteral("File"));
        frame.addToolBar(QStringLiteral("Tools"));
    }
    frame.showMaximized();
    return app.exec();
}
