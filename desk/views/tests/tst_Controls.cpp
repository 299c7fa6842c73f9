#include "FolderTreeControl.h"
#include "SplitterControl.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QLabel>
#include <QSignalSpy>
#include <QSplitterHandle>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// The splitter and folder tree widgets on their own.
class tst_Controls : public QObject {
    Q_OBJECT

    static double share(const SplitterControl &splitter) {
        const QList<int> sizes = splitter.sizes();
        return 100.0 * sizes[0] / (sizes[0] + sizes[1]);
    }

  private slots:
    void barPositionIsTheFirstPanesShareAndSurvivesResizing() {
        QWidget parent;
        parent.resize(600, 400);
        auto *splitter = new SplitterControl(&parent);
        splitter->setBarOrientation(
            SplitterControl::Orientation::BarBetweenLeftAndRight);
        splitter->setFirstPane(new QLabel(QStringLiteral("left")));
        splitter->setSecondPane(new QLabel(QStringLiteral("right")));
        splitter->setBarPosition(25); // before it has a size
        splitter->setGeometry(0, 0, 600, 400);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        QVERIFY(qAbs(share(*splitter) - 25) < 1);

        splitter->resize(1000, 400);
        QVERIFY(qAbs(share(*splitter) - 25) < 1);
        QCOMPARE(splitter->barPosition(), 25);

        splitter->setBarPosition(140);
        QCOMPARE(splitter->barPosition(), 100);
        splitter->setBarPosition(-3);
        QCOMPARE(splitter->barPosition(), 0);
    }

    void movingTheBarChangesThePosition() {
        SplitterControl splitter;
        splitter.setBarOrientation(
            SplitterControl::Orientation::BarBetweenTopAndBottom);
        splitter.setFirstPane(new QLabel(QStringLiteral("top")));
        splitter.setSecondPane(new QLabel(QStringLiteral("bottom")));
        splitter.setBarPosition(50);
        splitter.resize(300, 400);
        splitter.show();
        QVERIFY(QTest::qWaitForWindowExposed(&splitter));
        QSplitterHandle *bar = splitter.handle(1);
        const QPoint grip = bar->rect().center();
        QTest::mousePress(bar, Qt::LeftButton, {}, grip);
        QMouseEvent move(QEvent::MouseMove, QPointF(grip + QPoint(0, -100)),
                         bar->mapToGlobal(QPointF(grip + QPoint(0, -100))),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(bar, &move);
        QTest::mouseRelease(bar, Qt::LeftButton, {}, grip + QPoint(0, -100));
        QVERIFY2(splitter.barPosition() < 30,
                 qPrintable(QString::number(splitter.barPosition())));
        const int moved = splitter.barPosition();
        splitter.resize(300, 800);
        QCOMPARE(splitter.barPosition(), moved);
        QVERIFY(qAbs(share(splitter) - moved) < 1);
    }

    void paneTakesItsControlAndGivesBackTheOldOne() {
        SplitterControl splitter;
        auto *first = new QLabel(QStringLiteral("first"));
        auto *replacement = new QLabel(QStringLiteral("replacement"));
        splitter.setFirstPane(first);
        splitter.show();
        QVERIFY(first->isVisible());
        splitter.setFirstPane(replacement);
        QCOMPARE(splitter.firstPane(), replacement);
        QVERIFY(replacement->isVisible());
        QVERIFY(!first->isVisible());
        delete first; // still alive: not deleted by the splitter
    }

    void dockedToTheTopFollowsItsParentsWidth() {
        QWidget parent;
        parent.resize(500, 300);
        auto *splitter = new SplitterControl(&parent);
        splitter->setGeometry(0, 0, 100, 120);
        splitter->setDocking(SplitterControl::Docking::Top);
        QCOMPARE(splitter->geometry(), QRect(0, 0, 500, 120));
        parent.show();
        parent.resize(800, 200);
        QCOMPARE(splitter->geometry(), QRect(0, 0, 800, 120));
        splitter->setHeight(90);
        QCOMPARE(splitter->height(), 90);
        splitter->setDocking(SplitterControl::Docking::None);
        parent.resize(400, 200);
        QCOMPARE(splitter->width(), 800);
    }

    void folderTreeFillsOnceAndSelectsByPath() {
        QTemporaryDir root;
        const QString a = root.filePath(QStringLiteral("a"));
        const QString b = root.filePath(QStringLiteral("a/b with space"));
        QVERIFY(QDir().mkpath(b));
        QFile file(root.filePath(QStringLiteral("a/roads.shp")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();

        FolderTreeControl tree;
        QSignalSpy filled(&tree, &FolderTreeControl::Filled);
        QSignalSpy changed(&tree, &FolderTreeControl::SelectionChanged);
        tree.SelectFolder(a); // not filled yet: nothing to select
        QCOMPARE(tree.SelectedFolder().path, QString());
        tree.Fill();
        tree.Fill();
        QCOMPARE(filled.count(), 1);
        QCOMPARE(changed.count(), 0);

        tree.SelectFolder(b + QStringLiteral("/"));
        QCOMPARE(tree.SelectedFolder().path, b);
        QCOMPARE(tree.SelectedFolder().fileSystemPath,
                 QDir::toNativeSeparators(b));
        QCOMPARE(changed.count(), 1);

        // Requests that name no other folder keep the selection and raise
        // nothing.
        for (const QString &request :
             {QString(), b, root.filePath(QStringLiteral("missing")),
              root.filePath(QStringLiteral("a/roads.shp"))}) {
            tree.SelectFolder(request);
            QCOMPARE(tree.SelectedFolder().path, b);
        }
        QCOMPARE(changed.count(), 1);

        tree.SelectFolder(a);
        QCOMPARE(tree.SelectedFolder().path, a);
        QCOMPARE(changed.count(), 2);
        QVERIFY(tree.isExpanded(tree.currentIndex().parent()));

        tree.Clear();
        QCOMPARE(changed.count(), 2);
        QVERIFY(!tree.isFilled());
        QCOMPARE(tree.SelectedFolder().path, QString());
        tree.Fill();
        QCOMPARE(filled.count(), 2);
        tree.SelectFolder(a);
        QCOMPARE(changed.count(), 3);
    }

    void folderTreeRaisesSelectionChangedForTheUsersChoice() {
        QTemporaryDir root;
        QVERIFY(QDir().mkpath(root.filePath(QStringLiteral("x"))));
        QVERIFY(QDir().mkpath(root.filePath(QStringLiteral("y"))));
        FolderTreeControl tree;
        tree.Fill();
        tree.SelectFolder(root.filePath(QStringLiteral("x")));
        QSignalSpy changed(&tree, &FolderTreeControl::SelectionChanged);
        const QModelIndex y = static_cast<QFileSystemModel *>(tree.model())
                                  ->index(root.filePath(QStringLiteral("y")));
        tree.resize(400, 600);
        tree.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tree));
        tree.scrollTo(y);
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {},
                          tree.visualRect(y).center());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(tree.SelectedFolder().path,
                 root.filePath(QStringLiteral("y")));
    }
};

QTEST_MAIN(tst_Controls)
#include "tst_Controls.moc"
