#include "TestFrame.h"
#include "frame/SettingsFile.h"

#include <QtTest>

class tst_settings : public QObject
{
    Q_OBJECT
private slots:
    void placeholder() { QVERIFY(true); }
};

ORVANE_TEST_MAIN(tst_settings)
#include "tst_settings.moc"
