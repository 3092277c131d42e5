#include "browser/webengine/DownloadWindow.h"

#include "browser/webengine/DownloadJob.h"

#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {
QLabel *plainLabel(const QString &name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText); // names come from servers
    return label;
}
} // namespace

DownloadWindow::DownloadWindow(DownloadJob *job, QWidget *owner, int refreshMs)
    : QWidget(owner, Qt::Tool), m_job(job), m_throttle(new QTimer(this))
{
    setObjectName(QStringLiteral("frmDownload"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_name = plainLabel(QStringLiteral("lblFile"), this);
    m_name->setText(QFileInfo(job->target()).fileName());
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("progress"));
    m_status = plainLabel(QStringLiteral("lblStatus"), this);
    m_status->setWordWrap(true);
    m_button = new QPushButton(QStringLiteral("Cancel"), this);
    m_button->setObjectName(QStringLiteral("cmdCancel"));
    m_button->setAccessibleName(m_button->text());
    auto *layout = new QVBoxLayout(this);
    for (QWidget *w : { static_cast<QWidget *>(m_name), static_cast<QWidget *>(m_bar),
                        static_cast<QWidget *>(m_status) })
        layout->addWidget(w);
    layout->addWidget(m_button, 0, Qt::AlignRight);
    resize(420, sizeHint().height());

    connect(m_button, &QPushButton::clicked, this, [this] {
        if (m_job && m_job->state() == DownloadJob::Running)
            m_job->cancel();
        else
            close();
    });
    // Progress comes in many small steps; the window follows a few a second.
    m_throttle->setSingleShot(true);
    m_throttle->setInterval(refreshMs);
    connect(m_throttle, &QTimer::timeout, this, &DownloadWindow::refresh);
    connect(job, &DownloadJob::progressed, this, [this] {
        if (!m_throttle->isActive())
            m_throttle->start();
    });
    connect(job, &DownloadJob::finished, this, [this] {
        m_throttle->stop();
        refresh();
    });
    refresh();
}

QString DownloadWindow::statusText() const
{
    return m_status->text();
}

void DownloadWindow::refresh()
{
    if (!m_job)
        return;
    const QLocale locale;
    const QString name = QFileInfo(m_job->target()).fileName();
    const qint64 got = m_job->received(), total = m_job->total();
    switch (m_job->state()) {
    case DownloadJob::Running:
        setWindowTitle(QStringLiteral("Downloading ") + name);
        m_bar->setRange(0, total > 0 ? 1000 : 0);
        m_bar->setValue(total > 0 ? int(got * 1000 / total) : 0);
        m_status->setText((total > 0 ? QStringLiteral("%1 of %2").arg(locale.formattedDataSize(got, 1),
                                                                      locale.formattedDataSize(total, 1))
                                     : locale.formattedDataSize(got, 1))
                          + QStringLiteral(", ") + locale.formattedDataSize(m_job->bytesPerSecond(), 1)
                          + QStringLiteral("/s"));
        break;
    case DownloadJob::Done:
        setWindowTitle(QStringLiteral("Downloaded ") + name);
        m_bar->setRange(0, 1);
        m_bar->setValue(1);
        m_status->setText(QStringLiteral("Done: %1 saved in %2")
                          .arg(locale.formattedDataSize(got, 1), QFileInfo(m_job->target()).path()));
        m_button->setText(QStringLiteral("Close"));
        break;
    case DownloadJob::Failed:
        setWindowTitle(QStringLiteral("Download failed: ") + name);
        m_status->setText(QStringLiteral("Failed: %1. Nothing was saved.").arg(m_job->failure()));
        m_button->setText(QStringLiteral("Close"));
        break;
    }
    m_button->setAccessibleName(m_button->text());
}
