// How value fields draw at several device pixel ratios: the frame of the read-only panel is
// closed on all four sides wherever the panel stands, as an edit's frame is. The field is
// drawn into an image of the ratio asked for, so that one run covers 1, 1.25, 1.5 and 2.

#include "gui/fields/fmu2_panel.h"
#include "gui/fields/fmu2_spin_edit.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

namespace {

// Two colours a viewer tells apart: some channel differs by a tenth of its range or more.
bool Distinct(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) >= 24 || std::abs(qGreen(a) - qGreen(b)) >= 24 ||
           std::abs(qBlue(a) - qBlue(b)) >= 24;
}

// The widget `host` drawn into an image of `ratio` device pixels per pixel.
QImage Draw(QWidget& host, qreal ratio) {
    QImage image(QSize(qCeil(host.width() * ratio), qCeil(host.height() * ratio)),
                 QImage::Format_ARGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    host.render(&image);
    return image;
}

// Whether each edge of `box` (logical pixels, in the host's coordinates) shows a frame in
// `image`: at every device pixel along the edge, leaving out the corners (which a style may
// round), one of the outer two logical pixels of the box, counted only where the device
// pixel lies wholly inside the box, differs from both the background around the box and the
// fill inside it. Returns the edges without a frame ("" when the frame is closed).
QString MissingEdges(const QImage& image, const QRect& box, qreal ratio, QRgb background,
                     QRgb fill) {
    // The device pixels wholly inside the box.
    const int left = qCeil(box.left() * ratio);
    const int top = qCeil(box.top() * ratio);
    const int right = qFloor((box.left() + box.width()) * ratio) - 1;
    const int bottom = qFloor((box.top() + box.height()) * ratio) - 1;
    const int band = qCeil(2 * ratio);
    const int corner = qCeil(4 * ratio);
    auto framed = [&](int x, int y) {
        const QRgb pixel = image.pixel(x, y);
        return Distinct(pixel, background) && Distinct(pixel, fill);
    };
    auto rowFramed = [&](int y0, int step) {
        for (int x = left + corner; x <= right - corner; ++x) {
            bool found = false;
            for (int i = 0; i < band && !found; ++i) found = framed(x, y0 + step * i);
            if (!found) return false;
        }
        return true;
    };
    auto columnFramed = [&](int x0, int step) {
        for (int y = top + corner; y <= bottom - corner; ++y) {
            bool found = false;
            for (int i = 0; i < band && !found; ++i) found = framed(x0 + step * i, y);
            if (!found) return false;
        }
        return true;
    };
    QString missing;
    if (!rowFramed(top, 1)) missing += " top";
    if (!rowFramed(bottom, -1)) missing += " bottom";
    if (!columnFramed(left, 1)) missing += " left";
    if (!columnFramed(right, -1)) missing += " right";
    return missing.trimmed();
}

template <class Field> Field* MakeField(QWidget* host, const QPoint& at, double value) {
    auto* field = new Field(host);
    field->SetNormUnit(CNU_force);
    field->SetPreferredSIUnit(cUM_N);
    field->SetValue(value);
    field->setGeometry(QRect(at, QSize(220, field->sizeHint().height())));
    return field;
}

} // namespace

class FieldsPaintTest : public QObject {
    Q_OBJECT

private slots:
    void panelFrameIsClosedAtEveryRatio_data() {
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<QPoint>("at");
        // Odd and even places: at a ratio of 1.5 or 1.25 an odd pixel starts inside a
        // device pixel.
        for (const qreal ratio : {1.0, 1.25, 1.5, 2.0})
            for (const QPoint at :
                 {QPoint(8, 8), QPoint(9, 9), QPoint(8, 9), QPoint(9, 8), QPoint(11, 10)})
                QTest::addRow("%g at %d,%d", ratio, at.x(), at.y()) << ratio << at;
    }

    void panelFrameIsClosedAtEveryRatio() {
        QFETCH(qreal, ratio);
        QFETCH(QPoint, at);
        QWidget host;
        host.resize(260, 80);
        auto* panel = MakeField<TFMU2Panel>(&host, at, 24.5);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QVERIFY(!panel->DisplayText().isEmpty());

        const QImage image = Draw(host, ratio);
        QCOMPARE(image.devicePixelRatio(), ratio);
        const QRect box(panel->mapTo(&host, panel->TextRect().topLeft()), panel->TextRect().size());
        QVERIFY(box.width() > 100);
        // Around the panel: the host's background, three pixels left of the box and above
        // it; inside: the left part of the panel, where the right-aligned number is not.
        const QRgb background =
            image.pixel(qFloor((box.left() - 3) * ratio), qFloor((box.top() - 3) * ratio));
        const QRgb fill = image.pixel(qFloor((box.left() + box.width() / 4) * ratio),
                                      qFloor((box.top() + box.height() / 2) * ratio));
        const QString missing = MissingEdges(image, box, ratio, background, fill);
        QVERIFY2(missing.isEmpty(), qPrintable("no frame at: " + missing));
    }

    // The check itself: the edit of an entry field, whose frame the toolkit draws, passes it
    // at the same ratios and places; a box drawn without a frame does not.
    void theCheckTellsAFrameFromNone() {
        for (const qreal ratio : {1.0, 1.25, 1.5, 2.0}) {
            for (const QPoint at : {QPoint(8, 8), QPoint(9, 9)}) {
                QWidget host;
                host.resize(260, 80);
                auto* spin = MakeField<TFMU2SpinEdit>(&host, at, 24.5);
                spin->SetReadOnly(true);
                auto* bare = new QLabel(QStringLiteral("24.5"), &host);
                bare->setAutoFillBackground(true);
                QPalette colors = bare->palette();
                colors.setColor(QPalette::Window, QColor(0, 0, 160));
                bare->setPalette(colors);
                bare->setGeometry(at.x(), at.y() + 40, 200, 24);
                host.show();
                QVERIFY(QTest::qWaitForWindowExposed(&host));
                QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);

                const QImage image = Draw(host, ratio);
                const QRect edit(spin->mapTo(&host, spin->TextRect().topLeft()),
                                 spin->TextRect().size());
                const QRgb background = image.pixel(qFloor((edit.left() - 3) * ratio),
                                                    qFloor((edit.top() - 3) * ratio));
                const QRgb editFill = image.pixel(qFloor((edit.left() + edit.width() / 2) * ratio),
                                                  qFloor((edit.top() + edit.height() / 2) * ratio));
                QCOMPARE(MissingEdges(image, edit, ratio, background, editFill), QString());
                // A plain filled box: its edges are the fill, no frame anywhere.
                const QRgb bareFill = image.pixel(qFloor((bare->x() + 100) * ratio),
                                                  qFloor((bare->y() + 12) * ratio));
                QCOMPARE(MissingEdges(image, bare->geometry(), ratio, background, bareFill),
                         QStringLiteral("top bottom left right"));
            }
        }
    }
};

QTEST_MAIN(FieldsPaintTest)
#include "fields_paint_test.moc"
