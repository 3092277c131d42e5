// The side bar's sections, hover pictures, width and drag; the Favorites tree from
// the folder, shortcut files and opening a favourite.
#include "TestFrame.h"
#include "TestServer.h"
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
    return QStringLiteral("%1/%2 %3/%4")
        .arg(s->Tag(s->Image2))
        .arg(s->pictureOf(s->Image2))
        .arg(s->Tag(s->Image1))
        .arg(s->pictureOf(s->Image1));
}

double openWebHeight(SideBar *s) { return s->pwebtree.Top() + s->pwebtree.Height() + 100; }

double favoritesHeight(SideBar *s) { return s->pTreeFavor.Top() + s->pTreeFavor.Height() + 100; }

// Each node as "text|key", children indented, in the order shown.
QStringList outline(const QTreeWidgetItem *item, int depth = 0)
{
    QStringList lines { QString(depth * 2, QLatin1Char(' ')) + item->text(0) + QLatin1Char('|')
        + TreeView::Key(item) };
    for (int i = 0; i < item->childCount(); ++i)
        lines << outline(item->child(i), depth + 1);
    return lines;
}

} // namespace

class tst_sidebar : public QObject
{
    Q_OBJECT
private slots:
    void sectionTransitions();
    void hoverWidthAndDrag();
    void favoritesTreeFollowsTheFolder();
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
        QCOMPARE(s->pPicture2.Top(), s->pPicture1.Top() + s->pPicture1.Height());
    };
    check("down/0 down/0", header, header);
    struct Step
    {
        int button;
        const char *state;
        bool web, fav;
    };
    for (const Step &step : { Step { 5, "Up/1 down/0", true, false },
             Step { 6, "down/0 up/1", false, true }, Step { 5, "Up/1 down/0", true, false },
             Step { 5, "down/0 down/0", false, false }, Step { 6, "down/0 up/1", false, true } }) {
        const double web = openWebHeight(s), fav = favoritesHeight(s);
        step.button == 5 ? s->Image5_Click() : s->Image6_Click();
        check(step.state, step.web ? web : header, step.fav ? fav : header);
    }
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
    check("down/0 down/0", header, header);
    QTRY_COMPARE(state(s), QStringLiteral("Up/1 down/0"));
    s->Image6_Click();
    QTimer::singleShot(0, s, [&] { s->Image6_Click(); });
    s->Image6_Click();
    QTest::qWait(50);
    check("down/0 down/0", header, header);

    // Closing "Favorites" from "Open Web's" button counts in whole twips, from its
    // own button from the exact height, stopping short of a fractional end.
    s->Image6_Click();
    s->pPicture2.setHeight(1000.6);
    s->Image5_Click();
    QCOMPARE(s->pPicture2.Height(), 495.0);
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

    // The frame going away in the middle of an animation ends it quietly.
    s->Image6_Click();
    QTimer::singleShot(0, [&] { tf.frame.reset(); });
    s->Image6_Click();
    QVERIFY(!tf.frame);
}

void tst_sidebar::hoverWidthAndDrag()
{
    TestFrame tf(true, false);
    SideBar *s = tf->Picture3;
    QStringList seen;
    for (QWidget *w : QList<QWidget *> { s->Image5, s->Image6, s->TreeFavor->viewport() }) {
        hover(w);
        seen << state(s);
    }
    QCOMPARE(seen, (QStringList { "down/2 down/0", "down/0 down/2", "down/0 down/0" }));
    QTest::mouseClick(s->Image5, Qt::LeftButton);
    QTest::mouseClick(s->Image6, Qt::RightButton);
    QCOMPARE(state(s), QStringLiteral("Up/1 down/0"));
    // The drag strip restores "Favorites" only; an area without a handler nothing.
    hover(s->Image5);
    s->setPicture(s->Image1, 2);
    for (QWidget *w : QList<QWidget *> { s->Image3, s->Picture1, s->Picture5, s->pbar })
        hover(w);
    QCOMPARE(state(s), QStringLiteral("Up/3 down/0"));
    for (QWidget *widget : QList<QWidget *> { s->Frame1, s->Label1, s->Label2, s->Label3,
             s->Picture2, s->Picture4, s, s->Image1, s->Image2, s->TreeFavor->viewport() }) {
        s->setPicture(s->Image2, 3);
        s->setPicture(s->Image1, 2);
        hover(widget);
        QVERIFY2(state(s) == QStringLiteral("Up/1 down/0"), qPrintable(widget->objectName()));
    }
    // The frame's own restorer forwards to the side bar.
    s->setPicture(s->Image2, 3);
    tf->drawimages(s->Image2);
    QCOMPARE(s->pictureOf(s->Image2), 1);

    tf->mybar_Click();
    s->setWidth(2970);
    QCOMPARE(s->pPicture1.Width() + s->pImage3.Left() + s->pFrame1.Width(), 2895.0 + 2885 + 2980);
    QCOMPARE(s->width(), 198);
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
    QVERIFY(!s->isDragging());
    dragTo(40);
    // Right button: no drag.
    QTest::mousePress(s->Image3, Qt::RightButton, {}, QPoint(2, 10));
    QVERIFY(!s->isDragging());
    QTest::mouseMove(s->Image3, QPoint(40, 10));
    QTest::mouseRelease(s->Image3, Qt::RightButton, {}, QPoint(40, 10));
    QCOMPARE(s->Width(), 1000.0);
}

void tst_sidebar::favoritesTreeFollowsTheFolder()
{
    TestFrame tf(false, false);
    const QString fav = tf.homeDir() + QStringLiteral("/Favorites");
    // No Favorites folder at all: the root alone, with its count.
    QCOMPARE(Module1::GetSpecialFolder(6, tf.homeDir()), QString());
    tf->MDIForm_Load();
    QCOMPARE(outline(tf->TreeFavor->Item(1)), QStringList { "Favorites2 (1)|Favorites" });
    QVERIFY(QDir().mkpath(fav));
    QCOMPARE(Module1::GetSpecialFolder(6, tf.homeDir()), fav);
    tf->refresg_favorites->trigger();
    QCOMPARE(tf->TreeFavor->topLevelItemCount(), 1);
    QCOMPARE(outline(tf->TreeFavor->Item(1)), QStringList { "Favorites (1)|Favorites" });

    for (const char *name : { "/A/z.url", "/x.url", "/Y.url" })
        writeFile(fav + QLatin1String(name));
    QVERIFY(QDir().mkpath(fav + QStringLiteral("/b")));
    tf->refresg_favorites_Click();
    QTreeWidgetItem *root = tf->TreeFavor->Item(1);
    QCOMPARE(outline(root),
        (QStringList { "Favorites (6)|Favorites", "  A|", "    z|" + fav + "/A/z.url", "  b|",
            "  x|" + fav + "/x.url", "  Y|" + fav + "/Y.url" }));
    QVERIFY(root->isExpanded() && !root->child(0)->isExpanded());
    // A rebuild follows the disk: a removed folder goes, new files come.
    root->child(0)->setExpanded(true);
    QVERIFY(QDir(fav + QStringLiteral("/b")).removeRecursively());
    writeFile(fav + QStringLiteral("/A/new.url"));
    writeFile(fav + QStringLiteral("/c.url"));
    tf->refresg_favorites_Click();
    root = tf->TreeFavor->Item(1);
    QCOMPARE(tf->TreeFavor->topLevelItemCount(), 1);
    QCOMPARE(outline(root).join(QLatin1Char(',')).remove(fav),
        QStringLiteral("Favorites (7)|Favorites,  A|,    new|/A/new.url,    z|/A/z.url,"
                       "  c|/c.url,  x|/x.url,  Y|/Y.url"));
    QVERIFY(root->isExpanded() && !root->child(0)->isExpanded());
    // The same folder at start-up.
    tf.create();
    QCOMPARE(tf->TreeFavor->Item(1)->text(0), QStringLiteral("Favorites2 (7)"));
}

void tst_sidebar::favoritesListingRules()
{
    QTemporaryDir home;
    const QString fav = home.path() + QStringLiteral("/Favorites");
    for (const char *name :
        { "/notes.txt", "/page.html", "/abcd", "/ab", "/.hidden.url", "/.secret/s.url",
            "/Travel and holidays/sea.url", "/Travel and holidays/Inner/deep.url",
            "/Travel and holidays/.h.url", "/apple.url", "/Banana.url", "/real/r.url" })
        writeFile(fav + QLatin1String(name));
    // A pipe would block whoever reads it; links back into the folder are listed by
    // name only; a link elsewhere is an ordinary folder; a dangling link is no file.
    QCOMPARE(mkfifo(QFile::encodeName(fav + QStringLiteral("/pipe.url")).constData(), 0600), 0);
    QVERIFY(QFile::link(fav, fav + QStringLiteral("/self")));
    QVERIFY(QFile::link(home.path(), fav + QStringLiteral("/up")));
    QVERIFY(QFile::link(fav + QStringLiteral("/real"), fav + QStringLiteral("/alias")));
    QVERIFY(QFile::link(fav + QStringLiteral("/gone"), fav + QStringLiteral("/broken.url")));
    QVERIFY(QDir().mkpath(fav + QStringLiteral("/locked")));
    QFile::setPermissions(fav + QStringLiteral("/locked"), QFileDevice::Permissions());
    const FavoritesScan scan = ScanFavorites(fav);
    QFile::setPermissions(fav + QStringLiteral("/locked"),
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QStringList names;
    for (const FavoritesScan::SubFolder &sub : scan.subFolders)
        names << sub.name + QLatin1Char(':') + sub.files.join(QLatin1Char(','));
    QCOMPARE(names,
        (QStringList { "alias:r.url", "locked:", "real:r.url",
            "self:", "Travel and holidays:sea.url", "up:" }));
    QCOMPARE(scan.files,
        (QStringList { "ab", "abcd", "apple.url", "Banana.url", "notes.txt", "page.html" }));
    QCOMPARE(scan.nodeCount(), 1 + 6 + 3 + 6);

    // A rebuild that runs while the start-up shows the frame leaves one whole tree.
    TreeView tree(QStringLiteral("TreeFavor"));
    LoadFavoritesTree(&tree, fav, true, [&] { LoadFavoritesTree(&tree, fav, false, nullptr); });
    QCOMPARE(tree.topLevelItemCount(), 1);
    QCOMPARE(tree.Item(1)->text(0), QStringLiteral("Favorites (16)"));
    QCOMPARE(tree.Count(), 16);
    // Four characters go whatever the extension is.
    QCOMPARE(QStringList({ FavoriteText("notes.txt"), FavoriteText("page.html"),
                 FavoriteText("abcd"), FavoriteText("ab") }),
        (QStringList { "notes", "page.", "", "" }));
}

void tst_sidebar::shortcutAddress_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("address"); // null: none found
    const QString a = QStringLiteral("http://example.test/a");
    QTest::newRow("crlf") << QByteArray("[DEFAULT]\r\nBASEURL=http://example.test/a\r\n"
                                        "[InternetShortcut]\r\nURL=http://other/\r\n")
                          << a;
    QTest::newRow("lf") << QByteArray("URL=http://other/\nBASEURL=http://example.test/a\n") << a;
    QTest::newRow("cr, no final break") << QByteArray("x\rBASEURL=http://example.test/a") << a;
    QTest::newRow("first wins") << QByteArray("BASEURL=http://example.test/a\r\nBASEURL=b\r\n")
                                << a;
    QTest::newRow("untrimmed") << QByteArray("BASEURL= http://x/  \r\n") << " http://x/  ";
    QTest::newRow("empty value") << QByteArray("[DEFAULT]\r\nBASEURL=\r\n") << "";
    QTest::newRow("url only") << QByteArray("[InternetShortcut]\r\nURL=http://x/\r\n") << QString();
    QTest::newRow("lower case") << QByteArray("baseurl=http://x/\r\n") << QString();
    QTest::newRow("leading blank") << QByteArray(" BASEURL=http://x/\r\n") << QString();
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
    QCOMPARE(read.has_value(), !address.isNull());
    QCOMPARE(read.value_or(QString()), address);
}

void tst_sidebar::doubleClickOpensWindow()
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
    auto doubleClick = [&](const QString &text) {
        const auto hits = tree->findItems(
            text, Qt::MatchFixedString | Qt::MatchCaseSensitive | Qt::MatchRecursive);
        QVERIFY2(hits.size() == 1, qPrintable(text));
        tree->setCurrentItem(hits.first());
        tf->TreeFavor_DblClick();
    };
    // Root, sub-folder, no address line, a file gone since the build: nothing.
    QFile::remove(fav + QStringLiteral("/gone.url"));
    for (const char *text : { "Favorites2 (6)", "Sites", "plain", "gone" })
        doubleClick(QLatin1String(text));
    QCOMPARE(tf->forms().size() + tf->mytab->Count() + tf->webtree->Count(), 1);
    doubleClick(QStringLiteral("site"));
    QCOMPARE(tf->forms().size(), 1);
    auto *window = lastWindow(tf.frame.get());
    QCOMPARE(window->cmbadress->currentText(), url);
    QTRY_COMPARE_WITH_TIMEOUT(
        listing(tf.frame.get(), window), QStringLiteral("OpenWeb/Fav page | Fav page"), 30000);
    QCOMPARE(window->wb->LocationURL(), url);
    QCOMPARE(tree->Count(), 6);
    // An empty address still opens a window.
    doubleClick(QStringLiteral("blank"));
    QCOMPARE(tf->forms().size() * 100 + tf->mytab->Count() * 10 + tf->webtree->Count(), 223);
    QVERIFY(tf.prompter.asked.isEmpty());
}

ORVANE_TEST_MAIN(tst_sidebar)
#include "tst_sidebar.moc"
