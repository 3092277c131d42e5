#include "BenchSupport.h"

#include "browser/Form1.h"
#include "browser/WebBrowser.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QScreen>
#include <QTimer>
#include <algorithm>

MsgBox::Answer YesPrompter::msgBox(QWidget *, const QString &, MsgBox::Style, const QString &)
{
    if (onAsk)
        onAsk();
    return MsgBox::Yes;
}

QString YesPrompter::askText(QWidget *, const QString &, const QString &, const QString &, bool *ok)
{
    *ok = false;
    return QString();
}

void Bench::create()
{
    FrameEnv env;
    env.programDir = program.path();
    env.homeDir = home.path();
    env.currentDir = home.path();
    env.stateDir = home.path() + QStringLiteral("/state");
    env.prompter = &prompter;
    env.browsers = [this] { return factory(); };
    env.downloads = [this] { return fetch(); };
    env.quit = [] { };
    frame = new MDIForm1(env);
    frame->MDIForm_Load();
}

void Bench::recreate()
{
    delete frame;
    frame = nullptr;
    create();
}

bool PaintWatch::eventFilter(QObject *, QEvent *e)
{
    if (e->type() == QEvent::Paint)
        painted = true;
    return false;
}

double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    const int n = int(v.size());
    return n == 0 ? 0 : (n % 2 ? v.at(n / 2) : (v.at(n / 2 - 1) + v.at(n / 2)) / 2);
}

void flush()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

bool waitFor(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

bool waitCalmly(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    QTimer tick; // wakes the loop to look at the clock
    tick.start(20);
    while (!done()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

Form1 *lastWindow(MDIForm1 *frame)
{
    const QList<ChildForm *> forms = frame->forms();
    for (int i = forms.size() - 1; i >= 0; --i)
        if (auto *w = qobject_cast<Form1 *>(forms.at(i)))
            return w;
    return nullptr;
}

namespace {
void countCompleted(Form1 *w, const QString &url, int *completed)
{
    QObject::connect(w->wb, &WebBrowser::DocumentComplete, w,
                     [url, completed](QObject *, const QString &done) {
                         if (done == url)
                             ++*completed;
                     });
}
} // namespace

Form1 *openAndGo(MDIForm1 *frame, const QString &url, int *completed)
{
    frame->new_Click();
    Form1 *w = lastWindow(frame);
    countCompleted(w, url, completed);
    w->cmbadress->setEditText(url);
    w->gnet_ButtonClick(1);
    return w;
}

Form1 *openPage(MDIForm1 *frame, const QString &url, int *completed)
{
    Form1 *w = frame->OpenBrowserWindow(url, url, url);
    countCompleted(w, url, completed);
    return w;
}

void idle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void showFrame(MDIForm1 *frame)
{
    // Without a window manager, maximised is only a wish: the size is set too.
    if (QScreen *screen = frame->screen())
        frame->setGeometry(screen->availableGeometry());
    frame->showMaximized();
}

int lifecycleState(Form1 *window)
{
    // Read through the property: the bench does not link the engine itself.
    const QList<QObject *> children = window->wb->findChildren<QObject *>();
    for (QObject *o : children)
        if (o->inherits("QWebEnginePage"))
            return o->property("lifecycleState").toInt();
    return -1;
}
