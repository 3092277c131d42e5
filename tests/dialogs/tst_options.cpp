#include "Files.h"
#include "TestFrame.h"
#include "dialogs/frmOptions.h"
#include "forms/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {

const QByteArray FocusFile("[New Window]\r\nFocus\r\n");
const QByteArray BackgroundFile("[New Window]\r\nBackground\r\n");

} // namespace

class tst_options : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_frame = std::make_unique<TestFrame>(true, false); }
    void cleanup() { m_frame.reset(); }

    void opensWithTheFileAndOnlyOkKeeps_data();
    void opensWithTheFileAndOnlyOkKeeps();
    void missingFileIsCreatedAndDialogOpens();
    void emptyFileIsReportedAndDialogStaysShut();
    void failedWriteIsReportedAndFileKept();

private:
    MDIForm1 *frame() const { return m_frame->frame.get(); }
    frmOptions *options() const { return frame()->options(); }

    std::unique_ptr<TestFrame> m_frame;
};

void tst_options::opensWithTheFileAndOnlyOkKeeps_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("click"); // the button chosen first, if any
    QTest::addColumn<QString>("how");   // how the dialog is left
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("Background, OK") << BackgroundFile << QString() << "ok" << BackgroundFile;
    QTest::newRow("Focus, OK") << FocusFile << QString() << "ok" << FocusFile;
    QTest::newRow("choose Focus, OK") << BackgroundFile << "optfocus" << "ok" << FocusFile;
    QTest::newRow("choose Background, OK") << FocusFile << "optback" << "ok" << BackgroundFile;
    QTest::newRow("choose Focus, Cancel") << BackgroundFile << "optfocus" << "cancel"
                                          << BackgroundFile;
    QTest::newRow("choose Focus, Escape") << BackgroundFile << "optfocus" << "escape"
                                          << BackgroundFile;
    QTest::newRow("choose Focus, close box") << BackgroundFile << "optfocus" << "close"
                                             << BackgroundFile;
}

void tst_options::opensWithTheFileAndOnlyOkKeeps()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, click);
    QFETCH(QString, how);
    QFETCH(QByteArray, after);
    writeFile(m_frame->settingsPath(), stored);
    // The dialog shows the file, not its own previous state.
    options()->select(stored == FocusFile ? NewWindowMode::Background : NewWindowMode::Focus);
    bool shownFocus = false;
    m_frame->prompter.onDialog = [&](QDialog *dialog) {
        dialog->show();
        shownFocus = options()->optfocus->isChecked();
        if (!click.isEmpty())
            QTest::mouseClick(dialog->findChild<QRadioButton *>(click), Qt::LeftButton);
        if (how == QLatin1String("ok"))
            options()->cmdOK->click();
        else if (how == QLatin1String("cancel"))
            options()->cmdcancel->click();
        else if (how == QLatin1String("escape"))
            QTest::keyClick(dialog, Qt::Key_Escape);
        else
            dialog->close();
        return dialog->result();
    };
    frame()->options_Click();
    QCOMPARE(shownFocus, stored == FocusFile);
    QCOMPARE(options()->result(),
             int(how == QLatin1String("ok") ? QDialog::Accepted : QDialog::Rejected));
    QCOMPARE(readFile(m_frame->settingsPath()), after);
    QCOMPARE(frame()->optfocus(), after == FocusFile);
    QCOMPARE(options()->optback->isChecked(), after != FocusFile);
    QVERIFY(m_frame->prompter.asked.isEmpty());
}

void tst_options::missingFileIsCreatedAndDialogOpens()
{
    const bool liveFocus = true;
    QFile::remove(m_frame->settingsPath());
    options()->select(liveFocus ? NewWindowMode::Focus : NewWindowMode::Background);
    QByteArray fileWhileOpen;
    bool shownFocus = !liveFocus;
    m_frame->prompter.onDialog = [&](QDialog *) {
        fileWhileOpen = readFile(m_frame->settingsPath());
        shownFocus = options()->optfocus->isChecked();
        options()->cmdcancel->click();
        return int(QDialog::Rejected);
    };
    frame()->options_Click();
    QCOMPARE(m_frame->prompter.dialogsRun, 1);
    QCOMPARE(fileWhileOpen, FocusFile);
    // The selection in force before, not the value just written.
    QCOMPARE(shownFocus, liveFocus);
    QVERIFY(m_frame->prompter.asked.isEmpty());
}

void tst_options::emptyFileIsReportedAndDialogStaysShut()
{
    writeFile(m_frame->settingsPath(), QByteArray());
    frame()->options_Click();
    QCOMPARE(m_frame->prompter.dialogsRun, 0);
    QCOMPARE(m_frame->prompter.asked.size(), 1);
    const RecordingPrompter::Asked box = m_frame->prompter.asked.first();
    QCOMPARE(box.title, QStringLiteral("Error in Orvane.ini\r\nAborting.."));
    QCOMPARE(box.style, 48);
    QVERIFY(box.text.startsWith(QStringLiteral("62\r\n")));
    QCOMPARE(readFile(m_frame->settingsPath()), QByteArray());
}

void tst_options::failedWriteIsReportedAndFileKept()
{
    // The program folder is swapped for a regular file while the dialog is open,
    // so nothing can be written there (permissions would not stop root).
    const QString dir = m_frame->programDir();
    const QString moved = dir + QStringLiteral(".moved");
    writeFile(m_frame->settingsPath(), BackgroundFile);
    int result = -1;
    m_frame->prompter.onDialog = [&](QDialog *dialog) {
        if (!QDir().rename(dir, moved))
            return -1;
        writeFile(dir, "not a folder");
        QTest::mouseClick(options()->optfocus, Qt::LeftButton);
        options()->cmdOK->click();
        // Still open after the failure: the user can try again or cancel.
        result = dialog->result();
        const bool stillOpen = m_frame->prompter.asked.size() == 1;
        options()->cmdcancel->click();
        return stillOpen ? dialog->result() : -1;
    };
    frame()->options_Click();
    QFile::remove(dir);
    QVERIFY(QDir().rename(moved, dir));

    QCOMPARE(result, 0);
    QCOMPARE(m_frame->prompter.asked.size(), 1);
    QCOMPARE(m_frame->prompter.asked.first().title,
             QStringLiteral("Error in Orvane.ini\r\nAborting.."));
    QCOMPARE(m_frame->prompter.asked.first().style, 48);
    QCOMPARE(readFile(m_frame->settingsPath()), BackgroundFile);
    QVERIFY(!frame()->optfocus());

    // With no file and no folder to create it in, the box comes up and the dialog
    // does not open.
    m_frame->prompter.asked.clear();
    m_frame->prompter.dialogsRun = 0;
    QVERIFY(QDir().rename(dir, moved));
    writeFile(dir, "not a folder");
    frame()->options_Click();
    QFile::remove(dir);
    QVERIFY(QDir().rename(moved, dir));
    QCOMPARE(m_frame->prompter.dialogsRun, 0);
    QCOMPARE(m_frame->prompter.asked.size(), 1);
    QCOMPARE(m_frame->prompter.asked.first().title,
             QStringLiteral("Error in Orvane.ini\r\nAborting.."));
}

ORVANE_TEST_MAIN(tst_options)
#include "tst_options.moc"
