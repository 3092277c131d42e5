#pragma once

#include <QDialog>
#include <functional>

class History;
class Prompter;
class QLabel;
class QLineEdit;
class QTreeWidget;

// The pages visited, newest first and grouped by day, with a filter: Enter or a
// double-click opens the chosen pages, Delete removes them, "Clear All" all.
class HistoryWindow : public QDialog
{
public:
    // Lists at most this many entries; the filter reaches the older ones.
    static constexpr int Shown = 2000;

    HistoryWindow(History *history, Prompter *prompter, std::function<void(const QString &)> open,
                  QWidget *parent);
    QTreeWidget *list() const { return m_list; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void fill();
    void openChosen();
    void removeChosen();

    History *m_history;
    Prompter *m_prompter;
    std::function<void(const QString &)> m_open;
    QLineEdit *m_filter;
    QTreeWidget *m_list;
    QLabel *m_more;
};
