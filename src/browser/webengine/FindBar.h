#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QWebEnginePage;

// Find in page, as a bar under it rather than a box over it: it finds while the
// user types, steps through the matches and tells where it stands ("3 of 12").
class FindBar : public QWidget
{
public:
    FindBar(QWebEnginePage *page, QWidget *parent);
    // Shown with the keyboard in it, the text found last selected to type over.
    void open();
    // The next match, or the one before; from the page too (F3, Shift+F3).
    void step(bool back);
    // Hidden, the matches no longer marked, the keyboard back in the page.
    void close();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWebEnginePage *m_page;
    QLineEdit *m_text;
    QLabel *m_where;
};
