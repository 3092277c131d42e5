#include "Files.h"
#include "TestFrame.h"
#include "TestServer.h"
#include "browser/Form1.h"
#include "browser/WebBrowser.h"
#include "forms/TabStrip.h"
#include "forms/TreeView.h"
#include "forms/WindowKey.h"
#include "sidebar/Favorites.h"
#include "sidebar/Shortcut.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Each node as "text|key", children indented, in the order shown.
QStringList outline(const QTreeWidgetItem *item, int depth = 0)
{
    QStringList lines;
    lines << QString(depth * 2, QLatin1Char(' ')) + item->text(0) + QLatin1Char('|')
                    + TreeView::Key(item);
    for (int i = 0; i < item->childCount(); ++i)
        lines << outline(item->child(i), depth + 1);
    return lines;
}

Form1 *onlyWindow(MDIForm1 *frame)
{
    const QList<ChildForm *> forms = frame->forms();
    return forms.size() == 1 ? qobject_cast<Form1 *>(forms.first()) : nullptr;
}

} // namespace

class tst_favorites : public QObject
{
    Q_OBJECT
private slots:
    void startUpAndRebuild();
    void listingRules();
    void loopsAndUnreadableFolders();
    void shortcutAddress_data();
    void shortcutAddress();
    void doubleClickOpensWindow();
};

void tst_favorites::startUpAndRebuild()
{
    TestFrame tf(false, false);
    const QString fav = tf.homeDir() + QStringLiteral("/Favorites");

    // No Favorites folder at all: the root alone, with its count.
    QCOMPARE(Module1::GetSpecialFolder(6, tf.homeDir()), QString());
    tf->MDIForm_Load();
    QCOMPARE(tf->TreeFavor->Count(), 1);
    QCOMPARE(tf->TreeFavor->Item(1)->text(0), QStringLiteral("Favorites2 (1)"));
    QVERIFY(tf->isVisible());

    // An empty folder, rebuilt from the menu.
    QVERIFY(QDir().mkpath(fav));
    QCOMPARE(Module1::GetSpecialFolder(6, tf.homeDir()), fav);
    tf->refresg_favorites->trigger();
    QCOMPARE(tf->TreeFavor->Count(), 1);
    QCOMPARE(tf->TreeFavor->topLevelItemCount(), 1);
    QCOMPARE(tf->TreeFavor->Item(1)->text(0), QStringLiteral("Favorites (1)"));

    writeFile(fav + QStringLiteral("/A/z.url"));
    QVERIFY(QDir().mkpath(fav + QStringLiteral("/b")));
    writeFile(fav + QStringLiteral("/x.url"));
    writeFile(fav + QStringLiteral("/Y.url"));
    tf->refresg_favorites_Click();
    QTreeWidgetItem *root = tf->TreeFavor->Item(1);
    QCOMPARE(outline(root),
             QStringList({ QStringLiteral("Favorites (6)|Favorites"), QStringLiteral("  A|"),
                           QStringLiteral("    z|") + fav + QStringLiteral("/A/z.url"),
                           QStringLiteral("  b|"),
                           QStringLiteral("  x|") + fav + QStringLiteral("/x.url"),
                           QStringLiteral("  Y|") + fav + QStringLiteral("/Y.url") }));
    QVERIFY(root->isExpanded());
    QVERIFY(!root->child(0)->isExpanded());

    // The same folder at start-up.
    TestFrame second(false, false);
    writeFile(second.homeDir() + QStringLiteral("/Favorites/x.url"));
    second->MDIForm_Load();
    QCOMPARE(second->TreeFavor->Item(1)->text(0), QStringLiteral("Favorites2 (2)"));

    // A rebuild follows the disk: a removed folder goes, new files come.
    root->child(0)->setExpanded(true);
    QVERIFY(QDir(fav + QStringLiteral("/b")).removeRecursively());
    writeFile(fav + QStringLiteral("/A/new.url"));
    writeFile(fav + QStringLiteral("/c.url"));
    tf->refresg_favorites_Click();
    root = tf->TreeFavor->Item(1);
    QCOMPARE(tf->TreeFavor->topLevelItemCount(), 1);
    QCOMPARE(root->text(0), QStringLiteral("Favorites (7)"));
    QVERIFY(root->isExpanded());
    QVERIFY(!root->child(0)->isExpanded());
    QCOMPARE(root->childCount(), 4); // A, c, x, Y
    QCOMPARE(root->child(1)->text(0), QStringLiteral("c"));
    QCOMPARE(root->child(0)->childCount(), 2);
    QCOMPARE(root->child(0)->child(0)->text(0), QStringLiteral("new"));
}

void tst_favorites::listingRules()
{
    QTemporaryDir dir;
    const QString fav = dir.path();
    writeFile(fav + QStringLiteral("/notes.txt"));
    writeFile(fav + QStringLiteral("/page.html"));
    writeFile(fav + QStringLiteral("/abcd"));
    writeFile(fav + QStringLiteral("/ab"));
    writeFile(fav + QStringLiteral("/.hidden.url"));
    writeFile(fav + QStringLiteral("/.secret/s.url"));
    writeFile(fav + QStringLiteral("/Travel and holidays/sea.url"));
    writeFile(fav + QStringLiteral("/Travel and holidays/Inner/deep.url"));
    writeFile(fav + QStringLiteral("/Travel and holidays/.h.url"));
    writeFile(fav + QStringLiteral("/apple.url"));
    writeFile(fav + QStringLiteral("/Banana.url"));
    // A pipe would block whoever reads it.
    QCOMPARE(mkfifo(QFile::encodeName(fav + QStringLiteral("/pipe.url")).constData(), 0600), 0);

    const FavoritesScan scan = ScanFavorites(fav);
    QCOMPARE(scan.subFolders.size(), 1);
    QCOMPARE(scan.subFolders.first().name, QStringLiteral("Travel and holidays"));
    QCOMPARE(scan.subFolders.first().files, QStringList{ QStringLiteral("sea.url") });
    QCOMPARE(scan.files,
             QStringList({ QStringLiteral("ab"), QStringLiteral("abcd"),
                           QStringLiteral("apple.url"), QStringLiteral("Banana.url"),
                           QStringLiteral("notes.txt"), QStringLiteral("page.html") }));
    QCOMPARE(scan.nodeCount(), 1 + 1 + 6 + 1);

    // A rebuild that runs while the start-up shows the frame leaves one whole tree.
    TreeView tree(QStringLiteral("TreeFavor"));
    LoadFavoritesTree(&tree, fav, true, [&] { LoadFavoritesTree(&tree, fav, false, nullptr); });
    QCOMPARE(tree.topLevelItemCount(), 1);
    QCOMPARE(tree.Item(1)->text(0), QStringLiteral("Favorites (9)"));
    QCOMPARE(tree.Count(), 9);

    QCOMPARE(FavoriteText(QStringLiteral("notes.txt")), QStringLiteral("notes"));
    // Four characters go whatever the extension is.
    QCOMPARE(FavoriteText(QStringLiteral("page.html")), QStringLiteral("page."));
    QCOMPARE(FavoriteText(QStringLiteral("abcd")), QString());
    QCOMPARE(FavoriteText(QStringLiteral("ab")), QString());
}

void tst_favorites::loopsAndUnreadableFolders()
{
    QTemporaryDir home;
    const QString fav = home.path() + QStringLiteral("/Favorites");
    writeFile(fav + QStringLiteral("/a.url"));
    writeFile(fav + QStringLiteral("/real/r.url"));
    QVERIFY(QFile::link(fav, fav + QStringLiteral("/self")));
    QVERIFY(QFile::link(home.path(), fav + QStringLiteral("/up")));
    QVERIFY(QFile::link(fav + QStringLiteral("/real"), fav + QStringLiteral("/alias")));
    QVERIFY(QFile::link(fav + QStringLiteral("/gone"), fav + QStringLiteral("/broken.url")));
    QVERIFY(QDir().mkpath(fav + QStringLiteral("/locked")));
    QFile::setPermissions(fav + QStringLiteral("/locked"), QFileDevice::Permissions());

    const FavoritesScan scan = ScanFavorites(fav);
    QFile::setPermissions(fav + QStringLiteral("/locked"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                  | QFileDevice::ExeOwner);

    QStringList names;
    for (const FavoritesScan::SubFolder &sub : scan.subFolders)
        names << sub.name + QLatin1Char(':') + sub.files.join(QLatin1Char(','));
    // Links back into the folder are listed by name only; a link elsewhere is
    // an ordinary folder; a dangling link is no file.
    QCOMPARE(names, QStringList({ QStringLiteral("alias:r.url"), QStringLiteral("locked:"),
                                  QStringLiteral("real:r.url"), QStringLiteral("self:"),
                                  QStringLiteral("up:") }));
    QCOMPARE(scan.files, QStringList{ QStringLiteral("a.url") });
    if (geteuid() != 0)
        QVERIFY(QDir(fav + QStringLiteral("/locked")).entryList().isEmpty());
}

void tst_favorites::shortcutAddress_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("address");

    const QString a = QStringLiteral("http://example.test/a");
    QTest::newRow("crlf") << QByteArray("[DEFAULT]\r\nBASEURL=http://example.test/a\r\n"
                                        "[InternetShortcut]\r\nURL=http://other/\r\n")
                          << true << a;
    QTest::newRow("lf") << QByteArray("URL=http://other/\nBASEURL=http://example.test/a\n")
                        << true << a;
    QTest::newRow("cr, no final break") << QByteArray("x\rBASEURL=http://example.test/a")
                                        << true << a;
    QTest::newRow("first wins") << QByteArray("BASEURL=http://example.test/a\r\nBASEURL=b\r\n")
                                << true << a;
    QTest::newRow("untrimmed") << QByteArray("BASEURL= http://x/  \r\n") << true
                               << QStringLiteral(" http://x/  ");
    QTest::newRow("empty value") << QByteArray("[DEFAULT]\r\nBASEURL=\r\n") << true << QString();
    QTest::newRow("url only") << QByteArray("[InternetShortcut]\r\nURL=http://x/\r\n") << false
                              << QString();
    QTest::newRow("lower case") << QByteArray("baseurl=http://x/\r\n") << false << QString();
    QTest::newRow("leading blank") << QByteArray(" BASEURL=http://x/\r\n") << false << QString();
    QTest::newRow("after long line")
            << QByteArray(200000, 'q') + "\r\nBASEURL=http://example.test/a\r\n" << true << a;
    QTest::newRow("overlong address")
            << QByteArray("BASEURL=") + QByteArray(100000, 'q') + "\r\n" << false << QString();
}

void tst_favorites::shortcutAddress()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, found);
    QFETCH(QString, address);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("s.url"));
    writeFile(path, content);
    const std::optional<QString> read = ReadShortcutAddress(path);
    QCOMPARE(read.has_value(), found);
    if (found)
        QCOMPARE(*read, address);

    QVERIFY(!ReadShortcutAddress(dir.filePath(QStringLiteral("missing.url"))));
    QVERIFY(!ReadShortcutAddress(dir.path()));
}

void tst_favorites::doubleClickOpensWindow()
{
    TestServer server;
    server.page(QStringLiteral("/fav"), "<html><head><title>Fav page</title></head></html>");
    QVERIFY(server.start());
    const QString url = server.url(QStringLiteral("/fav"));

    TestFrame tf(false);
    const QString fav = tf.homeDir() + QStringLiteral("/Favorites");
    writeFile(fav + QStringLiteral("/Sites/site.url"),
              "[DEFAULT]\r\nBASEURL=" + url.toUtf8() + "\r\n[InternetShortcut]\r\nURL=x\r\n");
    writeFile(fav + QStringLiteral("/blank.url"), "BASEURL=\r\n");
    writeFile(fav + QStringLiteral("/gone.url"), "BASEURL=http://127.0.0.1:1/\r\n");
    writeFile(fav + QStringLiteral("/plain.url"), "[InternetShortcut]\r\nURL=" + url.toUtf8());
    tf->MDIForm_Load();
    TreeView *tree = tf->TreeFavor;
    QCOMPARE(tree->Count(), 6);

    auto doubleClick = [&](const QString &text) {
        const QList<QTreeWidgetItem *> hits =
                tree->findItems(text, Qt::MatchFixedString | Qt::MatchCaseSensitive
                                               | Qt::MatchRecursive);
        QVERIFY2(hits.size() == 1, qPrintable(text));
        tree->setCurrentItem(hits.first());
        tf->TreeFavor_DblClick();
    };

    // Root, sub-folder, no address line, a file gone since the build: nothing.
    QFile::remove(fav + QStringLiteral("/gone.url"));
    for (const QString &text : { QStringLiteral("Favorites2 (6)"), QStringLiteral("Sites"),
                                 QStringLiteral("plain"), QStringLiteral("gone") })
        doubleClick(text);
    QCOMPARE(tf->forms().size(), 0);
    QCOMPARE(tf->mytab->Count(), 0);
    QCOMPARE(tf->webtree->Count(), 1);
    QVERIFY(tf.prompter.asked.isEmpty());

    doubleClick(QStringLiteral("site"));
    Form1 *window = onlyWindow(tf.frame.get());
    QVERIFY(window);
    const QString key = WindowKeyFor(window->hWnd());
    QTreeWidgetItem *node = tf->webtree->FindKey(key);
    QVERIFY(node);
    QCOMPARE(TreeView::Key(node->parent()), QStringLiteral("OpenWeb"));
    QCOMPARE(tf->mytab->Count(), 1);
    QCOMPARE(tf->mytab->Key(1), key);
    QCOMPARE(window->cmbadress->currentText(), url);
    QTRY_COMPARE_WITH_TIMEOUT(window->wb->LocationURL(), url, 20000);
    QCOMPARE(tree->Count(), 6);

    // An empty address still opens a window.
    doubleClick(QStringLiteral("blank"));
    QCOMPARE(tf->forms().size(), 2);
    QCOMPARE(tf->mytab->Count(), 2);
    QCOMPARE(tf->webtree->Count(), 3);
    QVERIFY(tf.prompter.asked.isEmpty());
}

ORVANE_TEST_MAIN(tst_favorites)
#include "tst_favorites.moc"
