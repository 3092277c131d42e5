#pragma once

#include <QString>
#include <functional>

class PageHost;
class QUrl;
class QWebEngineView;

// Asks the user something on a page's behalf, the one way every question of a page
// is asked: not for a window that is closing; out of full screen first; the view
// (and its page) kept alive while the question is open, since the engine may be
// waiting inside a call of that page. True when the window is still there, and not
// closing, to take the answer; false and nothing asked otherwise.
bool AskForPage(PageHost *host, const std::function<void()> &question);

// True while a question asked for the view's page is open.
bool IsViewHeld(QWebEngineView *view);

// The site as every question names it: "scheme://host[:port]", or "scheme:" for an
// address without a host.
QString SiteName(const QUrl &url);

// Questions a page raises one soon after another: each asked within the gap of the
// answer to the one before continues the row.
class QuestionRow
{
public:
    explicit QuestionRow(int gapMs = 0) : m_gapMs(gapMs) { }

    static qint64 now();
    // How many questions make up the row so far.
    int length() const { return m_length; }
    // The row's length if a question asked at `at` continues it.
    int lengthAt(qint64 at) const { return continues(at) ? m_length : 0; }
    // The question asked at `at` was answered; inRow false ends the row there.
    void answered(qint64 at, bool inRow = true);
    void reset() { m_length = 0; m_lastAnswer = -1; }

private:
    bool continues(qint64 at) const { return m_lastAnswer >= 0 && at - m_lastAnswer < m_gapMs; }

    int m_gapMs;
    int m_length = 0;
    qint64 m_lastAnswer = -1;
};
