#include "TestFrame.h"
#include "dialogs/frmabout.h"
#include "forms/MessageBoxPrompter.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

class tst_about : public QObject
{
    Q_OBJECT
private slots:
    void aboutCommandShowsTheRealBox();
};

void tst_about::aboutCommandShowsTheRealBox()
{
    // Help, About, twice: each time a new modal box of its own, its texts as
    // designed, closed by its Close button and gone when the command returns.
    MessageBoxPrompter real;
    TestFrame t(false, false);
    t.realPrompter = &real;
    t.create();
    QList<QPointer<frmabout>> shown;
    QTimer clicker;
    connect(&clicker, &QTimer::timeout, [&] {
        auto *box = qobject_cast<frmabout *>(QApplication::activeModalWidget());
        if (!box || shown.contains(box))
            return;
        shown.append(box);
        QCOMPARE(box->size(), QSize(379, 219)); // 5685 x 3285 twips at 96 dpi
        QCOMPARE(box->parentWidget(), t.frame.get());
        QCOMPARE(box->Label1->text(),
                 QStringLiteral("Orvane 2 can understand when a new window will be loaded and "
                                "prompt user......"));
        QCOMPARE(box->Label1->textFormat(), Qt::PlainText);
        QCOMPARE(box->Command1->text(), QStringLiteral("Close"));
        QTest::mouseClick(box->Command1, Qt::LeftButton);
    });
    clicker.start(20);
    t->about->trigger();
    t->about->trigger();
    QCOMPARE(shown.size(), 2);
    QVERIFY(shown.at(0).isNull() && shown.at(1).isNull());
    QVERIFY(!QApplication::activeModalWidget());
}

ORVANE_TEST_MAIN(tst_about)
#include "tst_about.moc"
