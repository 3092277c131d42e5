#include "TestFrame.h"
#include "dialogs/frmabout.h"
#include "forms/MessageBoxPrompter.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

class tst_about : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void lookOfTheBox();
    void aboutCommandOpensANewModalBoxEachTime();
    void realBoxClosesWithCloseButton();

private:
    MDIForm1 *frame() const { return m_frame->frame.get(); }
    std::unique_ptr<TestFrame> m_frame;
};

void tst_about::init()
{
    m_frame = std::make_unique<TestFrame>(true, false);
}

void tst_about::cleanup()
{
    m_frame.reset();
    // No box may outlive its showing.
    QVERIFY(!QApplication::activeModalWidget());
}

void tst_about::lookOfTheBox()
{
    frmabout box(frame()->twips(), frame());
    QVERIFY(box.windowTitle().isEmpty());
    QVERIFY(box.isModal());
    QCOMPARE(box.size(), QSize(379, 219)); // 5685 x 3285 twips at 96 dpi
    QCOMPARE(box.palette().color(QPalette::Window), QColor(148, 182, 231));
    const Qt::WindowFlags flags = box.windowFlags();
    QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QCOMPARE(box.parentWidget(), frame());

    QCOMPARE(box.Label1->text(),
             QStringLiteral("Orvane 2 can understand when a new window will be loaded and "
                            "prompt user......"));
    QCOMPARE(box.Label1->textFormat(), Qt::PlainText);
    QVERIFY(!box.Label2->text().isEmpty() && !box.Label3->text().isEmpty());
    QCOMPARE(box.Command1->text(), QStringLiteral("Close"));
    QCOMPARE(box.Command1->accessibleName(), QStringLiteral("Close"));
    for (QLabel *image : { box.Image1, box.Image2, box.Image3 })
        QCOMPARE(image->pixmap().size(), QSize(48, 48));
    QCOMPARE(box.Image4->pixmap().size(), QSize(300, 50));
    // The texts lie inside the frame and inside the box.
    for (QLabel *label : { box.Label1, box.Label2, box.Label3 }) {
        QVERIFY(box.Shape1->geometry().contains(label->geometry()));
        QVERIFY(label->font().bold());
    }
    QVERIFY(box.rect().contains(box.Shape1->geometry()));
}

void tst_about::aboutCommandOpensANewModalBoxEachTime()
{
    QList<QPointer<QDialog>> shown;
    m_frame->prompter.onDialog = [&](QDialog *dialog) {
        shown.append(dialog);
        if (!qobject_cast<frmabout *>(dialog) || !dialog->isModal())
            return -1;
        qobject_cast<frmabout *>(dialog)->Command1->click();
        return dialog->result();
    };
    frame()->about->trigger();
    frame()->about->trigger();
    QCOMPARE(m_frame->prompter.dialogsRun, 2);
    QCOMPARE(shown.size(), 2);
    // Each showing had its own box, gone when the command returned.
    QVERIFY(shown.at(0).isNull() && shown.at(1).isNull());
}

void tst_about::realBoxClosesWithCloseButton()
{
    MessageBoxPrompter real;
    frmabout box(frame()->twips(), frame());
    bool modalWhileOpen = false;
    QTimer clicker;
    connect(&clicker, &QTimer::timeout, &box, [&] {
        if (!box.isVisible())
            return;
        clicker.stop();
        modalWhileOpen = QApplication::activeModalWidget() == &box
                && box.windowModality() == Qt::ApplicationModal;
        QTest::mouseClick(box.Command1, Qt::LeftButton);
    });
    clicker.start(20);
    QTimer::singleShot(10000, &box, [&box] { box.done(-1); }); // never hang the run
    const int result = real.execDialog(&box);
    QCOMPARE(result, int(QDialog::Accepted));
    QVERIFY(modalWhileOpen);
    QVERIFY(!box.isVisible());
    QVERIFY(!QApplication::activeModalWidget());
}

ORVANE_TEST_MAIN(tst_about)
#include "tst_about.moc"
