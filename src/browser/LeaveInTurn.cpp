#include "browser/LeaveInTurn.h"

#include "browser/Form1.h"
#include "browser/WebBrowser.h"

#include <QPointer>
#include <QTreeWidgetItem>
#include <algorithm>
#include <memory>

namespace {

int depth(Form1 *window)
{
    int depth = 0;
    for (QTreeWidgetItem *node = window->treeNode(); node; node = node->parent())
        ++depth;
    return depth;
}

struct Round
{
    QList<QPointer<Form1>> windows;
    std::function<void(Form1 *)> left;
    std::function<void(bool)> done;
};

void next(const std::shared_ptr<Round> &round)
{
    while (!round->windows.isEmpty()) {
        QPointer<Form1> window = round->windows.takeFirst();
        if (!window || window->isUnloaded())
            continue;
        if (!window->wb->mayAskToLeave()) {
            round->left(window);
            continue;
        }
        window->wb->askToLeave([round, window](bool leave) {
            if (!leave)
                return round->done(false);
            if (window && !window->isUnloaded())
                round->left(window);
            next(round);
        });
        return;
    }
    round->done(true);
}

} // namespace

namespace LeaveInTurn {

QList<Form1 *> deepestFirst(QList<Form1 *> windows)
{
    QList<std::pair<int, Form1 *>> ranked;
    for (Form1 *window : windows)
        ranked.append({ -depth(window), window });
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    windows.clear();
    for (const auto &[rank, window] : ranked)
        windows.append(window);
    return windows;
}

bool noneAsks(const QList<Form1 *> &windows)
{
    return std::none_of(windows.begin(), windows.end(),
                        [](Form1 *window) { return window->wb->mayAskToLeave(); });
}

void ask(const QList<Form1 *> &windows, std::function<void(Form1 *)> left,
         std::function<void(bool all)> done)
{
    auto round = std::make_shared<Round>();
    for (Form1 *window : windows)
        round->windows.append(window);
    round->left = std::move(left);
    round->done = std::move(done);
    next(round);
}

} // namespace LeaveInTurn
