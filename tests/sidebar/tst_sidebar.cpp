#include "TestFrame.h"
#include "forms/TreeView.h"
#include "sidebar/SideBar.h"

#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QtTest>

namespace {

void hover(QWidget *widget)
{
    const QPointF pos(1, 1);
    QMouseEvent event(QEvent::MouseMove, pos, widget->mapToGlobal(pos), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Tag and picture of both buttons: "Open Web's" first.
QString state(SideBar *s)
{
    return QStringLiteral("%1/%2 %3/%4")
            .arg(s->Tag(s->Image2))
            .arg(s->pictureOf(s->Image2))
            .arg(s->Tag(s->Image1))
            .arg(s->pictureOf(s->Image1));
}

double openWebHeight(SideBar *s)
{
    return s->pwebtree.Top() + s->pwebtree.Height() + 100;
}

double favoritesHeight(SideBar *s)
{
    return s->pTreeFavor.Top() + s->pTreeFavor.Height() + 100;
}

} // namespace

class tst_sidebar : public QObject
{
    Q_OBJECT
private slots:
    void sectionTransitions();
    void loopCounters();
    void hoverAndRestore();
    void widthLayoutAndDrag();
};

void tst_sidebar::sectionTransitions()
{
    TestFrame tf(true, false);
    SideBar *s = tf->Picture3;
    const double header = s->pPicture4.Height();
    QCOMPARE(state(s), QStringLiteral("down/0 down/0"));
    QCOMPARE(s->pPicture1.Height(), header);

    auto check = [&](const QString &expected, double picture1, double picture2) {
        QCOMPARE(state(s), expected);
        QCOMPARE(s->pPicture1.Height(), picture1);
        QCOMPARE(s->pPicture2.Height(), picture2);
        QCOMPARE(s->pPicture2.Top(), s->pPicture1.Top() + s->pPicture1.Height());
    };

    const double web = openWebHeight(s);
    s->Image5_Click();
    check(QStringLiteral("Up/1 down/0"), web, header);

    double fav = favoritesHeight(s);
    s->Image6_Click();
    check(QStringLiteral("down/0 up/1"), header, fav);

    s->Image5_Click();
    check(QStringLiteral("Up/1 down/0"), openWebHeight(s), header);

    s->Image5_Click();
    check(QStringLiteral("down/0 down/0"), header, header);

    fav = favoritesHeight(s);
    s->Image6_Click();
    check(QStringLiteral("down/0 up/1"), header, fav);

    // Closing "Favorites" lets events run at each step. An "Open Web's" click
    // arriving then opens it once the closing is over; a second "Favorites" click
    // closes what is closing: it ends closed.
    bool ranDuring = false;
    QTimer::singleShot(0, s, [&] {
        ranDuring = s->isAnimating();
        s->Image5_Click();
    });
    s->Image6_Click();
    QVERIFY(ranDuring);
    check(QStringLiteral("down/0 down/0"), header, header);
    QTRY_COMPARE(state(s), QStringLiteral("Up/1 down/0"));
    s->Image6_Click();
    check(QStringLiteral("down/0 up/1"), header, favoritesHeight(s));
    QTimer::singleShot(0, s, [&] { s->Image6_Click(); });
    s->Image6_Click();
    QTest::qWait(50);
    check(QStringLiteral("down/0 down/0"), header, header);

    // The frame going away in the middle of that animation ends it quietly.
    s->Image5_Click();
    s->Image6_Click();
    QCOMPARE(state(s), QStringLiteral("down/0 up/1"));
    QTimer::singleShot(0, [&] { tf.frame.reset(); });
    s->Image6_Click();
    QVERIFY(!tf.frame);
}

void tst_sidebar::loopCounters()
{
    TestFrame tf(true, false);
    SideBar *s = tf->Picture3;

    // Closing "Favorites" from "Open Web's" button counts in whole twips ...
    s->Image6_Click();
    s->pPicture2.setHeight(1000.6);
    s->Image5_Click();
    QCOMPARE(s->pPicture2.Height(), 495.0);
    QCOMPARE(state(s), QStringLiteral("Up/1 down/0"));

    // ... its own button from the exact height, stopping short of a fractional end.
    s->Image6_Click();
    s->pPicture2.setHeight(1000.6);
    s->Image6_Click();
    QVERIFY(qAbs(s->pPicture2.Height() - 495.6) < 1e-6);

    // A start beyond the end does nothing but set the state.
    s->Image5_Click();
    s->pPicture1.setHeight(200);
    s->Image5_Click();
    QCOMPARE(s->pPicture1.Height(), 200.0);
    QCOMPARE(state(s), QStringLiteral("down/0 down/0"));
}

void tst_sidebar::hoverAndRestore()
{
    TestFrame tf(true, false);
    SideBar *s = tf->Picture3;

    hover(s->Image5);
    QCOMPARE(state(s), QStringLiteral("down/2 down/0"));
    hover(s->Image6);
    QCOMPARE(state(s), QStringLiteral("down/0 down/2"));
    hover(s->TreeFavor->viewport());
    QCOMPARE(state(s), QStringLiteral("down/0 down/0"));

    QTest::mouseClick(s->Image5, Qt::LeftButton);
    QCOMPARE(state(s), QStringLiteral("Up/1 down/0"));
    QTest::mouseClick(s->Image6, Qt::RightButton);
    QCOMPARE(state(s), QStringLiteral("Up/1 down/0"));

    // The drag strip restores "Favorites" only; an area without a handler nothing.
    hover(s->Image5);
    s->setPicture(s->Image1, 2);
    hover(s->Image3);
    QCOMPARE(state(s), QStringLiteral("Up/3 down/0"));
    hover(s->Picture1);
    hover(s->Picture5);
    hover(s->pbar);
    QCOMPARE(state(s), QStringLiteral("Up/3 down/0"));

    const QList<QWidget *> restoring = { s->Frame1,   s->Label1, s->Label2,
                                         s->Label3,   s->Picture2, s->Picture4,
                                         s,           s->Image1, s->Image2,
                                         s->TreeFavor->viewport() };
    for (QWidget *widget : restoring) {
        s->setPicture(s->Image2, 3);
        s->setPicture(s->Image1, 2);
        hover(widget);
        QVERIFY2(state(s) == QStringLiteral("Up/1 down/0"), qPrintable(widget->objectName()));
    }
    // The frame's own restorer forwards to the side bar.
    s->setPicture(s->Image2, 3);
    tf->drawimages(s->Image2);
    QCOMPARE(s->pictureOf(s->Image2), 1);
}

void tst_sidebar::widthLayoutAndDrag()
{
    TestFrame tf(true, false);
    SideBar *s = tf->Picture3;
    tf->mybar_Click();
    QVERIFY(s->isVisible());

    s->setWidth(2970);
    QCOMPARE(s->pPicture1.Width(), 2895.0);
    QCOMPARE(s->pPicture2.Width(), 2895.0);
    QCOMPARE(s->pPicture4.Width(), 2895.0);
    QCOMPARE(s->pTreeFavor.Width(), 2895.0);
    QCOMPARE(s->pwebtree.Width(), 2895.0);
    QCOMPARE(s->pImage3.Left(), 2885.0);
    QCOMPARE(s->pImage3.Height(), s->Height());
    QCOMPARE(s->pPicture5.Width(), 2970.0);
    QCOMPARE(s->pFrame1.Width(), 2980.0);
    QCOMPARE(s->pToolbar1.Left(), 2605.0);
    QCOMPARE(s->pImage1.Width(), 2625.0);
    QCOMPARE(s->width(), 198);

    // Left button: the right edge follows the pointer, never below 1000 twips.
    const QPoint start = s->Image3->mapToGlobal(QPoint(2, 10));
    auto dragTo = [&](int dx) {
        QTest::mouseMove(s->Image3, s->Image3->mapFromGlobal(start + QPoint(dx, 0)));
    };
    QTest::mousePress(s->Image3, Qt::LeftButton, {}, QPoint(2, 10));
    QVERIFY(s->isDragging());
    dragTo(20);
    QCOMPARE(s->Width(), 3270.0);
    QCOMPARE(s->pPicture5.Width(), 3270.0);
    dragTo(-158);
    QCOMPARE(s->Width(), 1000.0);
    QCOMPARE(s->pPicture1.Width(), 925.0);
    QCOMPARE(s->width(), 67);
    QTest::mouseRelease(s->Image3, Qt::LeftButton, {}, s->Image3->mapFromGlobal(start));
    QVERIFY(!s->isDragging());
    dragTo(40);
    QCOMPARE(s->Width(), 1000.0);

    // Right button: no drag.
    QTest::mousePress(s->Image3, Qt::RightButton, {}, QPoint(2, 10));
    QVERIFY(!s->isDragging());
    QTest::mouseMove(s->Image3, QPoint(40, 10));
    QTest::mouseRelease(s->Image3, Qt::RightButton, {}, QPoint(40, 10));
    QCOMPARE(s->Width(), 1000.0);
}

ORVANE_TEST_MAIN(tst_sidebar)
#include "tst_sidebar.moc"
