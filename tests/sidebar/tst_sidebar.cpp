// The side bar's sections, pictures and drag; the Favorites folder, shortcuts and tree.
#include "TestFrame.h"
#include "sidebar/Favorites.h"
#include "sidebar/Shortcut.h"

#include <unistd.h>

namespace {
void hover(QWidget *widget)
{
    const QPointF pos(1, 1);
    QMouseEvent event(QEvent::MouseMove, pos, widget->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
        Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Tag and picture of both buttons: "Open Web's" first.
QString state(SideBar *s)
{
    return QStringLiteral("%1/%2 %3/%4").arg(s->Tag(s->Image2)).arg(s->pictureOf(s->Image2))
        .arg(s->Tag(s->Image1)).arg(s->pictureOf(s->Image1));
}

// Each node as "text|key", children indented, in the order shown, the folder's path left out.
QString outline(const QTreeWidgetItem *item, const QString &folder, int depth = 0)
{
    QString lines = QString(depth, QLatin1Char(' ')) + item->text(0) + "|" + TreeView::Key(item);
    for (int i = 0; i < item->childCount(); ++i)
        lines += "," + outline(item->child(i), folder, depth + 1);
    return lines.remove(folder);
}
} // namespace

class tst_sidebar : public QObject
{
    Q_OBJECT
private slots:
    void sectionTransitions();
    void hoverWidthAndDrag();
    void favoritesListingRules();
    void shortcutAddress_data();
    void shortcutAddress();
    void doubleClickOpensWindow();
};

void tst_sidebar::sectionTransitions()
{
    TestFrame tf(true, false);
    SideBar *s = tf->Picture3;
    const double header = s->pPicture4.Height();
    auto check = [&](const char *expected, double picture1, double picture2) {
        QCOMPARE(state(s), QLatin1String(expected));
        QCOMPARE(s->pPicture1.Height(), picture1);
        QCOMPARE(s->pPicture2.Height(), picture2);
    };
    check("down/0 down/0", header, header);
    // The button clicked, then the state: "Up" is "Open Web's" open, "up" "Favorites".
    for (const char *step : { "5Up/1 down/0", "6down/0 up/1", "5Up/1 down/0", "5down/0 down/0",
             "6down/0 up/1" }) {
        const double web = s->pwebtree.Top() + s->pwebtree.Height() + 100;
        const double fav = s->pTreeFavor.Top() + s->pTreeFavor.Height() + 100;
        step[0] == '5' ? s->Image5_Click() : s->Image6_Click();
        const QString expected = QLatin1String(step + 1);
        check(step + 1, expected.startsWith("Up") ? web : header,
            expected.endsWith("up/1") ? fav : header);
    }
    // Closing "Favorites" lets events run at each step; an "Open Web's" click then opens
    // it once the closing is over.
    bool ranDuring = false;
    QTimer::singleShot(0, s, [&] {
        ranDuring = s->isAnimating();
        s->Image5_Click();
    });
    s->Image6_Click();
    QVERIFY(ranDuring);
    check("down/0 down/0", header, header);
    QTRY_COMPARE(state(s), "Up/1 down/0");
    // The frame going away mid-animation ends it quietly.
    s->Image6_Click();
    QTimer::singleShot(0, [&] { tf.frame.reset(); });
    s->Image6_Click();
    QVERIFY(!tf.frame);
}

void tst_sidebar::hoverWidthAndDrag()
{
    TestFrame tf(true, false);
    SideBar *s = tf->Picture3;
    hover(s->Image6);
    QCOMPARE(state(s), "down/0 down/2");
    hover(s->TreeFavor->viewport());
    QTest::mouseClick(s->Image5, Qt::LeftButton);
    QTest::mouseClick(s->Image6, Qt::RightButton);
    QCOMPARE(state(s), "Up/1 down/0");
    // Other areas restore both pictures; the drag strip only "Favorites".
    s->setPicture(s->Image2, 3);
    s->setPicture(s->Image1, 2);
    hover(s->Image3);
    QCOMPARE(state(s), "Up/3 down/0");
    hover(s->Label1);
    QCOMPARE(state(s), "Up/1 down/0");
    tf->mybar_Click();
    s->setWidth(2970);
    QCOMPARE(s->pPicture1.Width() + s->pImage3.Left() + s->pFrame1.Width(), 2895.0 + 2885 + 2980);
    // Left button: the right edge follows the pointer, never below 1000 twips.
    const QPoint start = s->Image3->mapToGlobal(QPoint(2, 10));
    auto dragTo = [&](int dx) {
        QTest::mouseMove(s->Image3, s->Image3->mapFromGlobal(start + QPoint(dx, 0)));
    };
    QTest::mousePress(s->Image3, Qt::LeftButton, {}, QPoint(2, 10));
    QVERIFY(s->isDragging());
    dragTo(20);
    QCOMPARE(s->Width() + s->pPicture5.Width(), 3270.0 * 2);
    dragTo(-158);
    QCOMPARE(s->Width() + s->pPicture1.Width(), 1000.0 + 925);
    QCOMPARE(s->width(), 67); // 66.67 pixels, rounded
    QTest::mouseRelease(s->Image3, Qt::LeftButton, {}, s->Image3->mapFromGlobal(start));
    dragTo(40); // released: no drag
    QVERIFY(!s->isDragging() && s->Width() == 1000.0);
}

void tst_sidebar::favoritesListingRules()
{
    QTemporaryDir home;
    const QString fav = home.path() + "/Favorites";
    for (const char *name : { "/notes.txt", "/page.html", "/abcd", "/ab", "/.hidden.url",
             "/.secret/s.url", "/Travel and holidays/sea.url", "/Travel and holidays/Inner/d.url",
             "/Travel and holidays/.h.url", "/apple.url", "/Banana.url", "/real/r.url" })
        writeFile(fav + QLatin1String(name));
    // Pipes, loops back into the folder and dangling links are not followed.
    QCOMPARE(mkfifo(QFile::encodeName(fav + "/pipe.url").constData(), 0600), 0);
    QVERIFY(QFile::link(fav, fav + "/self") && QFile::link(home.path(), fav + "/up"));
    QVERIFY(QFile::link(fav + "/real", fav + "/alias"));
    QVERIFY(QFile::link(fav + "/gone", fav + "/broken.url"));
    QVERIFY(QDir().mkpath(fav + "/locked"));
    QFile::setPermissions(fav + "/locked", QFileDevice::Permissions());
    const FavoritesScan scan = ScanFavorites(fav);
    QFile::setPermissions(fav + "/locked", QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QString names;
    for (const FavoritesScan::SubFolder &sub : scan.subFolders)
        names += sub.name + ":" + sub.files.join(",") + " ";
    QCOMPARE(names + scan.files.join(","), "alias:r.url locked: real:r.url self: "
        "Travel and holidays:sea.url up: ab,abcd,apple.url,Banana.url,notes.txt,page.html");
    // A rebuild that runs while the start-up shows the frame leaves one whole tree.
    TreeView tree(QStringLiteral("TreeFavor"));
    LoadFavoritesTree(&tree, fav, true, [&] { LoadFavoritesTree(&tree, fav, false, nullptr); });
    QVERIFY(tree.topLevelItemCount() == 1 && tree.Count() == scan.nodeCount());
    QCOMPARE(tree.Item(1)->text(0), "Favorites (16)");
    // A key finds the first node added with it, then the next once that one has gone
    // (sub-folders have none), and none of a removed node's children, nor after a clear.
    QTreeWidgetItem *first = tree.FindKey(QString());
    QVERIFY(tree.FindKey("Favorites") == tree.Item(1) && first == tree.Item(2));
    const QString aliased = TreeView::Key(first->child(0));
    tree.RemoveItem(first);
    QVERIFY(tree.FindKey(QString()) == tree.Item(2) && !tree.FindKey(aliased));
    tree.Clear();
    QVERIFY(!tree.FindKey("Favorites"));
    // Four characters go whatever the extension is.
    QCOMPARE(FavoriteText("notes.txt") + "|" + FavoriteText("page.html") + "|"
            + FavoriteText("abcd") + FavoriteText("ab"), "notes|page.|");
}

void tst_sidebar::shortcutAddress_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("address"); // null: none found
    const QString a = QStringLiteral("http://example.test/a");
    QTest::newRow("crlf, first wins") << QByteArray("[DEFAULT]\r\nBASEURL=http://example.test/a"
                                                    "\r\nURL=http://other/\r\nBASEURL=b\r\n") << a;
    QTest::newRow("lf") << QByteArray("URL=http://other/\nBASEURL=http://example.test/a\n") << a;
    QTest::newRow("cr, no final break") << QByteArray("x\rBASEURL=http://example.test/a") << a;
    QTest::newRow("untrimmed") << QByteArray("BASEURL= http://x/  \r\n") << " http://x/  ";
    QTest::newRow("empty value") << QByteArray("[DEFAULT]\r\nBASEURL=\r\n") << "";
    QTest::newRow("URL, lower case, leading blank: none")
        << QByteArray("URL=http://x/\r\nbaseurl=http://x/\r\n BASEURL=http://x/\r\n") << QString();
    QTest::newRow("after long line")
        << QByteArray(200000, 'q') + "\r\nBASEURL=http://example.test/a" << a;
    QTest::newRow("overlong address") << "BASEURL=" + QByteArray(100000, 'q') + "\r\n" << QString();
    QTest::newRow("missing") << QByteArray("<missing>") << QString();
    QTest::newRow("a folder") << QByteArray("<folder>") << QString();
    QTest::newRow("a pipe with no writer") << QByteArray("<pipe>") << QString();
}

void tst_sidebar::shortcutAddress()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, address);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("s.url"));
    if (content == "<folder>")
        QDir().mkpath(path);
    else if (content == "<pipe>")
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (content != "<missing>")
        writeFile(path, content);
    const std::optional<QString> read = ReadShortcutAddress(path);
    QCOMPARE(read.value_or(QString()), address);
    QCOMPARE(read.has_value(), !address.isNull());
}

void tst_sidebar::doubleClickOpensWindow()
{
    TestServer server;
    server.page(QStringLiteral("/fav"), "<title>Fav page</title>");
    QVERIFY(server.start());
    const QString url = server.url(QStringLiteral("/fav"));
    TestFrame tf(false);
    const QString fav = tf.homeDir() + "/Favorites";
    writeFile(fav + "/Sites/site.url",
        "[DEFAULT]\r\nBASEURL=" + url.toUtf8() + "\r\n[InternetShortcut]\r\nURL=x\r\n");
    writeFile(fav + "/blank.url", "BASEURL=\r\n");
    writeFile(fav + "/gone.url", "BASEURL=http://127.0.0.1:1/\r\n");
    writeFile(fav + "/plain.url", "[InternetShortcut]\r\nURL=" + url.toUtf8());
    tf->MDIForm_Load();
    TreeView *tree = tf->TreeFavor;
    auto doubleClick = [&](const QString &text) {
        QTreeWidgetItem *item = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive).value(0);
        QVERIFY2(item, qPrintable("no Favorites item " + text));
        tree->setCurrentItem(item);
        tf->TreeFavor_DblClick();
    };
    // Root, sub-folder, no address line, a file gone since the build: nothing.
    QFile::remove(fav + "/gone.url");
    for (const char *text : { "Favorites2 (6)", "Sites", "plain", "gone" })
        doubleClick(text);
    QCOMPARE(tf->forms().size() + tf->mytab->Count() + tf->webtree->Count(), 1);
    doubleClick("site");
    QCOMPARE(tf->forms().size(), 1);
    auto *window = lastWindow(tf.frame.get());
    QVERIFY2(window, "no browser window is open");
    QTRY_COMPARE_WITH_TIMEOUT(
        listing(tf.frame.get(), window), "OpenWeb/Fav page | Fav page", 30000);
    QVERIFY(window->wb->LocationURL() == url && tree->Count() == 6);
    // An empty address still opens a window.
    doubleClick("blank");
    QCOMPARE(tf->forms().size() * 100 + tf->mytab->Count() * 10 + tf->webtree->Count(), 223);
    QVERIFY(tf.prompter.asked.isEmpty());
    // Refresh rebuilds from the disk, its folders closed.
    tree->Item(1)->child(0)->setExpanded(true);
    QFile::remove(fav + "/blank.url");
    writeFile(fav + "/Sites/more.url");
    writeFile(fav + "/Y.url");
    tf->refresg_favorites->trigger();
    QCOMPARE(tree->topLevelItemCount(), 1);
    QCOMPARE(outline(tree->Item(1), fav), "Favorites (6)|Favorites, Sites|,  more|/Sites/more.url,"
                                          "  site|/Sites/site.url, plain|/plain.url, Y|/Y.url");
    QVERIFY(tree->Item(1)->isExpanded() && !tree->Item(1)->child(0)->isExpanded());
}

ORVANE_TEST_MAIN(tst_sidebar)
#include "tst_sidebar.moc"
