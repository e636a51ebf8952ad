// The status bar's panels when their texts are longer than the room: a long project path
// keeps its file name, a long verdict its start, each shortened with "…" and shown whole as
// the panel's tooltip; given room again they show everything and need no tooltip.

#include "app/frame/main_status_bar.h"

#include <QImage>
#include <QMainWindow>
#include <QtTest>

namespace {

const QString cLongPath =
    "/home/engineer/projects/customers/north-plant/line-4/grippers/revision-7/"
    "steel_sheet_linear.vac";
const QString cLongVerdict =
    "The design does not hold: smallest safety 1.12 / Required safety factor 2 "
    "(Suction cup 1, Normal force, t = 0 s)";

bool HasPixelOfColour(const QImage& image, QColor colour) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == colour) return true;
    return false;
}

}  // namespace

class TMainStatusBarTest : public QObject {
    Q_OBJECT

private slots:
    void ALongPathKeepsItsFileNameAndShowsWholeAsTip() {
        QMainWindow window;
        auto* bar = new TMainStatusBar(&window);
        window.setStatusBar(bar);
        window.resize(1024, 300);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        bar->SetPageText("Page 10");
        bar->SetFileText(cLongPath);
        bar->SetVerdict(cLongVerdict, false);
        QCoreApplication::processEvents();

        TElidedLabel* file = bar->FilePanel();
        QCOMPARE(file->text(), cLongPath);
        QVERIFY(file->ShownText().startsWith(QChar(0x2026)));
        QVERIFY(file->ShownText().endsWith("/steel_sheet_linear.vac"));
        QCOMPARE(file->toolTip(), cLongPath);

        TElidedLabel* verdict = bar->VerdictPanel();
        QVERIFY(verdict->isVisible());
        QCOMPARE(verdict->text(), cLongVerdict);
        QVERIFY(verdict->ShownText().startsWith("The design does not hold"));
        QVERIFY(verdict->ShownText().endsWith(QChar(0x2026)));
        QCOMPARE(verdict->toolTip(), cLongVerdict);
        // Every panel stays inside the bar and none overlaps the next.
        const QRect verdictInBar(verdict->mapTo(bar, QPoint(0, 0)), verdict->size());
        QVERIFY(bar->PagePanel()->geometry().right() < file->geometry().left());
        QVERIFY(file->geometry().right() < verdictInBar.left());
        QVERIFY(verdictInBar.right() < bar->width());
        // The verdict, not the empty hint beside it, has the room the file name leaves.
        QVERIFY(verdict->width() > bar->HintPanel()->width() * 4);
        // What is drawn is the shortened text, in the verdict's red.
        QVERIFY(HasPixelOfColour(verdict->grab().toImage(), QColor(0xc0, 0x00, 0x00)));

        window.resize(1900, 300);
        QCoreApplication::processEvents();
        QCOMPARE(file->ShownText(), cLongPath);
        QCOMPARE(file->toolTip(), QString());
        QCOMPARE(verdict->ShownText(), cLongVerdict);
        QCOMPARE(verdict->toolTip(), QString());
        // A detail given with the verdict is its tooltip, shortened or not.
        bar->SetVerdict(cLongVerdict, false, cLongVerdict + " (Suction cup 1)");
        QCOMPARE(verdict->toolTip(), cLongVerdict + " (Suction cup 1)");
        window.resize(1024, 300);
        QCoreApplication::processEvents();
        QVERIFY(verdict->ShownText().endsWith(QChar(0x2026)));
        QCOMPARE(verdict->toolTip(), cLongVerdict + " (Suction cup 1)");
    }

    void AShortTextIsShownAsItIsAndAHeldDesignHidesTheVerdict() {
        QMainWindow window;
        auto* bar = new TMainStatusBar(&window);
        window.setStatusBar(bar);
        window.resize(800, 300);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        bar->SetFileText("Untitled");
        bar->SetVerdict(cLongVerdict, true);
        QCoreApplication::processEvents();
        QCOMPARE(bar->FilePanel()->ShownText(), QString("Untitled"));
        QCOMPARE(bar->FilePanel()->toolTip(), QString());
        QVERIFY(bar->VerdictPanel()->isHidden());
        QCOMPARE(bar->VerdictPanel()->text(), QString());
    }
};

QTEST_MAIN(TMainStatusBarTest)
#include "main_status_bar_test.moc"
