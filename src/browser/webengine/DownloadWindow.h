#pragma once

#include <QPointer>
#include <QWidget>

class DownloadJob;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

// A small window for one download: its name, bytes so far and total, speed and
// Cancel; at the end, where it went or why it failed.
class DownloadWindow : public QWidget
{
    Q_OBJECT
public:
    // It shows progress at most once every refreshMs.
    DownloadWindow(DownloadJob *job, QWidget *owner, int refreshMs);

    QString statusText() const;

private:
    void refresh();

    QPointer<DownloadJob> m_job;
    QLabel *m_name;
    QProgressBar *m_bar;
    QLabel *m_status;
    QPushButton *m_button;
    QTimer *m_throttle;
};
